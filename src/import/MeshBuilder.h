// Turning an object as the Metasequoia reader filled it into the mesh the rest
// of the program works with.
#pragma once

#include <vector>

#include "scene/CModel.h"

namespace vantomo {

// Works on the faces as the reader left them: keeps the faces of 3 or 4
// corners, takes m_pivot from the position of the first corner of the last
// face of 2 corners, drops every face with a corner outside m_vertices (also
// for the pivot), then applies m_mirrorAxis (bits 1 x, 2 y, 4 z; one pass per
// bit in that order, values outside 1..7 mirror nothing). A pass appends a
// copy of every vertex with that coordinate negated and of every face with
// its corners and texture coordinates reversed. Returns whether a face is
// left; the model is then ready for LinkFaces.
bool BuildMesh(CModel& model);

// Appends, for every face in order and each of its corners in order, the
// face's position to m_faces of the corner's vertex. Corners outside
// m_vertices are passed over.
void LinkFaces(CModel& model);

// Face normals (not normalised: (P0 - P1) x (P0 - P2) of the first three
// corners) and vertex normals (the normalised sum of the normals of the faces
// in the vertex's m_faces; (0, 1, 0) when that sum has length 0), in single
// precision in that order of operations. Faces and face references that
// point outside the model are passed over.
void ComputeNormals(CModel& model);

// The vertex normals ComputeNormals gives, bit for bit, when the vertices' face
// lists are those LinkFaces builds, computed from the faces alone and without
// changing the model: writers must not touch the scene, and a project file
// does not keep normals. One entry per vertex; faces with fewer than 3
// corners or a corner outside the model are passed over.
std::vector<CVector> ComputeVertexNormals(const CModel& model);

// Stored faces run clockwise seen from their front, so the normals above
// point to the faces' back. Formats whose front faces run counter-clockwise
// (glTF, WPF) get every triangle reversed and need normals to that front:
// ComputeVertexNormals with each component written as 0 - n, so a zero
// stays +0.
std::vector<CVector> ComputeFrontNormals(const CModel& model);

} // namespace vantomo

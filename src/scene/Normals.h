// Face and vertex normals of a model's mesh, computed from its faces. The
// renderer stores them in the mesh; the writers of formats with normals take
// a copy and leave the scene untouched.
#pragma once

#include <vector>

#include "scene/CModel.h"

namespace vantomo {

// Face normals (not normalised: (P0 - P1) x (P0 - P2) of the first three
// corners) and vertex normals (the normalised sum of the normals of the faces
// in the vertex's m_faces; (0, 1, 0) when that sum has length 0), in single
// precision in that order of operations. Faces and face references that
// point outside the model are passed over.
void ComputeNormals(CModel& model);

// The vertex normals ComputeNormals gives, bit for bit, when the vertices' face
// lists are those LinkFaces (import/MeshBuilder.h) builds, computed from the
// faces alone and without changing the model: writers must not touch the
// scene, and a project file does not keep normals. One entry per vertex; faces
// with fewer than 3 corners or a corner outside the model are passed over.
std::vector<CVector> ComputeVertexNormals(const CModel& model);

// Stored faces run clockwise seen from their front, so the normals above
// point to the faces' back. Formats whose front faces run counter-clockwise
// (glTF, WPF) get every triangle reversed and need normals to that front:
// ComputeVertexNormals with each component written as 0 - n, so a zero
// stays +0.
std::vector<CVector> ComputeFrontNormals(const CModel& model);

} // namespace vantomo

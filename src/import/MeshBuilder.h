// Turning an object as the Metasequoia reader filled it into the mesh the rest
// of the program works with.
#pragma once

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

} // namespace vantomo

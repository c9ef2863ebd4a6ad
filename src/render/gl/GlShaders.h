// The shader programs of the 3D view: lit, textured meshes (fixed-function
// lighting per vertex, Gouraud or flat), unlit coloured lines and triangles
// (grid, axes, selection box, manipulators) and the onion skin's ghosts.
#pragma once

#include <epoxy/gl.h>

#include <string>

namespace vantomo {

// Vertex attribute locations shared by the programs and the vertex arrays.
inline constexpr GLuint kAttribPosition = 0;
inline constexpr GLuint kAttribNormal = 1;
inline constexpr GLuint kAttribTexCoord = 2;
inline constexpr GLuint kAttribColour = 3;
// Which of the draw's materials a mesh vertex takes its colours from.
inline constexpr GLuint kAttribMaterialSlot = 4;

// Materials one mesh draw can hold; the vertices pick theirs by slot, so
// faces of many materials draw in one call.
inline constexpr int kMaterialSlots = 16;

// Uniform locations of the mesh program.
struct MeshProgram {
    GLuint program = 0;
    GLint worldViewProj = -1;
    GLint worldView = -1;
    GLint normalMatrix = -1;
    GLint lightDirection = -1;
    GLint diffuse = -1;
    GLint ambient = -1;
    GLint specular = -1;
    GLint emissive = -1;
    GLint power = -1;
    GLint texture = -1;
    GLint textured = -1;
};

struct ColouredProgram {
    GLuint program = 0;
    GLint worldViewProj = -1;
};

// Uniform locations of the onion skin's ghost program: a mesh in one colour,
// shaded by the light only as much as its shape needs to read.
struct GhostProgram {
    GLuint program = 0;
    GLint worldViewProj = -1;
    GLint normalMatrix = -1;
    GLint lightDirection = -1;
    GLint colour = -1;
};

// Compile and link the mesh program; `flat` takes every colour of a triangle
// from its provoking vertex. Needs a current GL 3.3 core context. False with
// the compiler's or linker's log in `error`; nothing is left allocated then.
[[nodiscard]] bool BuildMeshProgram(bool flat, MeshProgram& out, std::string& error);
[[nodiscard]] bool BuildColouredProgram(ColouredProgram& out, std::string& error);
[[nodiscard]] bool BuildGhostProgram(GhostProgram& out, std::string& error);

} // namespace vantomo

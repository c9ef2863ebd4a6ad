#include "render/gl/GlShaders.h"

#include <string>
#include <string_view>

namespace vantomo {

namespace {

// Lighting reproduces the fixed-function pipeline in view space: one
// directional light of white diffuse and specular and ambient 0.1, the global
// ambient white, specular towards a local viewer, normals transformed by the
// inverse transpose of world x view and normalised. The diffuse output carries
// the material's alpha; the specular is added after texturing. Both colours
// are clamped per vertex, as the fixed pipeline clamps its vertex colours.
constexpr std::string_view kMeshVertex = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoord;
layout(location = 4) in uint aMaterialSlot;
uniform mat4 uWorldViewProj;
uniform mat4 uWorldView;
uniform mat3 uNormalMatrix;
uniform vec3 uLightDirection; // towards the light, view space, unit length
uniform vec4 uDiffuse[SLOTS];
uniform vec4 uAmbient[SLOTS];
uniform vec4 uSpecular[SLOTS];
uniform vec4 uEmissive[SLOTS];
uniform float uPower[SLOTS];
SHADING out vec4 vDiffuse;
SHADING out vec3 vSpecular;
out vec2 vTexCoord;
void main()
{
    int m = int(min(aMaterialSlot, uint(SLOTS - 1)));
    vec4 diffuse = uDiffuse[m];
    gl_Position = uWorldViewProj * vec4(aPosition, 1.0);
    vec3 position = (uWorldView * vec4(aPosition, 1.0)).xyz;
    vec3 n = uNormalMatrix * aNormal;
    float len = length(n);
    n = len > 0.0 ? n / len : vec3(0.0);
    float nDotL = dot(n, uLightDirection);
    vec3 colour = uEmissive[m].rgb + uAmbient[m].rgb * 1.1 + diffuse.rgb * max(nDotL, 0.0);
    vec3 specular = vec3(0.0);
    if (nDotL > 0.0) {
        float eyeLength = length(position);
        vec3 toEye = eyeLength > 0.0 ? -position / eyeLength : vec3(0.0, 0.0, 1.0);
        vec3 h = toEye + uLightDirection;
        float hLength = length(h);
        float nDotH = hLength > 0.0 ? max(dot(n, h / hLength), 0.0) : 0.0;
        float factor = uPower[m] > 0.0 ? pow(nDotH, uPower[m]) : 1.0;
        specular = uSpecular[m].rgb * factor;
    }
    vDiffuse = clamp(vec4(colour, diffuse.a), 0.0, 1.0);
    vSpecular = clamp(specular, 0.0, 1.0);
    vTexCoord = aTexCoord;
}
)";

constexpr std::string_view kMeshFragment = R"(
uniform sampler2D uTexture;
uniform bool uTextured;
SHADING in vec4 vDiffuse;
SHADING in vec3 vSpecular;
in vec2 vTexCoord;
out vec4 fragColour;
void main()
{
    // Untextured faces modulate with opaque white, which is no change.
    vec4 colour = uTextured ? texture(uTexture, vTexCoord) * vDiffuse : vDiffuse;
    fragColour = vec4(min(colour.rgb + vSpecular, 1.0), colour.a);
}
)";

constexpr std::string_view kColouredVertex = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 3) in vec4 aColour;
uniform mat4 uWorldViewProj;
out vec4 vColour;
void main()
{
    gl_Position = uWorldViewProj * vec4(aPosition, 1.0);
    vColour = aColour;
}
)";

constexpr std::string_view kColouredFragment = R"(
in vec4 vColour;
out vec4 fragColour;
void main() { fragColour = vColour; }
)";

// A ghost is tinted, not lit as its materials are: a little of the tint
// comes from the light on its faces, so the shape reads while the colour,
// bright on the dark background, says which side of the current frame it
// stands on.
constexpr std::string_view kGhostVertex = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
uniform mat4 uWorldViewProj;
uniform mat3 uNormalMatrix;
uniform vec3 uLightDirection; // towards the light, view space, unit length
out float vLight;
void main()
{
    gl_Position = uWorldViewProj * vec4(aPosition, 1.0);
    vec3 n = uNormalMatrix * aNormal;
    float len = length(n);
    vLight = len > 0.0 ? max(dot(n / len, uLightDirection), 0.0) : 0.0;
}
)";

constexpr std::string_view kGhostFragment = R"(
uniform vec4 uColour;
in float vLight;
out vec4 fragColour;
void main() { fragColour = vec4(uColour.rgb * (0.7 + 0.3 * vLight), uColour.a); }
)";

GLuint CompileShader(GLenum type, std::string_view prelude, std::string_view body, std::string& error)
{
    const GLuint shader = glCreateShader(type);
    if (shader == 0) {
        error = "cannot create a shader object";
        return 0;
    }
    const char* parts[] = {prelude.data(), body.data()};
    const GLint lengths[] = {static_cast<GLint>(prelude.size()), static_cast<GLint>(body.size())};
    glShaderSource(shader, 2, parts, lengths);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        error = "shader compilation failed: " + std::string(log.c_str());
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(std::string_view prelude, std::string_view vertex, std::string_view fragment, std::string& error)
{
    const GLuint vs = CompileShader(GL_VERTEX_SHADER, prelude, vertex, error);
    if (vs == 0) {
        return 0;
    }
    const GLuint fs = CompileShader(GL_FRAGMENT_SHADER, prelude, fragment, error);
    if (fs == 0) {
        glDeleteShader(vs);
        return 0;
    }
    const GLuint program = glCreateProgram();
    if (program == 0) {
        glDeleteShader(vs);
        glDeleteShader(fs);
        error = "cannot create a shader program";
        return 0;
    }
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
        error = "shader linking failed: " + std::string(log.c_str());
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

} // namespace

bool BuildMeshProgram(bool flat, MeshProgram& out, std::string& error)
{
    const std::string prelude = std::string("#version 330 core\n#define SLOTS ") + std::to_string(kMaterialSlots) +
                                (flat ? "\n#define SHADING flat\n" : "\n#define SHADING smooth\n");
    const GLuint program = LinkProgram(prelude, kMeshVertex, kMeshFragment, error);
    if (program == 0) {
        return false;
    }
    out.program = program;
    out.worldViewProj = glGetUniformLocation(program, "uWorldViewProj");
    out.worldView = glGetUniformLocation(program, "uWorldView");
    out.normalMatrix = glGetUniformLocation(program, "uNormalMatrix");
    out.lightDirection = glGetUniformLocation(program, "uLightDirection");
    out.diffuse = glGetUniformLocation(program, "uDiffuse");
    out.ambient = glGetUniformLocation(program, "uAmbient");
    out.specular = glGetUniformLocation(program, "uSpecular");
    out.emissive = glGetUniformLocation(program, "uEmissive");
    out.power = glGetUniformLocation(program, "uPower");
    out.texture = glGetUniformLocation(program, "uTexture");
    out.textured = glGetUniformLocation(program, "uTextured");
    return true;
}

bool BuildColouredProgram(ColouredProgram& out, std::string& error)
{
    const GLuint program = LinkProgram("#version 330 core\n", kColouredVertex, kColouredFragment, error);
    if (program == 0) {
        return false;
    }
    out.program = program;
    out.worldViewProj = glGetUniformLocation(program, "uWorldViewProj");
    return true;
}

bool BuildGhostProgram(GhostProgram& out, std::string& error)
{
    const GLuint program = LinkProgram("#version 330 core\n", kGhostVertex, kGhostFragment, error);
    if (program == 0) {
        return false;
    }
    out.program = program;
    out.worldViewProj = glGetUniformLocation(program, "uWorldViewProj");
    out.normalMatrix = glGetUniformLocation(program, "uNormalMatrix");
    out.lightDirection = glGetUniformLocation(program, "uLightDirection");
    out.colour = glGetUniformLocation(program, "uColour");
    return true;
}

} // namespace vantomo

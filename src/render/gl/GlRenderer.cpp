#include "render/gl/GlRenderer.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "animation/Pose.h"
#include "imaging/DibStream.h"
#include "render/Picking.h"
#include "scene/Normals.h"

namespace vantomo {

namespace {

// Offsets of the vertex fields in the two layouts.
constexpr std::size_t kMeshNormalOffset = offsetof(MeshVertex, nx);
constexpr std::size_t kMeshTexCoordOffset = offsetof(MeshVertex, u);
constexpr std::size_t kColouredNormalOffset = offsetof(ColouredVertex, nx);
constexpr std::size_t kColouredColourOffset = offsetof(ColouredVertex, color);

const void* Offset(std::size_t bytes) { return reinterpret_cast<const void*>(bytes); }

// Matrices are kept in the row-vector layout (v' = v x M). Handed to GL as
// they are, without transposing, GL reads them as M transposed and its
// M^T x v is exactly v x M, so the shaders write `M * v`.
void SetMatrix(GLint location, const D3DXMATRIX& m) { glUniformMatrix4fv(location, 1, GL_FALSE, &m.m[0][0]); }

void SetNormalMatrix(GLint location, const D3DXMATRIX& m)
{
    const float upper[9] = {m.m[0][0], m.m[0][1], m.m[0][2], m.m[1][0], m.m[1][1],
                            m.m[1][2], m.m[2][0], m.m[2][1], m.m[2][2]};
    glUniformMatrix3fv(location, 1, GL_FALSE, upper);
}

D3DXMATRIX Transpose(const D3DXMATRIX& m)
{
    D3DXMATRIX t;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            t.m[r][c] = m.m[c][r];
        }
    }
    return t;
}

// Normals go through the inverse transpose of world x view, so non-uniform
// scaling keeps them perpendicular to their faces. A singular matrix (a zero
// scale) keeps the matrix itself; the normals are normalised afterwards.
D3DXMATRIX NormalMatrix(const D3DXMATRIX& worldView)
{
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(inverse, worldView)) {
        return worldView;
    }
    return Transpose(inverse);
}

// The projection leaves depth in 0..w; GL clips and stores -w..w, so depth
// becomes 2z - w. The picture is also moved by half a pixel right and down,
// because the original rasteriser sampled pixels at integer coordinates where
// GL samples at pixel centres.
D3DXMATRIX GlClipCorrection(int width, int height)
{
    D3DXMATRIX c = D3DXMatrixIdentity();
    c.m[2][2] = 2.0f;
    c.m[3][2] = -1.0f;
    c.m[3][0] = 1.0f / static_cast<float>(width);
    c.m[3][1] = -1.0f / static_cast<float>(height);
    return c;
}

bool IsFinite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Takes the GL error flags; true when one was set (such as GL_OUT_OF_MEMORY).
bool TakeGlErrors()
{
    bool any = false;
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
        any = true;
    }
    return any;
}

void SetColouredLayout()
{
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, 3, GL_FLOAT, GL_FALSE, sizeof(ColouredVertex), Offset(0));
    glEnableVertexAttribArray(kAttribNormal);
    glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, sizeof(ColouredVertex), Offset(kColouredNormalOffset));
    // 0xAARRGGBB little-endian is blue, green, red, alpha in memory.
    glEnableVertexAttribArray(kAttribColour);
    glVertexAttribPointer(kAttribColour, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ColouredVertex),
                          Offset(kColouredColourOffset));
}

} // namespace

RenderResult GlRenderer::Fail(std::string message)
{
    m_error = std::move(message);
    return {false, m_error};
}

RenderResult GlRenderer::Initialize()
{
    // Objects not released before may belong to a context that is gone;
    // their names could mean other objects now, so they are only forgotten.
    Forget();
    m_error.clear();
    if (!epoxy_is_desktop_gl() || epoxy_gl_version() < 33) {
        const int version = epoxy_gl_version();
        return Fail("OpenGL 3.3 is not available (the context offers " + std::string(epoxy_is_desktop_gl() ? "" : "ES ") +
                    std::to_string(version / 10) + "." + std::to_string(version % 10) + ")");
    }
    TakeGlErrors();
    std::string error;
    if (!BuildMeshProgram(false, m_smooth, error) || !BuildMeshProgram(true, m_flat, error) ||
        !BuildColouredProgram(m_coloured, error) || !BuildGhostProgram(m_ghost, error)) {
        m_ready = true; // so that Release frees what was made
        Release();
        return Fail(error);
    }
    bool buffers = MakeColouredBuffer(GridVertices(), GL_STATIC_DRAW, m_grid);
    for (int mode = 0; mode < 3; ++mode) {
        buffers = buffers && MakeColouredBuffer(GetManipulatorGeometry(mode).vertices, GL_STATIC_DRAW, m_manipulators[mode]);
    }
    const std::array<ColouredVertex, 24> box{};
    buffers = buffers && MakeColouredBuffer(box, GL_STREAM_DRAW, m_box);

    glGenTextures(1, &m_white);
    glBindTexture(GL_TEXTURE_2D, m_white);
    const std::uint32_t white = 0xFFFFFFFFu;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (TakeGlErrors() || !buffers || m_white == 0) {
        m_ready = true;
        Release();
        return Fail("cannot create the view's fixed buffers");
    }
    m_canQueryReset = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_KHR_robustness") ||
                      epoxy_has_gl_extension("GL_ARB_robustness");
    m_ready = true;
    m_buffersStale = true;
    m_texturesStale = true;
    return {};
}

bool GlRenderer::MakeColouredBuffer(std::span<const ColouredVertex> vertices, GLenum usage, FixedBuffer& out)
{
    glGenVertexArrays(1, &out.vertexArray);
    glGenBuffers(1, &out.vertexBuffer);
    if (out.vertexArray == 0 || out.vertexBuffer == 0) {
        return false;
    }
    glBindVertexArray(out.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, out.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size_bytes()), vertices.data(), usage);
    SetColouredLayout();
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    out.count = static_cast<GLsizei>(vertices.size());
    return true;
}

void GlRenderer::FreeFixedBuffer(FixedBuffer& buffer)
{
    if (buffer.vertexArray != 0) {
        glDeleteVertexArrays(1, &buffer.vertexArray);
    }
    if (buffer.vertexBuffer != 0) {
        glDeleteBuffers(1, &buffer.vertexBuffer);
    }
    buffer = {};
}

void GlRenderer::FreeModel(ModelBuffers& buffers)
{
    if (buffers.vertexArray != 0) {
        glDeleteVertexArrays(1, &buffers.vertexArray);
    }
    const GLuint names[3] = {buffers.vertexBuffer, buffers.slotBuffer, buffers.indexBuffer};
    glDeleteBuffers(3, names); // zero names are ignored
    buffers = {};
}

void GlRenderer::Release()
{
    if (!m_ready) {
        return;
    }
    for (auto& [handle, buffers] : m_models) {
        FreeModel(buffers);
    }
    m_models.clear();
    for (auto& [handle, name] : m_textures) {
        glDeleteTextures(1, &name);
    }
    m_textures.clear();
    FreeFixedBuffer(m_grid);
    for (FixedBuffer& buffer : m_manipulators) {
        FreeFixedBuffer(buffer);
    }
    FreeFixedBuffer(m_box);
    if (m_white != 0) {
        glDeleteTextures(1, &m_white);
        m_white = 0;
    }
    for (GLuint program : {m_smooth.program, m_flat.program, m_coloured.program, m_ghost.program}) {
        if (program != 0) {
            glDeleteProgram(program);
        }
    }
    m_smooth = {};
    m_flat = {};
    m_coloured = {};
    m_ghost = {};
    m_ready = false;
    m_buffersStale = true;
    m_texturesStale = true;
}

void GlRenderer::ReleaseVertexBuffer(CModel& model)
{
    const auto found = m_models.find(model.m_vertexBuffer);
    if (found != m_models.end()) {
        if (m_ready) {
            FreeModel(found->second);
        }
        m_models.erase(found);
    }
    model.m_vertexBuffer = 0;
}

void GlRenderer::BuildVertexBuffer(CModel& model, std::span<const CMaterial> materials)
{
    ReleaseVertexBuffer(model);
    ComputeNormals(model);
    if (!m_ready) {
        m_buffersStale = true;
        return;
    }
    const MeshBuffer mesh = BuildMeshBuffer(model, materials);
    if (mesh.indices.empty()) {
        return;
    }
    ModelBuffers buffers;
    std::vector<std::uint8_t> slots;
    GroupBatches(mesh, materials, buffers.groups, slots);
    glGenVertexArrays(1, &buffers.vertexArray);
    glGenBuffers(1, &buffers.vertexBuffer);
    glGenBuffers(1, &buffers.slotBuffer);
    glGenBuffers(1, &buffers.indexBuffer);
    TakeGlErrors();
    glBindVertexArray(buffers.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffers.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
                 mesh.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint32_t)),
                 mesh.indices.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), Offset(0));
    glEnableVertexAttribArray(kAttribNormal);
    glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), Offset(kMeshNormalOffset));
    glEnableVertexAttribArray(kAttribTexCoord);
    glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), Offset(kMeshTexCoordOffset));
    glBindBuffer(GL_ARRAY_BUFFER, buffers.slotBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(slots.size()), slots.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(kAttribMaterialSlot);
    glVertexAttribIPointer(kAttribMaterialSlot, 1, GL_UNSIGNED_BYTE, 1, Offset(0));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // An out-of-memory buffer leaves the model undrawn rather than drawing garbage.
    if (TakeGlErrors() || buffers.vertexArray == 0 || buffers.vertexBuffer == 0 || buffers.slotBuffer == 0 ||
        buffers.indexBuffer == 0) {
        FreeModel(buffers);
        return;
    }
    const DeviceHandle handle = m_nextHandle++;
    m_models.emplace(handle, std::move(buffers));
    model.m_vertexBuffer = handle;
}

void GlRenderer::GroupBatches(const MeshBuffer& mesh, std::span<const CMaterial> materials,
                              std::vector<DrawGroup>& groups, std::vector<std::uint8_t>& slots)
{
    slots.assign(mesh.vertices.size(), 0);
    for (const MeshBatch& batch : mesh.batches) {
        const bool known = batch.material >= 0 && static_cast<std::size_t>(batch.material) < materials.size();
        const int texture =
            known && !materials[static_cast<std::size_t>(batch.material)].m_texture.empty() ? batch.material : -1;
        DrawGroup* group = groups.empty() ? nullptr : &groups.back();
        int slot = -1;
        if (group != nullptr && group->textureMaterial == texture) {
            for (std::size_t i = 0; i < group->materials.size(); ++i) {
                if (group->materials[i] == batch.material) {
                    slot = static_cast<int>(i);
                }
            }
            if (slot < 0 && group->materials.size() < static_cast<std::size_t>(kMaterialSlots)) {
                slot = static_cast<int>(group->materials.size());
                group->materials.push_back(batch.material);
            }
        }
        if (slot < 0) {
            groups.push_back({batch.firstIndex, 0, texture, {batch.material}});
            group = &groups.back();
            slot = 0;
        }
        group->count = batch.firstIndex + batch.count - group->firstIndex;
        // Every corner has its own vertex, so a vertex belongs to one run.
        for (std::uint32_t i = batch.firstIndex; i < batch.firstIndex + batch.count; ++i) {
            slots[mesh.indices[i]] = static_cast<std::uint8_t>(slot);
        }
    }
}

void GlRenderer::RebuildVertexBuffers(CTessaline& scene)
{
    if (m_ready) {
        for (auto& [handle, buffers] : m_models) {
            FreeModel(buffers);
        }
    }
    m_models.clear();
    for (CModel& model : scene.m_models) {
        model.m_vertexBuffer = 0;
        BuildVertexBuffer(model, scene.m_materials);
    }
    if (m_ready) {
        m_buffersStale = false;
    }
}

void GlRenderer::CreateDeviceTexture(CMaterial& material)
{
    const auto found = m_textures.find(material.m_d3dTexture);
    if (found != m_textures.end()) {
        if (m_ready) {
            glDeleteTextures(1, &found->second);
        }
        m_textures.erase(found);
    }
    material.m_d3dTexture = 0;
    if (!m_ready) {
        m_texturesStale = true;
        return;
    }
    const DibStream* image = material.m_image.get();
    if (material.m_texture.empty() || image == nullptr || image->IsEmpty()) {
        return;
    }
    const std::int32_t width = image->Width();
    const std::int32_t height = image->AbsHeight();
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        return;
    }
    // Row 0 is the top row of the image and texture coordinate v = 0 its top
    // edge, so the rows go up in image order.
    std::vector<std::uint32_t> texels;
    texels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            texels.push_back(image->GetPixel(x, y));
        }
    }
    GLuint name = 0;
    TakeGlErrors();
    glGenTextures(1, &name);
    if (name == 0) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (TakeGlErrors()) {
        glDeleteTextures(1, &name);
        return;
    }
    const DeviceHandle handle = m_nextHandle++;
    m_textures.emplace(handle, name);
    material.m_d3dTexture = handle;
}

void GlRenderer::RecreateTextures(CTessaline& scene)
{
    if (m_ready) {
        for (auto& [handle, name] : m_textures) {
            glDeleteTextures(1, &name);
        }
    }
    m_textures.clear();
    for (CMaterial& material : scene.m_materials) {
        material.m_d3dTexture = 0;
        CreateDeviceTexture(material);
    }
    if (m_ready) {
        m_texturesStale = false;
    }
}

GLuint GlRenderer::TextureFor(const CMaterial& material) const
{
    if (material.m_texture.empty()) {
        return m_white;
    }
    const auto found = m_textures.find(material.m_d3dTexture);
    return found != m_textures.end() ? found->second : m_white;
}

bool GlRenderer::ResizeView(ViewState& viewState, int width, int height)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    viewState.m_viewWidth = static_cast<float>(width);
    viewState.m_viewHeight = static_cast<float>(height);
    return true;
}

bool GlRenderer::LightDirection(const CTessaline& scene, D3DXVECTOR3& out)
{
    if (scene.m_camera.empty()) {
        return false;
    }
    const CVector& p = scene.GetCameraRecord().m_position;
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(inverse, ViewMatrix(scene))) {
        return false;
    }
    const D3DXVECTOR3 d = D3DXVec3Normalize(D3DXVec3TransformNormal({-p.x, -p.y, -p.z}, inverse));
    if (!IsFinite(d) || (d.x == 0.0f && d.y == 0.0f && d.z == 0.0f)) {
        return false;
    }
    out = d;
    return true;
}

D3DXVECTOR3 GlRenderer::LightTowards(const CTessaline& scene, const D3DXMATRIX& view)
{
    D3DXVECTOR3 light;
    if (LightDirection(scene, light)) {
        // Lighting works in view space against the vector towards the light.
        const D3DXVECTOR3 l = D3DXVec3Normalize(D3DXVec3TransformNormal(light, view));
        if (IsFinite(l) && (l.x != 0.0f || l.y != 0.0f || l.z != 0.0f)) {
            return {-l.x, -l.y, -l.z};
        }
    }
    // The eye looks along -z: light travelling to it along the view axis
    // comes from -z.
    return {0.0f, 0.0f, -1.0f};
}

RenderResult GlRenderer::ForgetLostContext()
{
    // Objects of a lost context cannot be freed. The view makes a new
    // context and calls Initialize again, which uploads everything anew.
    Forget();
    return Fail("the OpenGL context was lost");
}

void GlRenderer::Forget()
{
    m_models.clear();
    m_textures.clear();
    m_grid = {};
    m_box = {};
    for (FixedBuffer& buffer : m_manipulators) {
        buffer = {};
    }
    m_white = 0;
    m_smooth = {};
    m_flat = {};
    m_coloured = {};
    m_ghost = {};
    m_ready = false;
    m_buffersStale = true;
    m_texturesStale = true;
}

bool GlRenderer::CheckContextLost()
{
    if (!m_canQueryReset) {
        return false;
    }
    return glGetGraphicsResetStatus() != GL_NO_ERROR;
}

RenderResult GlRenderer::Render(CTessaline& scene, ViewState& viewState, const TimePoint& time, int fbWidth, int fbHeight,
                                std::span<const OnionGhost> ghosts)
{
    m_drawCalls = 0;
    if (!m_ready) {
        return {false, m_error.empty() ? "the OpenGL renderer is not initialised" : m_error};
    }
    if (CheckContextLost()) {
        return ForgetLostContext();
    }
    // A minimised window has nothing to draw on.
    const bool viewHasArea = std::isfinite(viewState.m_viewWidth) && std::isfinite(viewState.m_viewHeight) &&
                             viewState.m_viewWidth > 0.0f && viewState.m_viewHeight > 0.0f;
    if (fbWidth <= 0 || fbHeight <= 0 || !viewHasArea) {
        return {};
    }
    // What was made while there was no context (or before the caller
    // uploaded the scene itself) goes into this one now, once.
    if (m_texturesStale) {
        RecreateTextures(scene);
    }
    if (m_buffersStale) {
        RebuildVertexBuffers(scene);
    }

    glViewport(0, 0, fbWidth, fbHeight);
    const std::uint32_t bg = scene.m_backgroundColor; // red in the low byte
    glClearColor(static_cast<float>(bg & 0xFFu) / 255.0f, static_cast<float>((bg >> 8) & 0xFFu) / 255.0f,
                 static_cast<float>((bg >> 16) & 0xFFu) / 255.0f, 1.0f);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Triangles that wind counter-clockwise on screen are dropped. Nothing in
    // the projection mirrors the picture, so the screen winding is the window
    // winding GL sees.
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    // Flat shading takes a triangle's colours from its first vertex; with
    // Gouraud shading the convention changes nothing, and GL's own is kept.
    glProvokingVertex(scene.m_smoothShading != 0 ? GL_LAST_VERTEX_CONVENTION : GL_FIRST_VERTEX_CONVENTION);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);

    const D3DXMATRIX view = ViewMatrix(scene);
    const D3DXMATRIX projection =
        D3DXMatrixMultiply(ProjectionMatrix(scene, viewState), GlClipCorrection(fbWidth, fbHeight));
    const D3DXMATRIX viewProj = D3DXMatrixMultiply(view, projection);

    const D3DXVECTOR3 lightView = LightTowards(scene, view);
    if (!ghosts.empty()) {
        DrawGhosts(scene, ghosts, view, viewProj, lightView);
    }
    DrawModels(scene, time, view, viewProj, lightView);

    // Axes and grid: unlit, coloured by their vertices.
    glUseProgram(m_coloured.program);
    SetMatrix(m_coloured.worldViewProj, viewProj);
    glBindVertexArray(m_grid.vertexArray);
    glDrawArrays(GL_LINES, 0, m_grid.count);
    ++m_drawCalls;

    // The manipulator is never hidden by a model.
    glClear(GL_DEPTH_BUFFER_BIT);
    DrawManipulator(scene, viewState, time, viewProj);

    glBindVertexArray(0);
    glUseProgram(0);
    if (CheckContextLost()) {
        return ForgetLostContext();
    }
    return {};
}

void GlRenderer::DrawModels(CTessaline& scene, const TimePoint& time, const D3DXMATRIX& view,
                            const D3DXMATRIX& viewProj, const D3DXVECTOR3& lightView)
{
    const std::vector<D3DXMATRIX> worlds = ComposeWorldMatrices(scene, time.animation, time.frame);
    const MeshProgram& program = scene.m_smoothShading != 0 ? m_smooth : m_flat;
    // Faces whose material is missing draw opaque white, untextured.
    static const D3DMATERIAL9 kWhite{{1.0f, 1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}, {}, {}, 0.0f};
    D3DCOLORVALUE diffuse[kMaterialSlots];
    D3DCOLORVALUE ambient[kMaterialSlots];
    D3DCOLORVALUE specular[kMaterialSlots];
    D3DCOLORVALUE emissive[kMaterialSlots];
    float power[kMaterialSlots];
    static_assert(sizeof(D3DCOLORVALUE) == 4 * sizeof(float));
    const CModel* selected = scene.GetSelectedModel();
    const std::size_t count = scene.m_models.size();

    glActiveTexture(GL_TEXTURE0);
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.kind != kLeaveModel || entry.model < 0 || static_cast<std::size_t>(entry.model) >= count) {
            continue;
        }
        CModel& model = scene.m_models[static_cast<std::size_t>(entry.model)];
        if (model.m_character != scene.m_selectedCharacter || model.m_visible == 0) {
            continue;
        }
        const D3DXMATRIX& world = worlds[static_cast<std::size_t>(entry.model)];
        model.m_world = world;
        const D3DXMATRIX worldViewProj = D3DXMatrixMultiply(world, viewProj);
        if (selected != nullptr && selected->m_id == model.m_id) {
            DrawSelectionBox(model, worldViewProj);
        }
        const auto found = m_models.find(model.m_vertexBuffer);
        if (found == m_models.end()) {
            continue;
        }
        const D3DXMATRIX worldView = D3DXMatrixMultiply(world, view);
        glUseProgram(program.program);
        SetMatrix(program.worldViewProj, worldViewProj);
        SetMatrix(program.worldView, worldView);
        SetNormalMatrix(program.normalMatrix, NormalMatrix(worldView));
        glUniform3f(program.lightDirection, lightView.x, lightView.y, lightView.z);
        glUniform1i(program.texture, 0);
        glBindVertexArray(found->second.vertexArray);
        for (const DrawGroup& group : found->second.groups) {
            const std::size_t n = group.materials.size();
            for (std::size_t slot = 0; slot < n; ++slot) {
                const int index = group.materials[slot];
                const bool known = index >= 0 && static_cast<std::size_t>(index) < scene.m_materials.size();
                const D3DMATERIAL9& m = known ? scene.m_materials[static_cast<std::size_t>(index)].m_d3dMaterial : kWhite;
                diffuse[slot] = m.Diffuse;
                ambient[slot] = m.Ambient;
                specular[slot] = m.Specular;
                emissive[slot] = m.Emissive;
                power[slot] = m.Power;
            }
            const auto slots = static_cast<GLsizei>(n);
            glUniform4fv(program.diffuse, slots, &diffuse[0].r);
            glUniform4fv(program.ambient, slots, &ambient[0].r);
            glUniform4fv(program.specular, slots, &specular[0].r);
            glUniform4fv(program.emissive, slots, &emissive[0].r);
            glUniform1fv(program.power, slots, power);
            const bool textured = group.textureMaterial >= 0 &&
                                  static_cast<std::size_t>(group.textureMaterial) < scene.m_materials.size();
            const GLuint texture =
                textured ? TextureFor(scene.m_materials[static_cast<std::size_t>(group.textureMaterial)]) : m_white;
            glBindTexture(GL_TEXTURE_2D, texture);
            glUniform1i(program.textured, texture != m_white ? 1 : 0);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(group.count), GL_UNSIGNED_INT,
                           Offset(group.firstIndex * sizeof(std::uint32_t)));
            ++m_drawCalls;
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void GlRenderer::DrawGhosts(const CTessaline& scene, std::span<const OnionGhost> ghosts, const D3DXMATRIX& view,
                            const D3DXMATRIX& viewProj, const D3DXVECTOR3& lightView)
{
    // Drawn before the current pose and leaving the depth buffer as it was,
    // so the pose covers every ghost and no ghost hides another or the grid.
    glDepthMask(GL_FALSE);
    glUseProgram(m_ghost.program);
    glUniform3f(m_ghost.lightDirection, lightView.x, lightView.y, lightView.z);
    const std::size_t count = scene.m_models.size();
    for (const OnionGhost& ghost : ghosts) {
        const std::vector<D3DXMATRIX> worlds = ComposeWorldMatrices(scene, ghost.animation, ghost.frame);
        glUniform4f(m_ghost.colour, ghost.colour[0], ghost.colour[1], ghost.colour[2], ghost.colour[3]);
        for (const TraversalEntry& entry : scene.m_traversal) {
            if (entry.kind != kLeaveModel || entry.model < 0 || static_cast<std::size_t>(entry.model) >= count) {
                continue;
            }
            const CModel& model = scene.m_models[static_cast<std::size_t>(entry.model)];
            if (model.m_character != scene.m_selectedCharacter || model.m_visible == 0) {
                continue;
            }
            const auto found = m_models.find(model.m_vertexBuffer);
            if (found == m_models.end()) {
                continue;
            }
            const D3DXMATRIX& world = worlds[static_cast<std::size_t>(entry.model)];
            SetMatrix(m_ghost.worldViewProj, D3DXMatrixMultiply(world, viewProj));
            SetNormalMatrix(m_ghost.normalMatrix, NormalMatrix(D3DXMatrixMultiply(world, view)));
            glBindVertexArray(found->second.vertexArray);
            for (const DrawGroup& group : found->second.groups) {
                glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(group.count), GL_UNSIGNED_INT,
                               Offset(group.firstIndex * sizeof(std::uint32_t)));
                ++m_drawCalls;
            }
        }
    }
    glDepthMask(GL_TRUE);
}

void GlRenderer::DrawSelectionBox(const CModel& model, const D3DXMATRIX& worldViewProj)
{
    glUseProgram(m_coloured.program);
    SetMatrix(m_coloured.worldViewProj, worldViewProj);
    glBindBuffer(GL_ARRAY_BUFFER, m_box.vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(model.m_boxVertices), model.m_boxVertices.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(m_box.vertexArray);
    glDrawArrays(GL_LINES, 0, 24);
    ++m_drawCalls;
}

void GlRenderer::DrawManipulator(const CTessaline& scene, ViewState& viewState, const TimePoint& time,
                                 const D3DXMATRIX& viewProj)
{
    if (!RecordDrawnManipulator(scene, viewState, time)) {
        return;
    }
    const int mode = viewState.m_manipulatorMode;
    const ManipulatorGeometry geometry = GetManipulatorGeometry(mode);
    glUseProgram(m_coloured.program);
    SetMatrix(m_coloured.worldViewProj, D3DXMatrixMultiply(viewState.m_manipulatorWorld, viewProj));
    glBindVertexArray(m_manipulators[mode].vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 3 * geometry.triangles);
    ++m_drawCalls;
    if (geometry.stems > 0) {
        glDrawArrays(GL_LINES, 3 * geometry.triangles, 2 * geometry.stems);
        ++m_drawCalls;
    }
}

} // namespace vantomo

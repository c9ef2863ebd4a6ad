// The OpenGL renderer of the 3D view. It owns every GL object of the view
// (programs, the fixed grid and manipulator buffers, one vertex buffer per
// model, one texture per material). The scene keeps only the DeviceHandle
// number the renderer handed out for a model's buffer or a material's
// texture, and the renderer finds its objects by that number: numbers are
// never reused, so the handle of a released object, or one from before the
// context was re-created, finds nothing and is not drawn, and two models that
// share an id in a damaged file still get a buffer each.
//
// Every member that touches GL needs the renderer's context to be current:
// Initialize, Release, Render and the buffer and texture builders. Without an
// initialised renderer the builders only remember that the scene must be
// uploaded again; the first Render after Initialize does it.
//
// A view drives it so: Initialize when its context is made (and again when
// the context is re-created), ResizeView on every size event, Render when it
// paints, RebuildVertexBuffers after a new scene, an open, models added or
// removed and a material or shading change, CreateDeviceTexture or
// RecreateTextures after textures were (re)loaded, and Release while the
// context is still current just before it goes away.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/Camera.h" // ViewMatrix, ProjectionMatrix: one definition for drawing and picking
#include "render/OnionSkin.h"
#include "render/RenderGeometry.h"
#include "render/ViewState.h"
#include "render/gl/GlShaders.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

// Outcome of an operation that needs a working context; `message` (English,
// one line) says why it failed.
struct [[nodiscard]] RenderResult {
    bool ok = true;
    std::string message;
};

class GlRenderer {
public:
    GlRenderer() = default;
    // Never calls GL: objects not freed by Release belong to the context and
    // go with it.
    ~GlRenderer() = default;
    GlRenderer(const GlRenderer&) = delete;
    GlRenderer& operator=(const GlRenderer&) = delete;

    // Checks for a desktop OpenGL 3.3 context, compiles the programs and
    // uploads the grid and manipulator buffers. On failure everything made so
    // far is freed and the renderer stays unready (Render then draws nothing
    // and reports the message). Calling it again after Release (a re-created
    // context) makes every object anew; the scene's buffers and textures
    // follow at the next Render. Objects that were not released are
    // forgotten, not deleted: their context may be gone.
    RenderResult Initialize();

    // Frees every GL object while the context is still current. Afterwards
    // nothing of the renderer touches GL until Initialize succeeds again.
    void Release();

    bool IsReady() const { return m_ready; }

    // Draws one frame of the scene as the 3D view shows it into the bound
    // framebuffer of fbWidth x fbHeight pixels, posed at `time`, with the
    // aspect ratio of the view's m_viewWidth / m_viewHeight. Writes each drawn
    // model's m_world and, when a manipulator is drawn, the view's
    // m_manipulatorWorld, m_manipulatorModelId and m_manipulatorMode. A
    // framebuffer or view without area draws nothing and
    // succeeds. A lost context makes the renderer unready and fails.
    // `ghosts` (OnionGhosts) are drawn first, each the shown character posed
    // at its own frame, translucent in its colour and without depth writes,
    // so the current pose covers them and they never hide one another.
    RenderResult Render(CTessaline& scene, ViewState& viewState, const TimePoint& time, int fbWidth, int fbHeight,
                        std::span<const OnionGhost> ghosts = {});

    // Recomputes the normals of every model and uploads its vertex buffer,
    // freeing the previous ones (also of models no longer in the scene). Run
    // after an import, open, new, and a material or shading change, never per
    // frame. A model whose buffer cannot be made gets handle 0 and is not drawn.
    void RebuildVertexBuffers(CTessaline& scene);
    // The same for one model, with the scene's material list.
    void BuildVertexBuffer(CModel& model, std::span<const CMaterial> materials);
    // Frees the model's buffer and sets its handle to 0.
    void ReleaseVertexBuffer(CModel& model);

    // Uploads the material's decoded image as its texture (linear filtering,
    // repeat). A material without a texture name or image, or whose texture
    // cannot be made, ends with handle 0 and draws untextured.
    void CreateDeviceTexture(CMaterial& material);
    // CreateDeviceTexture for every material; frees the textures of materials
    // no longer in the scene.
    void RecreateTextures(CTessaline& scene);

    // Records a size event of the view: the new size becomes the aspect
    // ratio. A size without area (a minimised window) is ignored and false.
    static bool ResizeView(ViewState& viewState, int width, int height);
    // World-space direction of the light as it travels: from the point the
    // camera looks at back towards the eye. False when it cannot be computed
    // (camera at that point, non-finite camera).
    static bool LightDirection(const CTessaline& scene, D3DXVECTOR3& out);
    // The unit vector towards the light in view space, as the shaders take it.
    // Where LightDirection has none, the light runs along the view axis towards
    // the eye, as it does for a point straight ahead: one fixed direction, so
    // no frame depends on the frames drawn before it, and a view that draws
    // many frames shows a scene as a one-frame render does.
    static D3DXVECTOR3 LightTowards(const CTessaline& scene, const D3DXMATRIX& view);

    // Draw calls of the last frame. A model costs one call per change of
    // texture along its faces (and one per kMaterialSlots materials), never
    // one per face.
    int LastDrawCalls() const { return m_drawCalls; }

private:
    // Consecutive runs of faces drawn in one call: they share a texture (or
    // none) and use at most kMaterialSlots materials, `materials[slot]`
    // being a position in the scene's material list or -1 for the default.
    struct DrawGroup {
        std::uint32_t firstIndex = 0;
        std::uint32_t count = 0;
        int textureMaterial = -1; // the textured material, -1 for untextured
        std::vector<int> materials;
    };
    struct ModelBuffers {
        GLuint vertexArray = 0;
        GLuint vertexBuffer = 0;
        GLuint slotBuffer = 0;
        GLuint indexBuffer = 0;
        std::vector<DrawGroup> groups;
    };
    struct FixedBuffer {
        GLuint vertexArray = 0;
        GLuint vertexBuffer = 0;
        GLsizei count = 0;
    };

    RenderResult Fail(std::string message);
    bool CheckContextLost();
    RenderResult ForgetLostContext();
    // Drops every object without calling GL.
    void Forget();
    bool MakeColouredBuffer(std::span<const ColouredVertex> vertices, GLenum usage, FixedBuffer& out);
    void FreeFixedBuffer(FixedBuffer& buffer);
    void FreeModel(ModelBuffers& buffers);
    // Splits the runs of faces into draw groups and gives every vertex its
    // material's slot in its group.
    static void GroupBatches(const MeshBuffer& mesh, std::span<const CMaterial> materials,
                             std::vector<DrawGroup>& groups, std::vector<std::uint8_t>& slots);
    void DrawModels(CTessaline& scene, const TimePoint& time, const D3DXMATRIX& view, const D3DXMATRIX& viewProj,
                    const D3DXVECTOR3& lightView);
    void DrawGhosts(const CTessaline& scene, std::span<const OnionGhost> ghosts, const D3DXMATRIX& view,
                    const D3DXMATRIX& viewProj, const D3DXVECTOR3& lightView);
    void DrawSelectionBox(const CModel& model, const D3DXMATRIX& worldViewProj);
    void DrawManipulator(const CTessaline& scene, ViewState& viewState, const TimePoint& time,
                         const D3DXMATRIX& viewProj);
    GLuint TextureFor(const CMaterial& material) const;

    bool m_ready = false;
    // Set by Initialize and by uploads asked for without a context: the
    // scene's buffers or textures must go into the context before the next
    // frame. A full rebuild in the context clears its flag.
    bool m_buffersStale = true;
    bool m_texturesStale = true;
    bool m_canQueryReset = false;
    std::string m_error;
    DeviceHandle m_nextHandle = 1;
    int m_drawCalls = 0;

    MeshProgram m_smooth;
    MeshProgram m_flat;
    ColouredProgram m_coloured;
    GhostProgram m_ghost;
    FixedBuffer m_grid;
    FixedBuffer m_manipulators[3];
    FixedBuffer m_box;
    GLuint m_white = 0; // 1 x 1 opaque white: what untextured faces modulate with
    std::unordered_map<DeviceHandle, ModelBuffers> m_models;
    std::unordered_map<DeviceHandle, GLuint> m_textures;
};

} // namespace vantomo

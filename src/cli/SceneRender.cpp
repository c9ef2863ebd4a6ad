#include "cli/SceneRender.h"

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "render/gl/GlRenderer.h"
#include "render/gl/HeadlessContext.h"
#include "render/gl/OffscreenTarget.h"

namespace vantomo {

struct SceneRenderer::Parts {
    std::unique_ptr<HeadlessContext> context;
    GlRenderer renderer;
    OffscreenTarget target;
    ViewState view; // the headless view's: sized by every draw
};

SceneRenderer::SceneRenderer(std::unique_ptr<Parts> parts) : m_parts(std::move(parts)) {}

std::unique_ptr<SceneRenderer> SceneRenderer::Create(std::string& error)
{
    auto parts = std::make_unique<Parts>();
    parts->context = HeadlessContext::Create(error);
    if (!parts->context) {
        return nullptr;
    }
    const RenderResult ready = parts->renderer.Initialize();
    if (!ready.ok) {
        error = "cannot draw: " + ready.message;
        return nullptr;
    }
    return std::unique_ptr<SceneRenderer>(new SceneRenderer(std::move(parts)));
}

SceneRenderer::~SceneRenderer()
{
    // GL objects go while their context is still current.
    if (m_parts->context->MakeCurrent()) {
        m_parts->target.Release();
        m_parts->renderer.Release();
    }
}

void SceneRenderer::Upload(CTessaline& scene)
{
    if (m_parts->context->MakeCurrent()) {
        m_parts->renderer.RecreateTextures(scene);
        m_parts->renderer.RebuildVertexBuffers(scene);
    }
}

std::string SceneRenderer::BeginFrames(CTessaline& scene)
{
    Upload(scene);
    return {};
}

std::string SceneRenderer::Draw(CTessaline& scene, const TimePoint& time, int width, int height,
                                const std::string& path, std::span<const OnionGhost> ghosts)
{
    DibStream image;
    std::string error = DrawInto(scene, time, width, height, image, ghosts);
    if (error.empty() && !SavePNG(path, image)) {
        error = "cannot write " + path;
    }
    return error;
}

std::string SceneRenderer::DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height,
                                     DibStream& image)
{
    return DrawInto(scene, time, width, height, image, {});
}

std::string SceneRenderer::DrawInto(CTessaline& scene, const TimePoint& time, int width, int height,
                                    DibStream& image, std::span<const OnionGhost> ghosts)
{
    if (!m_parts->context->MakeCurrent()) {
        return "cannot draw: the OpenGL context cannot be made current";
    }
    // The image is made first, so a size no image may have fails before drawing.
    const bool reusable = image.BitCount() == 24 && image.Width() == width && image.AbsHeight() == height;
    if (!reusable && !image.CreateDIB(width, height, 24)) {
        return "a " + std::to_string(width) + "x" + std::to_string(height) + " picture is larger than an image may be";
    }
    OffscreenTarget& target = m_parts->target;
    if ((target.Width() != width || target.Height() != height) && !target.Create(width, height)) {
        return "cannot draw: no " + std::to_string(width) + "x" + std::to_string(height) + " picture can be made";
    }
    if (!GlRenderer::ResizeView(m_parts->view, width, height)) {
        return "cannot draw a picture without area";
    }
    target.Bind();
    const RenderResult drawn = m_parts->renderer.Render(scene, m_parts->view, time, width, height, ghosts);
    if (!drawn.ok) {
        return "cannot draw: " + drawn.message;
    }
    if (!target.Read(image)) {
        return "cannot read the picture back";
    }
    return {};
}

} // namespace vantomo

// Drawing a scene as the 3D view shows it, without a display, into PNG files
// or the frames of a video: the `render` command and the script's `render`
// command.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "document/VideoExport.h"
#include "render/OnionSkin.h"
#include "scene/CTessaline.h"

namespace vantomo {

class DibStream;

class SceneRenderer final : public FrameDrawer {
public:
    // Creates the headless context and the renderer. Null, with a one-line
    // reason in `error`, when no OpenGL 3.3 context can be had or the shaders
    // do not build.
    [[nodiscard]] static std::unique_ptr<SceneRenderer> Create(std::string& error);
    ~SceneRenderer() override;
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // Uploads the scene's model buffers and textures, as after an open.
    void Upload(CTessaline& scene);

    // Draws the scene (uploaded before) posed at `time`, at width x height,
    // the view's size, with the onion skin's `ghosts` behind it, and writes
    // the picture to `path`. "" on success, else the reason.
    [[nodiscard]] std::string Draw(CTessaline& scene, const TimePoint& time, int width, int height,
                                   const std::string& path, std::span<const OnionGhost> ghosts = {});

    // The frames of a video: the scene is uploaded once, then each frame is
    // drawn into `image`.
    std::string BeginFrames(CTessaline& scene) override;
    std::string DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height, DibStream& image) override;

private:
    std::string DrawInto(CTessaline& scene, const TimePoint& time, int width, int height, DibStream& image,
                         std::span<const OnionGhost> ghosts);

    struct Parts;
    explicit SceneRenderer(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};

} // namespace vantomo

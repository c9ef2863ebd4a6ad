// Drawing a scene as the 3D view shows it, without a display, into PNG files:
// the `render` command and the script's `render` command.
#pragma once

#include <memory>
#include <string>

#include "scene/CTessaline.h"

namespace vantomo {

class SceneRenderer {
public:
    // Creates the headless context and the renderer. Null, with a one-line
    // reason in `error`, when no OpenGL 3.3 context can be had or the shaders
    // do not build.
    [[nodiscard]] static std::unique_ptr<SceneRenderer> Create(std::string& error);
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // Uploads the scene's model buffers and textures, as after an open.
    void Upload(CTessaline& scene);

    // Draws the scene (uploaded before) at width x height, the view's size,
    // and writes the picture to `path`. "" on success, else the reason.
    [[nodiscard]] std::string Draw(CTessaline& scene, int width, int height, const std::string& path);

private:
    struct Parts;
    explicit SceneRenderer(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};

} // namespace vantomo

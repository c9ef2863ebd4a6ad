// vantomo-cli script SCRIPT [-o OUT.vtm]: run a text file of editing commands
// on one scene, then optionally save it.
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "cli/StderrSink.h"
#include "cli/SceneJson.h"
#include "cli/SceneRender.h"
#include "animation/Pose.h"
#include "document/FrameValues.h"
#include "document/Script.h"
#include "base/PathHelpers.h"
#include "scene/AppValues.h"

namespace vantomo {

int RunScript(const Args& args)
{
    std::string script;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !output.empty()) {
                std::cerr << "vantomo-cli script: -o needs one output file\n";
                return kExitUsage;
            }
            output = std::string(args[++i]);
        } else if (script.empty() && !(args[i].size() > 1 && args[i][0] == '-')) {
            script = std::string(args[i]);
        } else {
            std::cerr << "usage: vantomo-cli script SCRIPT [-o OUT.vtm]\n";
            return kExitUsage;
        }
    }
    if (script.empty()) {
        std::cerr << "usage: vantomo-cli script SCRIPT [-o OUT.vtm]\n";
        return kExitUsage;
    }
    std::ifstream in(script, std::ios::binary);
    if (!in) {
        std::cerr << "vantomo-cli: cannot read " << script << '\n';
        return kExitFailure;
    }
    std::ostringstream text;
    text << in.rdbuf();

    ResetAppValues();
    StderrSink stderrSink;
    HeadlessUserInterface ui(&stderrSink);
    CVantomoDoc doc(ui);
    ScriptRunner runner(doc, ui, [](const CTessaline& scene) { std::cout << SceneToJson(scene, {}); });
    // The renderer is made on the first render command and kept for the next.
    std::unique_ptr<SceneRenderer> renderer;
    std::string rendererError;
    const auto make = [&](std::string& error) -> SceneRenderer* {
        if (!renderer && rendererError.empty()) {
            renderer = SceneRenderer::Create(rendererError);
        }
        error = rendererError;
        return renderer.get();
    };
    runner.SetRenderHook([&](CTessaline& scene, const std::string& path, int width, int height) -> std::string {
        std::string error;
        SceneRenderer* drawer = make(error);
        if (drawer == nullptr) {
            return error;
        }
        InbetweenAll(scene);
        drawer->Upload(scene);
        // The onion skin as the script's own commands set it.
        const TimePoint time = CurrentTime();
        return drawer->Draw(scene, time, width, height, path,
                            OnionGhosts(scene, time.animation, time.frame, doc.GetOnionSkin()));
    });
    // A video's frames are drawn by the same renderer.
    class LazyDrawer final : public FrameDrawer {
    public:
        explicit LazyDrawer(std::function<SceneRenderer*(std::string&)> make) : m_make(std::move(make)) {}
        std::string BeginFrames(CTessaline& scene) override
        {
            std::string error;
            m_renderer = m_make(error);
            return m_renderer != nullptr ? m_renderer->BeginFrames(scene) : error;
        }
        std::string DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height,
                              DibStream& image) override
        {
            return m_renderer->DrawFrame(scene, time, width, height, image);
        }

    private:
        std::function<SceneRenderer*(std::string&)> m_make;
        SceneRenderer* m_renderer = nullptr;
    };
    LazyDrawer drawer(make);
    ui.frameDrawer = &drawer;
    const ScriptResult result = runner.Run(text.str(), FolderOf(script));
    if (!result.ok) {
        std::cerr << script << ":" << result.line << ": " << result.error << '\n';
        return kExitFailure;
    }
    if (!output.empty() && !doc.OnSaveDocument(output)) {
        return kExitFailure;
    }
    std::cout.flush();
    return std::cout.good() ? kExitOk : kExitFailure;
}

} // namespace vantomo

// What encoding adds to drawing the frames of a video: the walker sample's
// 61 frames at 640 x 480, drawn headless (EGL, llvmpipe) as vantomo-cli
// render draws them. The sample's texture name resolves against the working
// folder, so the benchmark runs from samples/ as scripts/run-sample does; a
// walker drawn untextured would be cheaper to draw and to encode than what
// users see, and is refused.
//
// BM_DrawFrames draws the frames and reads them back, the yardstick.
// BM_Export/mp4, /webm and /gif draw the same frames and encode them into a
// file, as `vantomo-cli render -o walk.mp4` does (a GIF draws a spread of
// them first, for the palette, before the first frame is written). Each reports
// `added`: (export time - drawing time) / drawing time, the drawing time
// measured in the same iteration; `added_cpu` the same from the
// processor time of the whole process (every thread: llvmpipe's, the
// encoders'), which other work on a shared machine disturbs less than it
// does the clock, though it cannot show what a second thread saves.
// BM_ExportOne/... writes frame 0 alone: the
// cost of a file whatever its length (starting the encoder, finishing and
// syncing the file), which a 61-frame clip of frames this cheap to draw
// still feels.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "cli/Open.h"
#include "cli/SceneRender.h"
#include "animation/Pose.h"
#include "document/VideoExport.h"
#include "imaging/DibStream.h"
#include "scene/AppValues.h"
#include "scene/MessageSink.h"

using namespace vantomo;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class Quiet final : public MessageSink {
public:
    void ShowMessage(std::string_view) override {}
    void ShowTextureMessage(std::string_view, std::string_view) override { missingTexture = true; }
    bool missingTexture = false;
};

struct Walker {
    CTessaline scene;
    std::unique_ptr<SceneRenderer> renderer;
};

Walker* Load()
{
    static Walker* walker = [] {
        setenv("EGL_PLATFORM", "surfaceless", 0);
        auto* w = new Walker;
        ResetAppValues();
        Quiet quiet;
        std::vector<OpenResult> outcomes;
        if (chdir(VANTOMO_SOURCE_DIR "/samples") != 0 ||
            !OpenDocumentsInto(w->scene, {"walker.vtm"}, quiet, outcomes) || quiet.missingTexture) {
            return static_cast<Walker*>(nullptr);
        }
        std::string error;
        w->renderer = SceneRenderer::Create(error);
        if (!w->renderer) {
            return static_cast<Walker*>(nullptr);
        }
        InbetweenAll(w->scene);
        w->renderer->Upload(w->scene);
        return w;
    }();
    return walker;
}

double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double DrawAll(Walker& w, int last)
{
    const auto start = std::chrono::steady_clock::now();
    DibStream image;
    for (int frame = 0; frame <= last; ++frame) {
        g_currentFrame = frame;
        if (!w.renderer->DrawFrame(w.scene, TimePoint{g_currentAnimation, frame}, kWidth, kHeight, image).empty()) {
            return -1.0;
        }
        benchmark::DoNotOptimize(image.RowAddress(0));
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_DrawFrames(benchmark::State& state)
{
    Walker* w = Load();
    if (w == nullptr) {
        state.SkipWithError("no headless OpenGL 3.3 context, or no walker sample with its texture");
        return;
    }
    for (auto _ : state) {
        const double seconds = DrawAll(*w, g_lastFrame);
        if (seconds < 0.0) {
            state.SkipWithError("drawing failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["frames"] = g_lastFrame + 1;
}
BENCHMARK(BM_DrawFrames)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void Export(benchmark::State& state, const char* extension, bool whole)
{
    Walker* w = Load();
    if (w == nullptr) {
        state.SkipWithError("no headless OpenGL 3.3 context, or no walker sample with its texture");
        return;
    }
    const std::string path = (std::filesystem::temp_directory_path() / "vantomo-bench-walk.").string() + extension;
    VideoSettings settings;
    settings.width = kWidth;
    settings.height = kHeight;
    settings.lastFrame = whole ? -1 : 0;
    double drawing = 0.0;
    double exporting = 0.0;
    double drawingCpu = 0.0;
    double exportingCpu = 0.0;
    for (auto _ : state) {
        const double cpuBefore = ProcessSeconds();
        const double drawn = DrawAll(*w, whole ? g_lastFrame : 0);
        const double cpuDrawn = ProcessSeconds();
        const auto start = std::chrono::steady_clock::now();
        const OperationResult result = ExportVideo(w->scene, path, settings, *w->renderer);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        drawingCpu += cpuDrawn - cpuBefore;
        exportingCpu += ProcessSeconds() - cpuDrawn;
        if (drawn < 0.0 || !result.ok) {
            state.SkipWithError(("export failed: " + result.detail).c_str());
            return;
        }
        drawing += drawn;
        exporting += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["added"] = (exporting - drawing) / drawing;
    state.counters["added_cpu"] = (exportingCpu - drawingCpu) / drawingCpu;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
void BM_Export(benchmark::State& state, const char* extension) { Export(state, extension, true); }
void BM_ExportOne(benchmark::State& state, const char* extension) { Export(state, extension, false); }
BENCHMARK_CAPTURE(BM_Export, mp4, "mp4")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_Export, webm, "webm")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_Export, gif, "gif")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ExportOne, mp4, "mp4")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_ExportOne, webm, "webm")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_ExportOne, gif, "gif")->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();

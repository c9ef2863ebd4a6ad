// vantomo-cli render FILE... -o OUT.png|.mp4|.webm|.gif: open or import the
// files into one scene and draw the 3D view's picture of it without a
// display, or its animation as a video.
#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "render/Picking.h"
#include "animation/Pose.h"
#include "cli/Commands.h"
#include "cli/Open.h"
#include "cli/SceneRender.h"
#include "cli/StderrSink.h"
#include "cli/TerminalProgress.h"
#include "document/FrameValues.h"
#include "document/VideoExport.h"
#include "document/Script.h"
#include "document/Structure.h"
#include "render/OnionSkin.h"
#include "render/RenderGeometry.h"
#include "scene/AppValues.h"
#include "video/VideoEncoder.h"

namespace vantomo {

namespace {

constexpr const char* kUsage =
    "usage: vantomo-cli render FILE... -o OUT.png|OUT.mp4|OUT.webm|OUT.gif [--size WxH]\n"
    "                          [--frame N | --frames A..B] [--animation N] [--fps F]\n"
    "                          [--select NAME] [--mode move|rotate|scale] [--onion N]\n";

bool ParseCount(std::string_view text, int& out)
{
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc{} && stop == end;
}

struct RenderOptions {
    std::vector<std::string> files;
    std::string output;
    int width = kDefaultRenderWidth;
    int height = kDefaultRenderHeight;
    int firstFrame = -1; // -1: the frame the scene opens at
    int lastFrame = -1;
    bool sequence = false;
    int animation = -1;
    std::string select;
    int mode = -1;
    std::optional<VideoFormat> video; // none: PNG pictures
    double fps = 0.0;                 // a video's rate; 0: the scene's
    OnionSkin onion;                  // the onion skin of the pictures
};

bool HasPngExtension(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return false;
    }
    std::string extension(path.substr(dot + 1));
    for (char& c : extension) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return extension == "png";
}

// "" when the arguments parse, else what is wrong.
std::string ParseOptions(const Args& args, RenderOptions& o)
{
    bool frameGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-o" || a == "--size" || a == "--frame" || a == "--frames" || a == "--animation" ||
            a == "--select" || a == "--mode" || a == "--fps" || a == "--onion") {
            if (!hasValue) {
                return std::string(a) + " needs a value";
            }
        }
        if (a == "-o") {
            if (!o.output.empty()) {
                return "-o given twice";
            }
            o.output = std::string(args[++i]);
        } else if (a == "--size") {
            if (!ParseRenderSize(args[++i], o.width, o.height)) {
                return "--size expects WxH, each 1.." + std::to_string(kMaxRenderSide);
            }
        } else if (a == "--frame" || a == "--frames") {
            if (frameGiven) {
                return "give one --frame or --frames";
            }
            frameGiven = true;
            const std::string_view v = args[++i];
            if (a == "--frame") {
                if (!ParseCount(v, o.firstFrame)) {
                    return "--frame expects a frame number";
                }
                o.lastFrame = o.firstFrame;
            } else {
                const std::size_t dots = v.find("..");
                if (dots == std::string_view::npos || !ParseCount(v.substr(0, dots), o.firstFrame) ||
                    !ParseCount(v.substr(dots + 2), o.lastFrame) || o.lastFrame < o.firstFrame) {
                    return "--frames expects A..B with A <= B";
                }
                o.sequence = true;
            }
        } else if (a == "--animation") {
            if (!ParseCount(args[++i], o.animation)) {
                return "--animation expects an animation number";
            }
        } else if (a == "--fps") {
            const std::string_view words[] = {a, args[++i]};
            VideoSettings rate;
            const std::string refused = ApplyVideoOptions(words, rate);
            if (!refused.empty()) {
                return refused;
            }
            o.fps = rate.fps;
        } else if (a == "--select") {
            o.select = std::string(args[++i]);
        } else if (a == "--mode") {
            const std::string_view v = args[++i];
            o.mode = v == "move" ? 0 : v == "rotate" ? 1 : v == "scale" ? 2 : -1;
            if (o.mode < 0) {
                return "--mode expects move, rotate or scale";
            }
        } else if (a == "--onion") {
            // As the view's setting: 0 the previous and next key, else frames each way.
            if (!ParseCount(args[++i], o.onion.frames) || o.onion.frames > kMaxOnionFrames) {
                return "--onion expects 0 (the previous and next key) or 1.." + std::to_string(kMaxOnionFrames) +
                       " (frames each way)";
            }
            o.onion.enabled = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + std::string(a);
        } else {
            o.files.emplace_back(a);
        }
    }
    if (o.files.empty() || o.output.empty()) {
        return "a file and -o OUT.png are needed";
    }
    // Any other name would get bytes of a format it does not name.
    o.video = VideoFormatOfPath(o.output);
    if (!o.video && !HasPngExtension(o.output)) {
        return "-o expects a name ending in .png, .mp4, .webm or .gif";
    }
    if (!o.video && o.fps > 0.0) {
        return "--fps is for a video (.mp4, .webm, .gif)";
    }
    // The onion skin helps judge poses while editing; a video shows the motion itself.
    if (o.video && o.onion.enabled) {
        return "--onion is for pictures (.png)";
    }
    if (o.video) {
        const std::string unsuitable = CheckVideoParameters(*o.video, o.width, o.height, o.fps > 0.0 ? o.fps : 30.0);
        if (!unsuitable.empty()) {
            return unsuitable;
        }
    }
    return {};
}

// OUT.png -> OUT_0012.png for frame 12 of a sequence.
std::string NumberedPath(const std::string& path, int frame)
{
    std::string digits = std::to_string(frame);
    if (digits.size() < 4) {
        digits.insert(0, 4 - digits.size(), '0');
    }
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension) {
        return path + "_" + digits;
    }
    return path.substr(0, dot) + "_" + digits + path.substr(dot);
}

} // namespace

int RunRender(const Args& args)
{
    RenderOptions o;
    const std::string usage = ParseOptions(args, o);
    if (!usage.empty()) {
        std::cerr << "vantomo-cli render: " << usage << '\n' << kUsage;
        return kExitUsage;
    }

    ResetAppValues();
    CTessaline scene;
    StderrSink messages;
    std::vector<OpenResult> outcomes;
    if (!OpenDocumentsInto(scene, o.files, messages, outcomes)) {
        return kExitFailure;
    }
    // What the open left in force, or the animation asked for from its first frame.
    const FrameValues opened = CurrentFrameValues();
    TimePoint time = opened.Time();
    int lastFrame = opened.lastFrame;
    if (o.animation >= 0) {
        if (o.animation >= opened.animationCount) {
            std::cerr << "vantomo-cli render: the scene has no animation " << o.animation << '\n';
            return kExitFailure;
        }
        time = TimePoint{o.animation, 0};
        lastFrame = scene.FrameCountOf(o.animation) - 1;
    }
    if (o.firstFrame >= 0 && o.lastFrame > lastFrame) {
        std::cerr << "vantomo-cli render: the animation has frames 0.." << lastFrame << '\n';
        return kExitFailure;
    }
    if (!o.select.empty()) {
        const int model = FindModel(scene, o.select);
        if (model < 0) {
            std::cerr << "vantomo-cli render: no model " << o.select << '\n';
            return kExitFailure;
        }
        // As the hierarchy view selects: the model, its character and its box.
        SelectModel(scene, model);
        BuildSelectionBox(scene.m_models[static_cast<std::size_t>(model)]);
    }
    if (o.mode >= 0) {
        scene.m_transformMode = o.mode;
    }
    InbetweenAll(scene);

    std::string error;
    const std::unique_ptr<SceneRenderer> renderer = SceneRenderer::Create(error);
    if (!renderer) {
        std::cerr << "vantomo-cli render: " << error << '\n';
        return kExitFailure;
    }
    if (o.video) {
        VideoSettings settings;
        settings.width = o.width;
        settings.height = o.height;
        settings.firstFrame = o.firstFrame >= 0 ? o.firstFrame : 0;
        settings.lastFrame = o.firstFrame >= 0 ? o.lastFrame : -1;
        settings.fps = o.fps;
        settings.animation = time.animation;
        settings.showSelection = !o.select.empty();
        TerminalProgress progress("encoding " + o.output);
        const OperationResult result = ExportVideo(scene, o.output, settings, *renderer, &progress);
        if (!result.ok) {
            TerminalProgress::ClearLine();
            std::cerr << "vantomo-cli render: " << result.detail << '\n';
            return kExitFailure;
        }
        return ReportIncompleteDocuments(o.files, outcomes) ? kExitFailure : kExitOk;
    }
    renderer->Upload(scene);
    const int first = o.firstFrame >= 0 ? o.firstFrame : time.frame;
    const int last = o.firstFrame >= 0 ? o.lastFrame : time.frame;
    for (int frame = first; frame <= last; ++frame) {
        const std::string path = o.sequence ? NumberedPath(o.output, frame) : o.output;
        error = renderer->Draw(scene, TimePoint{time.animation, frame}, o.width, o.height, path,
                               OnionGhosts(scene, time.animation, frame, o.onion));
        if (!error.empty()) {
            std::cerr << "vantomo-cli render: " << error << '\n';
            return kExitFailure;
        }
    }
    return ReportIncompleteDocuments(o.files, outcomes) ? kExitFailure : kExitOk;
}

} // namespace vantomo

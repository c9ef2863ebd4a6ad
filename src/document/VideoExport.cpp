#include "document/VideoExport.h"

#include <charconv>

#include "animation/Pose.h"
#include "base/PathHelpers.h"
#include "document/Document.h"
#include "document/Script.h"
#include "imaging/DibStream.h"
#include "scene/AppValues.h"
#include "video/VideoEncoder.h"

namespace vantomo {

namespace {

// The frame values and the selection the export moves, put
// back however it ends, with the in-betweening of the animation that is
// current again.
class FrameValuesKeeper {
public:
    explicit FrameValuesKeeper(CTessaline& scene)
        : m_scene(scene), m_animation(g_currentAnimation), m_frame(g_currentFrame), m_last(g_lastFrame),
          m_selectedModel(scene.m_selectedModel)
    {
    }
    ~FrameValuesKeeper()
    {
        const bool otherAnimation = g_currentAnimation != m_animation;
        g_currentAnimation = m_animation;
        g_currentFrame = m_frame;
        g_lastFrame = m_last;
        m_scene.m_selectedModel = m_selectedModel;
        if (otherAnimation) {
            InbetweenAll(m_scene);
        }
    }
    FrameValuesKeeper(const FrameValuesKeeper&) = delete;
    FrameValuesKeeper& operator=(const FrameValuesKeeper&) = delete;

private:
    CTessaline& m_scene;
    int m_animation;
    int m_frame;
    int m_last;
    int m_selectedModel;
};

class DrawingSession {
public:
    explicit DrawingSession(FrameDrawer& drawer) : m_drawer(drawer) {}
    ~DrawingSession() { m_drawer.EndFrames(); }
    DrawingSession(const DrawingSession&) = delete;
    DrawingSession& operator=(const DrawingSession&) = delete;

private:
    FrameDrawer& m_drawer;
};

OperationResult Failure(std::string detail)
{
    OperationResult result;
    result.message = kVideoExportFailedMessage;
    result.detail = std::move(detail);
    return result;
}

bool ParseFrameNumber(std::string_view text, int& out)
{
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc{} && stop == end;
}

} // namespace

std::string ApplyVideoOptions(std::span<const std::string_view> words, VideoSettings& settings)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view name = words[i];
        if (i + 1 >= words.size()) {
            return std::string(name) + " needs a value";
        }
        const std::string_view value = words[++i];
        if (name == "--size") {
            if (!ParseRenderSize(value, settings.width, settings.height)) {
                return "--size expects WxH, each 1.." + std::to_string(kMaxRenderSide);
            }
        } else if (name == "--frame") {
            if (!ParseFrameNumber(value, settings.firstFrame)) {
                return "--frame expects a frame number";
            }
            settings.lastFrame = settings.firstFrame;
        } else if (name == "--frames") {
            const std::size_t dots = value.find("..");
            int first = 0;
            int last = 0;
            if (dots == std::string_view::npos || !ParseFrameNumber(value.substr(0, dots), first) ||
                !ParseFrameNumber(value.substr(dots + 2), last) || last < first) {
                return "--frames expects A..B with A <= B";
            }
            settings.firstFrame = first;
            settings.lastFrame = last;
        } else if (name == "--animation") {
            if (!ParseFrameNumber(value, settings.animation)) {
                return "--animation expects an animation number";
            }
        } else if (name == "--fps") {
            double fps = 0.0;
            const char* end = value.data() + value.size();
            const auto [stop, error] = std::from_chars(value.data(), end, fps);
            if (error != std::errc{} || stop != end || !(fps >= kMinVideoRate && fps <= kMaxVideoRate)) {
                return "--fps expects a rate of 0.1 to 240 frames a second";
            }
            settings.fps = fps;
        } else {
            return "unknown option " + std::string(name);
        }
    }
    return {};
}

VideoDialog InitialVideoDialog(const CTessaline& scene)
{
    VideoDialog dialog;
    dialog.settings.animation = g_currentAnimation;
    dialog.settings.firstFrame = 0;
    dialog.settings.lastFrame = g_lastFrame;
    dialog.settings.fps = scene.m_fps;
    for (int i = 0; i < g_animationCount && static_cast<std::size_t>(i) < scene.m_animationNames.size(); ++i) {
        dialog.animationNames.push_back(scene.m_animationNames[static_cast<std::size_t>(i)]);
        dialog.frameCounts.push_back(scene.FrameCountOf(i));
    }
    return dialog;
}

OperationResult ExportVideo(CTessaline& scene, const std::string& path, const VideoSettings& settings,
                            FrameDrawer& drawer, Progress* progress)
{
    const std::optional<VideoFormat> format = VideoFormatOfPath(path);
    if (!format) {
        return Failure("a video's name ends in .mp4, .webm or .gif");
    }
    const int animation = settings.animation < 0 ? g_currentAnimation : settings.animation;
    if (animation < 0 || animation >= g_animationCount) {
        return Failure("the scene has no animation " + std::to_string(animation));
    }
    const int lastOfAnimation = scene.FrameCountOf(animation) - 1;
    const int first = settings.firstFrame;
    const int last = settings.lastFrame < 0 ? lastOfAnimation : settings.lastFrame;
    if (first < 0 || last < first || last > lastOfAnimation) {
        return Failure("the animation has frames 0.." + std::to_string(lastOfAnimation));
    }
    const double fps = settings.fps > 0.0 ? settings.fps : static_cast<double>(scene.m_fps);
    std::string error;
    const std::unique_ptr<VideoEncoder> encoder =
        VideoEncoder::Open(path, *format, settings.width, settings.height, fps, error);
    if (!encoder) {
        return Failure(error);
    }

    const FrameValuesKeeper keeper(scene);
    // As playback does: the frames between keys follow the keys as they stand.
    g_currentAnimation = animation;
    InbetweenAll(scene);
    g_lastFrame = lastOfAnimation;
    if (!settings.showSelection) {
        scene.m_selectedModel = kNoModel;
    }
    error = drawer.BeginFrames(scene);
    const DrawingSession session(drawer);
    if (!error.empty()) {
        return Failure(error);
    }
    const int frames = last - first + 1;
    std::uint64_t work = 0;
    for (int pass = 0; pass < encoder->Passes(); ++pass) {
        const int step = encoder->FrameStep(pass, frames);
        work += (static_cast<std::uint64_t>(frames) + static_cast<std::uint64_t>(step) - 1) / static_cast<std::uint64_t>(step);
    }
    WorkMeter meter(progress, work);
    DibStream image;
    for (int pass = 0; pass < encoder->Passes(); ++pass) {
        const int step = encoder->FrameStep(pass, frames);
        for (int frame = first; frame <= last; frame += step) {
            g_currentFrame = frame;
            error = drawer.DrawFrame(scene, TimePoint{animation, frame}, settings.width, settings.height, image);
            if (error.empty() &&
                (image.BitCount() != 24 || image.Width() != settings.width || image.AbsHeight() != settings.height)) {
                error = "the frame was drawn at another size";
            }
            if (!error.empty()) {
                return Failure(error);
            }
            const std::ptrdiff_t stride =
                settings.height > 1 ? image.RowAddress(1) - image.RowAddress(0) : static_cast<std::ptrdiff_t>(image.Stride());
            error = encoder->AddFrame(image.RowAddress(0), stride);
            if (!error.empty()) {
                return Failure(error);
            }
            meter.Advance(1);
            if (!meter.Poll()) {
                OperationResult stopped;
                stopped.cancelled = true;
                return stopped;
            }
        }
        error = encoder->EndPass();
        if (!error.empty()) {
            return Failure(error);
        }
    }
    meter.Finish();
    OperationResult done;
    done.ok = true;
    return done;
}

void CVantomoDoc::ExportVideoCommand()
{
    FrameDrawer* drawer = m_ui.VideoFrameDrawer();
    if (drawer == nullptr) {
        m_ui.ShowMessage(kVideoNoDrawingMessage);
        m_lastFailure = kVideoNoDrawingMessage;
        return;
    }
    FileDialogRequest request;
    request.save = true;
    request.filter = kVideoFilter;
    request.defaultExtension = "mp4";
    request.initialFolder = DialogFolder();
    request.overwritePrompt = true;
    const std::optional<std::string> path = m_ui.AskPath(request);
    if (!path) {
        return;
    }
    if (!VideoFormatOfPath(*path)) {
        m_ui.ShowMessage(kUnknownSaveFormatMessage);
        m_lastFailure = kUnknownSaveFormatMessage;
        return;
    }
    VideoDialog dialog = InitialVideoDialog(m_scene);
    if (!m_ui.RunVideoDialog(dialog)) {
        return;
    }
    OperationResult result;
    {
        const std::unique_ptr<Progress> progress = m_ui.BeginProgress(kExportingProgress, true);
        result = ExportVideo(m_scene, *path, dialog.settings, *drawer, progress.get());
    }
    // A stopped export left nothing behind; nothing to say.
    if (!result.ok && !result.cancelled) {
        m_ui.ShowMessage(result.message + "\n" + result.detail);
        m_lastFailure = result.Describe();
    }
}

} // namespace vantomo

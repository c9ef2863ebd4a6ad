// The animation as a video or an animated GIF: every frame of a range of one
// animation drawn as the 3D view draws it and streamed to the encoder of the
// path's format (.mp4, .webm, .gif).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"
#include "scene/CTessaline.h"
#include "scene/OperationResult.h"
#include "scene/TimePoint.h"

namespace vantomo {

class DibStream;

inline constexpr const char* kVideoExportTitle = "動画の書き出し";
inline constexpr const char* kVideoExportFailedMessage = "動画を書き出せませんでした。";
inline constexpr const char* kVideoNoDrawingMessage = "3D ビューが使えないため、動画を書き出せません。";
inline constexpr const char* kVideoFilter =
    "MP4 動画(*.mp4)|*.mp4|WebM 動画(*.webm)|*.webm|GIF アニメーション(*.gif)|*.gif|";

// Draws the scene as the 3D view shows it. The document layer draws nothing
// itself: the command-line tool draws with a headless context, the desktop
// program with its 3D view's.
class FrameDrawer {
public:
    virtual ~FrameDrawer() = default;
    // Before the first frame of an export: make ready to draw `scene` (its
    // models and textures as they stand). "" or the reason.
    virtual std::string BeginFrames(CTessaline& scene) = 0;
    // Draws `scene` posed at `time`, width x height pixels, into `image`
    // (made 24-bit at that size, or reused when it is), as a view of that
    // size of its own would: no view on screen changes. "" or the reason.
    virtual std::string DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height,
                                  DibStream& image) = 0;
    // After the last frame, or when the export gave up after BeginFrames.
    virtual void EndFrames() {}
};

struct VideoSettings {
    int width = 640;
    int height = 480;
    int animation = -1; // -1: the current animation
    int firstFrame = 0;
    int lastFrame = -1; // -1: the animation's last frame
    double fps = 0.0;   // 0: the scene's rate
    // The selected model's box and manipulator help editing; a video shows
    // the animation without them unless asked.
    bool showSelection = false;
};

// What the export dialog edits: the settings, shown with the animations to
// choose from (names CP932) and the frame count of each.
struct VideoDialog {
    VideoSettings settings;
    std::vector<std::string> animationNames;
    std::vector<int> frameCounts;
};

// Option words as `vantomo-cli render` takes them for a video: --size WxH,
// --frame N, --frames A..B, --animation N, --fps F (a decimal rate). "" when
// every word applied, else what is wrong.
std::string ApplyVideoOptions(std::span<const std::string_view> words, VideoSettings& settings);

// The settings of a fresh dialog on `scene`: the render size, the current
// animation whole, the scene's rate.
VideoDialog InitialVideoDialog(const CTessaline& scene);

// Draws frames first..last of the animation at the settings' size and rate
// into `path`, whose extension chooses the format; the document's frame
// values, selection and in-betweening are as they were afterwards. The
// frames drawn are counted to `progress` (a GIF's palette pass draws some of
// them before all are drawn for the file); when the user
// stops, the result is cancelled. A failed or stopped export leaves no file
// and any old file at `path` as it was. On failure the message is
// kVideoExportFailedMessage and the detail says why.
[[nodiscard]] OperationResult ExportVideo(CTessaline& scene, const std::string& path, const VideoSettings& settings,
                                          FrameDrawer& drawer, Progress* progress = nullptr);

} // namespace vantomo

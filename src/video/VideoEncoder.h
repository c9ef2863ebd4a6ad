// Pictures into a video file or an animated GIF, with FFmpeg's libraries:
// H.264 in MP4 (libx264), VP9 in WebM (libvpx-vp9), and GIF through one
// palette built from all the frames (palettegen, then paletteuse).
//
// Frames are streamed: the encoder keeps two converted pictures of its own
// (one filled while the other is encoded on the encoder's thread) besides
// what the codec holds back, never the whole animation. A GIF's
// palette must be known before the first frame is written, so a GIF takes
// the frames twice (Passes() == 2); the caller draws them again rather than
// keeping them. The palette's pass takes a spread of the frames, not all of
// them (FrameStep), since the frames of one animation share their colours
// and drawing every frame twice would double the drawing.
//
// The file is written under a temporary name beside the target and renamed
// over it only when the last pass ends well; an encoder dropped earlier (the
// user stopped, a frame failed) leaves no partial file and any old target as
// it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantomo {

enum class VideoFormat { Mp4, WebM, Gif };

// The format the path's extension names (.mp4, .webm, .gif in any letter
// case); none for any other name.
std::optional<VideoFormat> VideoFormatOfPath(std::string_view path);

// The lowest and highest rate a video is written at, in frames a second.
inline constexpr double kMinVideoRate = 0.1;
inline constexpr double kMaxVideoRate = 240.0;

// Why `format` cannot hold pictures of that size at that rate (H.264's 4:2:0
// pictures need an even width and height); "" when it can.
std::string CheckVideoParameters(VideoFormat format, int width, int height, double fps);

class VideoEncoder {
public:
    // Finds the format's encoder, sets it up and creates the temporary file.
    // Null with a one-line reason when the parameters do not suit the format,
    // the system's FFmpeg lacks the encoder, or the file cannot be created.
    [[nodiscard]] static std::unique_ptr<VideoEncoder> Open(const std::string& path, VideoFormat format, int width,
                                                            int height, double fps, std::string& error);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // How many times the caller gives the frames, in the same order.
    int Passes() const;

    // In pass `pass` of a range of `frames` frames the caller gives the
    // first frame and every FrameStep()-th after it. A GIF's palette pass
    // sees every frame of a clip of up to 16 frames, at least 16 frames of a
    // longer one, and every 4th frame of one of 64 or more; a colour seen
    // only between those frames is dithered from the palette's nearest.
    int FrameStep(int pass, int frames) const;

    // The next frame: width x height pixels of 3 bytes (blue, green, red);
    // `top` is the first row, `stride` the step in bytes from a row to the
    // one below (negative for pictures stored bottom-up). The picture is
    // converted before the call returns, so the caller may reuse it; it is
    // encoded on the encoder's thread meanwhile. "" or the reason, which may
    // concern the frame given before, as may EndPass's.
    [[nodiscard]] std::string AddFrame(const std::uint8_t* top, std::ptrdiff_t stride);

    // After the last frame of a pass. The last pass flushes the codec,
    // finishes the container and renames the file over the target.
    [[nodiscard]] std::string EndPass();

private:
    struct Parts;
    explicit VideoEncoder(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};

} // namespace vantomo

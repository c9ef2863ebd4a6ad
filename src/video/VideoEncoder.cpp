#include "video/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/FileIo.h"

namespace vantomo {

namespace {

constexpr int kIoBufferSize = 1 << 16;

struct FreeCodec {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FreeFrame {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct FreePacket {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FreeGraph {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct FreeScaler {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct FreeContainer {
    void operator()(AVFormatContext* f) const { avformat_free_context(f); }
};
struct FreeIo {
    void operator()(AVIOContext* io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The libraries write notes of their own (x264's settings and statistics) on
// stderr at their info level, where they would break the terminal's progress
// line; their errors come back to us as results, so only those are printed.
void QuietLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

int WriteToFile(void* opaque, std::uint8_t* data, int size)
{
    const FileResult result = static_cast<AtomicFile*>(opaque)->Write(data, static_cast<std::size_t>(size));
    return result.ok ? size : AVERROR(result.error);
}

std::int64_t SeekInFile(void* opaque, std::int64_t offset, int whence)
{
    // The size query is optional for a muxer; the write position is not.
    if ((whence & AVSEEK_SIZE) != 0) {
        return AVERROR(ENOSYS);
    }
    const std::int64_t position = static_cast<AtomicFile*>(opaque)->Seek(offset, whence & ~AVSEEK_FORCE);
    return position >= 0 ? position : AVERROR(EIO);
}

struct FormatTraits {
    const char* container;
    const char* encoder; // FFmpeg's name of the encoder
    const char* label;   // the codec as users know it
    AVPixelFormat codecPixels;
};

FormatTraits TraitsOf(VideoFormat format)
{
    switch (format) {
    case VideoFormat::Mp4:
        return {"mp4", "libx264", "H.264", AV_PIX_FMT_YUV420P};
    case VideoFormat::WebM:
        return {"webm", "libvpx-vp9", "VP9", AV_PIX_FMT_YUV420P};
    case VideoFormat::Gif:
        break;
    }
    return {"gif", "gif", "GIF", AV_PIX_FMT_PAL8};
}

// Codec settings: quality well above what a picture of flat shading needs
// (H.264 frames come back above 45 dB luma PSNR), at the encoders' fastest
// speeds, since a frame of a simple scene draws in a millisecond or two.
void SetCodecOptions(VideoFormat format, AVCodecContext& codec, AVDictionary*& options)
{
    if (format == VideoFormat::Mp4) {
        av_dict_set(&options, "preset", "ultrafast", 0);
        av_dict_set(&options, "crf", "18", 0);
    } else if (format == VideoFormat::WebM) {
        codec.bit_rate = 0; // constant quality
        av_dict_set(&options, "crf", "32", 0);
        av_dict_set(&options, "deadline", "realtime", 0);
        av_dict_set(&options, "cpu-used", "8", 0);
        // One thread: the encoder's worker already runs beside the drawing,
        // which keeps both cores busy; libvpx's own threads on top of it
        // only fought the drawing for them and cost more processor time for
        // no quicker export (measured on two cores).
        codec.thread_count = 1;
        // No look-ahead: a realtime encode gains nothing from it, and it
        // would hold frames back in the encoder's memory.
        av_dict_set(&options, "lag-in-frames", "0", 0);
    }
    if (format != VideoFormat::Gif) {
        // The pictures are converted with BT.601's matrix in limited range;
        // say so, so players convert them back the same way.
        codec.color_range = AVCOL_RANGE_MPEG;
        codec.colorspace = AVCOL_SPC_SMPTE170M;
        codec.color_primaries = AVCOL_PRI_SMPTE170M;
        codec.color_trc = AVCOL_TRC_SMPTE170M;
    }
}

} // namespace

std::optional<VideoFormat> VideoFormatOfPath(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot + 1));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (extension == "mp4") {
        return VideoFormat::Mp4;
    }
    if (extension == "webm") {
        return VideoFormat::WebM;
    }
    if (extension == "gif") {
        return VideoFormat::Gif;
    }
    return std::nullopt;
}

std::string CheckVideoParameters(VideoFormat format, int width, int height, double fps)
{
    if (width < 1 || height < 1) {
        return "a video needs a picture with area";
    }
    if (format == VideoFormat::Gif && (width > 65535 || height > 65535)) {
        return "a GIF is at most 65535 pixels wide and high";
    }
    if (format == VideoFormat::Mp4 && (width % 2 != 0 || height % 2 != 0)) {
        return "an H.264 video needs an even width and height, not " + std::to_string(width) + "x" +
               std::to_string(height);
    }
    if (!(fps >= kMinVideoRate && fps <= kMaxVideoRate)) {
        return "a video's rate must be 0.1 to 240 frames a second";
    }
    return {};
}

struct VideoEncoder::Parts {
    explicit Parts(const std::string& path) : file(path) {}
    ~Parts() { StopWorker(); }
    Parts(const Parts&) = delete;
    Parts& operator=(const Parts&) = delete;

    // Declared in the order they are made: the container goes before its
    // output, which goes before the file.
    AtomicFile file;
    std::unique_ptr<AVIOContext, FreeIo> io;
    std::unique_ptr<AVFormatContext, FreeContainer> container;
    AVStream* stream = nullptr;
    std::unique_ptr<AVCodecContext, FreeCodec> codec;
    std::unique_ptr<SwsContext, FreeScaler> scaler;
    // The frames converted for the codec or the filters, in turn: one is
    // filled while the worker encodes the other.
    std::unique_ptr<AVFrame, FreeFrame> pictures[2];
    int nextPicture = 0;
    std::unique_ptr<AVPacket, FreePacket> packet;

    // A GIF's filters: the palette is gathered in the first pass and used in the second.
    std::unique_ptr<AVFilterGraph, FreeGraph> graph;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    std::unique_ptr<AVFrame, FreeFrame> palette;
    std::unique_ptr<AVFrame, FreeFrame> filtered;

    VideoFormat format = VideoFormat::Mp4;
    int width = 0;
    int height = 0;
    AVRational rate{30, 1};
    int pass = 0;
    std::int64_t nextPts = 0;

    // The codec's (or the GIF filters') work on a frame runs on a thread of
    // its own, so the caller draws the next frame meanwhile: on two cores the
    // drawing and the encoding overlap instead of adding up. One frame at
    // most waits for it, which costs one converted picture more.
    std::thread worker;
    std::mutex mutex;
    std::condition_variable changed;
    AVFrame* queued = nullptr; // given to the worker, not yet taken
    bool busy = false;         // a frame is queued or being encoded
    bool quit = false;
    std::string workerError;   // the first failure of the worker

    std::string Encode(const AVFrame* frame);
    std::string BuildPaletteGraph(bool gather);
    std::string FilterFrame(AVFrame* frame);
    std::string Finish();

    void Work();
    void Give(AVFrame* frame);
    // Waits until the worker has encoded every frame given; its failure or "".
    std::string Drain();
    void StopWorker();
};

void VideoEncoder::Parts::Work()
{
    for (;;) {
        AVFrame* frame = nullptr;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return queued != nullptr || quit; });
            if (quit) {
                return;
            }
            frame = queued;
            queued = nullptr;
        }
        std::string error = format == VideoFormat::Gif ? FilterFrame(frame) : Encode(frame);
        {
            const std::lock_guard lock(mutex);
            if (workerError.empty()) {
                workerError = std::move(error);
            }
            busy = false;
        }
        changed.notify_all();
    }
}

void VideoEncoder::Parts::Give(AVFrame* frame)
{
    {
        const std::lock_guard lock(mutex);
        queued = frame;
        busy = true;
    }
    changed.notify_all();
}

std::string VideoEncoder::Parts::Drain()
{
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return !busy; });
    return workerError;
}

void VideoEncoder::Parts::StopWorker()
{
    if (!worker.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex);
        quit = true;
    }
    changed.notify_all();
    worker.join();
}

std::string VideoEncoder::Parts::Encode(const AVFrame* frame)
{
    int status = avcodec_send_frame(codec.get(), frame);
    if (status < 0) {
        return "cannot encode a frame: " + AvError(status);
    }
    for (;;) {
        status = avcodec_receive_packet(codec.get(), packet.get());
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) {
            return {};
        }
        if (status < 0) {
            return "cannot encode a frame: " + AvError(status);
        }
        av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        status = av_interleaved_write_frame(container.get(), packet.get());
        if (status < 0) {
            return "cannot write the video: " + AvError(status);
        }
    }
}

std::string VideoEncoder::Parts::BuildPaletteGraph(bool gather)
{
    graph.reset(avfilter_graph_alloc());
    if (!graph) {
        return "out of memory";
    }
    const std::string timeBase = std::to_string(rate.den) + "/" + std::to_string(rate.num);
    const std::string pixels = std::to_string(static_cast<int>(AV_PIX_FMT_BGRA));
    auto add = [&](const char* filter, const char* name, const std::string& args) -> AVFilterContext* {
        AVFilterContext* context = nullptr;
        const AVFilter* type = avfilter_get_by_name(filter);
        if (type == nullptr ||
            avfilter_graph_create_filter(&context, type, name, args.c_str(), nullptr, graph.get()) < 0) {
            return nullptr;
        }
        return context;
    };
    source = add("buffer", "in",
                 "video_size=" + std::to_string(width) + "x" + std::to_string(height) + ":pix_fmt=" + pixels +
                     ":time_base=" + timeBase + ":pixel_aspect=1/1");
    sink = add("buffersink", "out", "");
    if (source == nullptr || sink == nullptr) {
        return "this system's FFmpeg cannot build a GIF palette (no buffer filters)";
    }
    if (gather) {
        AVFilterContext* gen = add("palettegen", "palettegen", "stats_mode=full");
        if (gen == nullptr) {
            return "this system's FFmpeg has no palettegen filter for GIF";
        }
        if (avfilter_link(source, 0, gen, 0) < 0 || avfilter_link(gen, 0, sink, 0) < 0) {
            return "cannot link the GIF palette filters";
        }
    } else {
        AVFilterContext* paletteSource = add("buffer", "palette",
                                             "video_size=" + std::to_string(palette->width) + "x" +
                                                 std::to_string(palette->height) + ":pix_fmt=" + pixels +
                                                 ":time_base=" + timeBase + ":pixel_aspect=1/1");
        // An ordered dither keeps a still area identical from frame to frame,
        // which the GIF encoder then leaves out; error diffusion would not.
        AVFilterContext* use = add("paletteuse", "paletteuse", "dither=bayer:bayer_scale=3:diff_mode=rectangle");
        if (paletteSource == nullptr || use == nullptr) {
            return "this system's FFmpeg has no paletteuse filter for GIF";
        }
        if (avfilter_link(source, 0, use, 0) < 0 || avfilter_link(paletteSource, 0, use, 1) < 0 ||
            avfilter_link(use, 0, sink, 0) < 0) {
            return "cannot link the GIF palette filters";
        }
        if (avfilter_graph_config(graph.get(), nullptr) < 0) {
            return "cannot set up the GIF palette filters";
        }
        // The one palette serves every frame: it is given once, then its input ends.
        palette->pts = 0;
        if (av_buffersrc_add_frame_flags(paletteSource, palette.get(), AV_BUFFERSRC_FLAG_KEEP_REF) < 0 ||
            av_buffersrc_add_frame(paletteSource, nullptr) < 0) {
            return "cannot give the GIF palette to its filter";
        }
        return {};
    }
    if (avfilter_graph_config(graph.get(), nullptr) < 0) {
        return "cannot set up the GIF palette filters";
    }
    return {};
}

// Passes `frame` (null: the end) through the GIF filters and encodes what
// comes out of the second pass.
std::string VideoEncoder::Parts::FilterFrame(AVFrame* frame)
{
    // Pushed through at once: a frame merely queued would wait in the graph
    // until the end of the pass, and the palette's pass would hold them all.
    const int status = frame != nullptr
                           ? av_buffersrc_add_frame_flags(source, frame, AV_BUFFERSRC_FLAG_KEEP_REF | AV_BUFFERSRC_FLAG_PUSH)
                           : av_buffersrc_add_frame_flags(source, nullptr, AV_BUFFERSRC_FLAG_PUSH);
    if (status < 0) {
        return "cannot filter a frame for the GIF: " + AvError(status);
    }
    if (pass == 0) {
        return {}; // the palette comes out only at the end of the pass
    }
    for (;;) {
        const int got = av_buffersink_get_frame(sink, filtered.get());
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
            return {};
        }
        if (got < 0) {
            return "cannot filter a frame for the GIF: " + AvError(got);
        }
        std::string error = Encode(filtered.get());
        av_frame_unref(filtered.get());
        if (!error.empty()) {
            return error;
        }
    }
}

std::string VideoEncoder::Parts::Finish()
{
    std::string error = Encode(nullptr);
    if (!error.empty()) {
        return error;
    }
    int status = av_write_trailer(container.get());
    if (status < 0) {
        return "cannot finish the video file: " + AvError(status);
    }
    avio_flush(io.get());
    if (io->error < 0) {
        return "cannot write the video file: " + AvError(io->error);
    }
    const FileResult committed = file.Commit();
    if (!committed.ok) {
        return "cannot write the video file: " + AvError(AVERROR(committed.error));
    }
    return {};
}

VideoEncoder::VideoEncoder(std::unique_ptr<Parts> parts) : m_parts(std::move(parts)) {}

VideoEncoder::~VideoEncoder() = default;

int VideoEncoder::Passes() const { return m_parts->format == VideoFormat::Gif ? 2 : 1; }

int VideoEncoder::FrameStep(int pass, int frames) const
{
    if (m_parts->format != VideoFormat::Gif || pass != 0) {
        return 1;
    }
    constexpr int kLeastPaletteFrames = 16;
    constexpr int kWidestPaletteStep = 4;
    return std::clamp(frames / kLeastPaletteFrames, 1, kWidestPaletteStep);
}

std::unique_ptr<VideoEncoder> VideoEncoder::Open(const std::string& path, VideoFormat format, int width, int height,
                                                 double fps, std::string& error)
{
    error = CheckVideoParameters(format, width, height, fps);
    if (!error.empty()) {
        return nullptr;
    }
    QuietLibraries();
    const FormatTraits traits = TraitsOf(format);
    const AVCodec* encoder = format == VideoFormat::Gif ? avcodec_find_encoder(AV_CODEC_ID_GIF)
                                                        : avcodec_find_encoder_by_name(traits.encoder);
    if (encoder == nullptr) {
        error = std::string("this system's FFmpeg has no ") + traits.encoder + " encoder for " + traits.label;
        return nullptr;
    }

    auto parts = std::make_unique<Parts>(path);
    Parts& p = *parts;
    p.format = format;
    p.width = width;
    p.height = height;
    p.rate = av_d2q(fps, 100000);

    AVFormatContext* container = nullptr;
    if (avformat_alloc_output_context2(&container, nullptr, traits.container, nullptr) < 0 || container == nullptr) {
        error = std::string("this system's FFmpeg cannot write ") + traits.container + " files";
        return nullptr;
    }
    p.container.reset(container);

    p.codec.reset(avcodec_alloc_context3(encoder));
    p.pictures[0].reset(av_frame_alloc());
    p.pictures[1].reset(av_frame_alloc());
    p.filtered.reset(av_frame_alloc());
    p.packet.reset(av_packet_alloc());
    if (!p.codec || !p.pictures[0] || !p.pictures[1] || !p.filtered || !p.packet) {
        error = "out of memory";
        return nullptr;
    }
    AVCodecContext& codec = *p.codec;
    codec.width = width;
    codec.height = height;
    codec.pix_fmt = traits.codecPixels;
    codec.time_base = av_inv_q(p.rate);
    codec.framerate = p.rate;
    codec.sample_aspect_ratio = AVRational{1, 1};
    if ((container->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        codec.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    AVDictionary* options = nullptr;
    SetCodecOptions(format, codec, options);
    int status = avcodec_open2(&codec, encoder, &options);
    av_dict_free(&options);
    if (status < 0) {
        error = std::string("cannot start the ") + traits.encoder + " encoder: " + AvError(status);
        return nullptr;
    }

    p.stream = avformat_new_stream(container, nullptr);
    if (p.stream == nullptr || avcodec_parameters_from_context(p.stream->codecpar, &codec) < 0) {
        error = "out of memory";
        return nullptr;
    }
    p.stream->time_base = codec.time_base;
    p.stream->avg_frame_rate = p.rate;
    p.stream->r_frame_rate = p.rate;

    const FileResult opened = p.file.Open();
    if (!opened.ok) {
        error = "cannot create " + path + ": " + AvError(AVERROR(opened.error));
        return nullptr;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (buffer == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    AVIOContext* io = avio_alloc_context(buffer, kIoBufferSize, 1, &p.file, nullptr, WriteToFile, SeekInFile);
    if (io == nullptr) {
        av_free(buffer);
        error = "out of memory";
        return nullptr;
    }
    p.io.reset(io);
    container->pb = io;
    container->flags |= AVFMT_FLAG_CUSTOM_IO;

    AVDictionary* muxerOptions = nullptr;
    if (format == VideoFormat::Gif) {
        av_dict_set(&muxerOptions, "loop", "0", 0); // play forever
    }
    status = avformat_write_header(container, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (status < 0) {
        error = std::string("cannot start the ") + traits.container + " file: " + AvError(status);
        return nullptr;
    }

    const AVPixelFormat converted = format == VideoFormat::Gif ? AV_PIX_FMT_BGRA : traits.codecPixels;
    p.scaler.reset(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, converted,
                                  SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!p.scaler) {
        error = "out of memory";
        return nullptr;
    }
    for (auto& picture : p.pictures) {
        picture->format = converted;
        picture->width = width;
        picture->height = height;
        if (av_frame_get_buffer(picture.get(), 0) < 0) {
            error = "out of memory";
            return nullptr;
        }
    }
    if (format == VideoFormat::Gif) {
        error = p.BuildPaletteGraph(true);
        if (!error.empty()) {
            return nullptr;
        }
    }
    try {
        p.worker = std::thread([&p] { p.Work(); });
    } catch (const std::system_error&) {
        error = "cannot start the encoder's thread";
        return nullptr;
    }
    return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(parts)));
}

std::string VideoEncoder::AddFrame(const std::uint8_t* top, std::ptrdiff_t stride)
{
    Parts& p = *m_parts;
    if (stride > INT_MAX || stride < -INT_MAX) {
        return "a frame's rows are too long";
    }
    // The worker is done with this picture (it took the other one last);
    // the codec or the filters may still hold it, and then a fresh buffer is
    // taken.
    AVFrame* picture = p.pictures[p.nextPicture].get();
    if (av_frame_make_writable(picture) < 0) {
        return "out of memory";
    }
    const int lineSize = static_cast<int>(stride);
    sws_scale(p.scaler.get(), &top, &lineSize, 0, p.height, picture->data, picture->linesize);
    picture->pts = p.nextPts++;
    std::string error = p.Drain();
    if (!error.empty()) {
        return error;
    }
    p.Give(picture);
    p.nextPicture = 1 - p.nextPicture;
    return {};
}

std::string VideoEncoder::EndPass()
{
    Parts& p = *m_parts;
    // The rest of the pass's work is done here, with the worker idle.
    std::string drained = p.Drain();
    if (!drained.empty()) {
        return drained;
    }
    if (p.format == VideoFormat::Gif && p.pass == 0) {
        std::string error = p.FilterFrame(nullptr);
        if (!error.empty()) {
            return error;
        }
        p.palette.reset(av_frame_alloc());
        if (!p.palette || av_buffersink_get_frame(p.sink, p.palette.get()) < 0) {
            return "no GIF palette came out of the frames";
        }
        error = p.BuildPaletteGraph(false);
        if (!error.empty()) {
            return error;
        }
        p.pass = 1;
        p.nextPts = 0;
        return {};
    }
    if (p.format == VideoFormat::Gif) {
        std::string error = p.FilterFrame(nullptr);
        if (!error.empty()) {
            return error;
        }
    }
    return p.Finish();
}

} // namespace vantomo

// vantomo-cli render to a video: each file read back by FFmpeg's own tools.
#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "cli/CliRunner.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

[[maybe_unused]] const int kSurfaceless = setenv("EGL_PLATFORM", "surfaceless", 1) + setenv("LP_NUM_THREADS", "0", 1);

const std::string kWalker = std::string(VANTOMO_SOURCE_DIR) + "/samples/walker.vtm";

std::string Quote(const std::string& path) { return "'" + path + "'"; }

CliRun Render(const std::string& arguments) { return RunCliCapturing(arguments, "2>&1 >/dev/null"); }

// What a shell command writes on stdout and stderr together.
std::string Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), n);
    }
    pclose(pipe);
    return out;
}

bool HaveFfmpegTools() { return Shell("command -v ffprobe && command -v ffmpeg").find("ffmpeg") != std::string::npos; }

// "codec|width|height|rate|frames" of the first video stream, frames counted by decoding.
std::string Probe(const std::string& path)
{
    std::string line = Shell("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                             "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of csv=p=0:s='|' " +
                             Quote(path));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

// The luma the encoder makes of 0x00RRGGBB: BT.601 in limited range.
double Luma(std::uint32_t rgb)
{
    return 16.0 + (219.0 / 255.0) * (0.299 * ((rgb >> 16) & 255u) + 0.587 * ((rgb >> 8) & 255u) + 0.114 * (rgb & 255u));
}

// PSNR of a decoded luma plane (width x height bytes) against a picture.
double LumaPsnr(const unsigned char* plane, const DibStream& picture)
{
    double sum = 0.0;
    for (int y = 0; y < picture.AbsHeight(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const double d = plane[y * picture.Width() + x] - Luma(picture.GetPixel(x, y) & 0xFFFFFFu);
            sum += d * d;
        }
    }
    const double mse = sum / (static_cast<double>(picture.Width()) * picture.AbsHeight());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(CliVideo, EachFormatReadsBackWithItsCodecFrameCountRateAndSize)
{
    if (!HaveFfmpegTools()) {
        GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
    }
    TempFolder dir;
    struct Case {
        std::string name;
        std::string options;
        std::string expected;
    };
    // VP9 takes an odd size; the scene's rate is 30 unless --fps says otherwise.
    const Case cases[] = {{"walk.mp4", "--size 64x48 --frames 10..21 --fps 12", "h264|64|48|12/1|12"},
                          {"walk.webm", "--size 63x47 --frames 0..8", "vp9|63|47|30/1|9"},
                          {"walk.gif", "--size 40x30 --frames 5..14 --fps 25 --animation 0", "gif|40|30|25/1|10"}};
    for (const Case& c : cases) {
        const CliRun run = Render("render " + Quote(kWalker) + " -o " + Quote(dir.Path(c.name)) + " " + c.options);
        ASSERT_EQ(run.exitCode, 0) << c.name << ": " << run.output;
        EXPECT_EQ(Probe(dir.Path(c.name)), c.expected) << c.name;
        // Decoding the whole file raises no warning.
        EXPECT_EQ(Shell("ffmpeg -v warning -nostdin -i " + Quote(dir.Path(c.name)) + " -f null -"), "") << c.name;
    }
    // Nothing of the temporary files is left beside them.
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"walk.gif", "walk.mp4", "walk.webm"}));
    // The GIF loops forever: the NETSCAPE2.0 block with a repeat count of 0.
    const std::string gif = ReadAll(dir.Path("walk.gif"));
    const std::size_t loop = gif.find("NETSCAPE2.0");
    ASSERT_NE(loop, std::string::npos);
    EXPECT_EQ(gif.substr(loop + 11, 5), std::string("\x03\x01\x00\x00\x00", 5));
}

TEST(CliVideo, AScriptRendersAVideoOfItsSceneWithTheSameOptions)
{
    if (!HaveFfmpegTools()) {
        GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
    }
    TempFolder dir;
    std::ofstream(dir.Path("walk.txt")) << "open \"" << kWalker << "\"\n"
                                        << "render walk.gif --size 32x24 --frames 0..3 --fps 10\n"
                                        << "render odd.mp4 --size 31x24\n";
    const CliRun run = RunCliCapturing("script " + Quote(dir.Path("walk.txt")), "2>&1 >/dev/null");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(":3: render: an H.264 video needs an even width and height"), std::string::npos)
        << run.output;
    EXPECT_EQ(Probe(dir.Path("walk.gif")), "gif|32|24|10/1|4");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"walk.gif", "walk.txt"}));
}

TEST(CliVideo, EachFrameOfTheMp4IsThePictureOfItsFrameNotOfANeighbour)
{
    if (!HaveFfmpegTools()) {
        GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
    }
    TempFolder dir;
    const std::string size = " --size 320x240";
    const CliRun video = Render("render " + Quote(kWalker) + " -o " + Quote(dir.Path("walk.mp4")) + size + " --frames 20..27");
    ASSERT_EQ(video.exitCode, 0) << video.output;
    const CliRun pictures = Render("render " + Quote(kWalker) + " -o " + Quote(dir.Path("still.png")) + size + " --frames 20..27");
    ASSERT_EQ(pictures.exitCode, 0) << pictures.output;
    // The decoded pictures as they come out of the codec, before any conversion.
    ASSERT_EQ(Shell("ffmpeg -v error -nostdin -i " + Quote(dir.Path("walk.mp4")) + " -f rawvideo -pix_fmt yuv420p " +
                    Quote(dir.Path("walk.yuv"))),
              "");
    const std::string decoded = ReadAll(dir.Path("walk.yuv"));
    constexpr std::size_t kFrameBytes = 320 * 240 * 3 / 2;
    ASSERT_EQ(decoded.size(), 8 * kFrameBytes);
    std::vector<DibStream> stills(8);
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(LoadPNG(dir.Path("still_00" + std::to_string(20 + i) + ".png"), stills[static_cast<std::size_t>(i)]));
    }
    for (int i = 0; i < 8; ++i) {
        const auto* luma = reinterpret_cast<const unsigned char*>(decoded.data()) + static_cast<std::size_t>(i) * kFrameBytes;
        const double own = LumaPsnr(luma, stills[static_cast<std::size_t>(i)]);
        EXPECT_GE(own, 38.0) << "frame " << 20 + i;
        // Neither dropped nor doubled: the neighbours match worse.
        for (const int neighbour : {i - 1, i + 1}) {
            if (neighbour >= 0 && neighbour < 8) {
                EXPECT_GT(own, LumaPsnr(luma, stills[static_cast<std::size_t>(neighbour)]))
                    << "frame " << 20 + i << " against " << 20 + neighbour;
            }
        }
    }
}

TEST(CliVideo, RefusesWhatNoFormatCanHoldWithUsageAndWritesNothing)
{
    TempFolder dir;
    const std::string walker = "render " + Quote(kWalker);
    for (const std::string& args : {walker + " -o " + Quote(dir.Path("x.jpg")), walker + " -o " + Quote(dir.Path("x.mp4/")),
                                   walker + " -o " + Quote(dir.Path("x")),
                                   walker + " -o " + Quote(dir.Path("x.mp4")) + " --size 65x48",
                                   walker + " -o " + Quote(dir.Path("x.mp4")) + " --fps 0",
                                   walker + " -o " + Quote(dir.Path("x.gif")) + " --fps 1,5",
                                   walker + " -o " + Quote(dir.Path("x.png")) + " --fps 10"}) {
        const CliRun run = Render(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.output.find("usage: vantomo-cli render"), std::string::npos) << args;
        EXPECT_TRUE(!run.output.empty() && run.output.back() == '\n') << args;
    }
    EXPECT_NE(Render(walker + " -o " + Quote(dir.Path("x.mp4")) + " --size 65x48").output.find("even width and height"),
              std::string::npos);
    // A range beyond the animation fails once the scene is open.
    const CliRun beyond = Render(walker + " -o " + Quote(dir.Path("x.gif")) + " --frames 50..70");
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_NE(beyond.output.find("frames 0..60"), std::string::npos) << beyond.output;
    EXPECT_TRUE(dir.Entries().empty());
}

} // namespace vantomo

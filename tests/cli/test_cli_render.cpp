// vantomo-cli render and the script's render command: pictures without a display.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "cli/CliRunner.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

// The children never look for a display, and Mesa's software rasteriser
// draws on their main thread (no worker threads when the sanitizer build's
// leak checker stops them at exit).
[[maybe_unused]] const int kSurfaceless = setenv("EGL_PLATFORM", "surfaceless", 1) + setenv("LP_NUM_THREADS", "0", 1);

const std::string kRobot = std::string(VANTOMO_SOURCE_DIR) + "/samples/robot.mqo";

// stderr captured, stdout discarded; `environment` goes before the program.
CliRun Render(const std::string& arguments, const std::string& environment = "")
{
    return RunCliCapturing(arguments, "2>&1 >/dev/null", environment);
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

} // namespace

TEST(CliRender, WritesThePictureAtTheRequestedSize)
{
    TempFolder dir;
    const CliRun run = Render("render " + Quote(kRobot) + " -o " + Quote(dir.Path("robot.png")) +
                              " --size 200x100 --select body --mode scale --frame 10");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    DibStream image;
    ASSERT_TRUE(LoadPNG(dir.Path("robot.png"), image));
    EXPECT_EQ(image.Width(), 200);
    EXPECT_EQ(image.AbsHeight(), 100);
    EXPECT_EQ(image.GetPixel(0, 0) & 0xFFFFFFu, 0x1E415Au); // the background, top row first

    const CliRun byDefault = Render("render " + Quote(kRobot) + " -o " + Quote(dir.Path("default.png")));
    ASSERT_EQ(byDefault.exitCode, 0) << byDefault.output;
    ASSERT_TRUE(LoadPNG(dir.Path("default.png"), image));
    EXPECT_EQ(image.Width(), 640);
    EXPECT_EQ(image.AbsHeight(), 480);

    // A frame range gives one numbered picture per frame.
    const CliRun sequence =
        Render("render " + Quote(kRobot) + " -o " + Quote(dir.Path("walk.png")) + " --frames 8..10 --size 32x24");
    ASSERT_EQ(sequence.exitCode, 0) << sequence.output;
    for (const char* name : {"walk_0008.png", "walk_0009.png", "walk_0010.png"}) {
        EXPECT_TRUE(std::filesystem::exists(dir.Path(name))) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("walk.png")));
}

TEST(CliRender, RefusesBadArgumentsWithUsageAndBadScenesWithAReason)
{
    TempFolder dir;
    const std::string out = " -o " + Quote(dir.Path("x.png"));
    for (const std::string& args : {"render" + out, "render " + Quote(kRobot), "render " + Quote(kRobot) + out + " --size 0x10",
                                   "render " + Quote(kRobot) + out + " --size 64", "render " + Quote(kRobot) + out + " --size 64x-3",
                                   "render " + Quote(kRobot) + out + " --mode fly", "render " + Quote(kRobot) + out + " --frames 3..1",
                                   "render " + Quote(kRobot) + out + " --frame 1 --frames 1..2", "render " + Quote(kRobot) + out + " --bogus",
                                   "render " + Quote(kRobot) + out + " --onion 4", "render " + Quote(kRobot) + out + " --onion",
                                   "render " + Quote(kRobot) + " -o " + Quote(dir.Path("x.gif")) + " --onion 1"}) {
        const CliRun run = Render(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_NE(run.output.find("usage: vantomo-cli render"), std::string::npos) << args;
    }
    for (const auto& [args, reason] : {std::pair<std::string, std::string>{"render " + Quote(dir.Path("none.mqo")) + out, "none.mqo"},
                                      {"render " + Quote(kRobot) + out + " --select nobody", "no model nobody"},
                                      {"render " + Quote(kRobot) + out + " --animation 3", "no animation 3"},
                                      {"render " + Quote(kRobot) + out + " --frame 61", "frames 0..60"},
                                      {"render " + Quote(kRobot) + out + " --size 16384x16384", "larger than an image may be"}}) {
        const CliRun run = Render(args);
        EXPECT_EQ(run.exitCode, 1) << args;
        EXPECT_NE(run.output.find(reason), std::string::npos) << run.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("x.png")));
}

TEST(CliRender, OnionSkinGhostsAreDrawnAsTheScriptsSettingDrawsThem)
{
    TempFolder dir;
    const std::string walker = std::string(VANTOMO_SOURCE_DIR) + "/samples/walker.vtm";
    const std::string at = " --frame 20 --size 160x120";
    ASSERT_EQ(Render("render " + Quote(walker) + " -o " + Quote(dir.Path("plain.png")) + at).exitCode, 0);
    ASSERT_EQ(Render("render " + Quote(walker) + " -o " + Quote(dir.Path("onion.png")) + at + " --onion 0").exitCode, 0);
    std::ofstream(dir.Path("onion.txt")) << "open \"" << walker << "\"\nframe 20\nonion-skin\nrender script.png --size 160x120\n";
    ASSERT_EQ(RunCliCapturing("script " + Quote(dir.Path("onion.txt")), "2>&1 >/dev/null").exitCode, 0);
    DibStream plain, ghosts, scripted;
    ASSERT_TRUE(LoadPNG(dir.Path("plain.png"), plain) && LoadPNG(dir.Path("onion.png"), ghosts) &&
                LoadPNG(dir.Path("script.png"), scripted));
    int differing = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            differing += plain.GetPixel(x, y) != ghosts.GetPixel(x, y) ? 1 : 0;
            ASSERT_EQ(ghosts.GetPixel(x, y), scripted.GetPixel(x, y)) << x << ", " << y;
        }
    }
    EXPECT_GT(differing, 50);
}

TEST(CliRender, WithoutOpenGlSaysSoAndFails)
{
    TempFolder dir;
    // A Mesa that offers only OpenGL 3.0 cannot give the 3.3 core context.
    const CliRun run = Render("render " + Quote(kRobot) + " -o " + Quote(dir.Path("x.png")), "MESA_GL_VERSION_OVERRIDE=3.0");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("OpenGL 3.3"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("x.png")));
}

TEST(CliRender, ScriptDrawsItsSceneAsItStands)
{
    TempFolder dir;
    std::ofstream(dir.Path("pose.txt")) << "open \"" << kRobot << "\"\n"
                                        << "select-model body\nvalues 0 100 0\nadd-key\n"
                                        << "render posed.png --size 80x60\n"
                                        << "render bad.png --size 80\n";
    const CliRun run = RunCliCapturing("script " + Quote(dir.Path("pose.txt")), "2>&1 >/dev/null");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(":6: render: expected render PATH [--size WxH]"), std::string::npos) << run.output;
    DibStream image;
    ASSERT_TRUE(LoadPNG(dir.Path("posed.png"), image));
    EXPECT_EQ(image.Width(), 80);
    EXPECT_EQ(image.AbsHeight(), 60);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("bad.png")));
}

} // namespace vantomo

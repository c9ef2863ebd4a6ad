// The video export command: what is drawn, what is left on the disk when the
// user stops or a frame fails, and the frame values afterwards. Frames are
// flat colours drawn without OpenGL; the command-line tests read real videos
// back with FFmpeg's tools.
#include "Fixture.h"

#include <cstring>
#include <filesystem>

#include "document/Commands.h"
#include "document/VideoExport.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

std::string Mqo() { return std::string(VANTOMO_SOURCE_DIR) + "/samples/robot.mqo"; }

class FlatDrawer final : public FrameDrawer {
public:
    std::string BeginFrames(CTessaline&) override
    {
        ++begun;
        return {};
    }
    std::string DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height, DibStream& image) override
    {
        drawn.push_back(time.frame);
        selectionDrawn = selectionDrawn || scene.HasSelectedModel();
        if (time.frame == failAt) {
            return "the frame could not be drawn";
        }
        if (!image.CreateDIB(width, height, 24)) {
            return "no image";
        }
        for (int y = 0; y < height; ++y) {
            std::memset(image.RowAddress(y), (time.frame * 37) & 255, static_cast<std::size_t>(width) * 3);
        }
        return {};
    }
    void EndFrames() override { ++ended; }

    std::vector<int> drawn;
    int failAt = -1;
    bool selectionDrawn = false;
    int begun = 0;
    int ended = 0;
};

class VideoExportTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        ASSERT_TRUE(doc.AddModelFromPath(Mqo()).Complete());
        ui.frameDrawer = &drawer;
        ui.progressTitles.clear();
        g_currentFrame = 7;
    }

    // The command with its file dialog and video dialog answered.
    void Export(const std::string& name, const std::string& options)
    {
        ui.paths.push_back(folder.Path(name));
        DialogAnswer answer{DialogAnswer::Kind::Video, {}};
        std::string word;
        for (const char c : options + " ") {
            if (c == ' ') {
                if (!word.empty()) {
                    answer.texts.push_back(word);
                }
                word.clear();
            } else {
                word.push_back(c);
            }
        }
        ui.answers.push_back(answer);
        EXPECT_TRUE(doc.Execute(kCmdExportVideo));
    }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    FlatDrawer drawer;
    TempFolder folder;
};

} // namespace

TEST_F(VideoExportTest, DrawsTheRangeOncePerPassAndPutsTheFrameValuesBack)
{
    doc.SelectModelItem(1);
    doc.SetModifiedFlag(false);
    Export("walk.gif", "--size 32x24 --frames 2..5 --fps 10");
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    // A GIF's palette is built from every frame before the first is written.
    EXPECT_EQ(drawer.drawn, (std::vector<int>{2, 3, 4, 5, 2, 3, 4, 5}));
    EXPECT_EQ(drawer.begun, 1);
    EXPECT_EQ(drawer.ended, 1);
    EXPECT_EQ(ui.progressTitles, std::vector<std::string>{kExportingProgress});
    EXPECT_EQ(g_currentFrame, 7);
    EXPECT_FALSE(drawer.selectionDrawn) << "a video shows the animation without the editing aids";
    EXPECT_EQ(doc.Scene().m_selectedModel, 1);
    EXPECT_FALSE(doc.IsModified()) << "an export changes nothing of the document";
    const std::vector<unsigned char> gif = ReadBytes(folder.Path("walk.gif"));
    ASSERT_GE(gif.size(), 6u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");

    // The dialog starts from the current animation whole, at the scene's rate.
    const VideoDialog fresh = InitialVideoDialog(doc.Scene());
    EXPECT_EQ(fresh.settings.firstFrame, 0);
    EXPECT_EQ(fresh.settings.lastFrame, g_lastFrame);
    EXPECT_EQ(fresh.settings.fps, 30.0);
    EXPECT_EQ(fresh.frameCounts, std::vector<int>{61});

    // A longer GIF's palette is built from a spread of its frames, at least
    // 16 of them, before every frame is drawn for the file.
    drawer.drawn.clear();
    Export("long.gif", "--size 32x24 --frames 0..60");
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    std::vector<int> expected;
    for (int frame = 0; frame <= 60; frame += 3) {
        expected.push_back(frame);
    }
    for (int frame = 0; frame <= 60; ++frame) {
        expected.push_back(frame);
    }
    EXPECT_EQ(drawer.drawn, expected);
    std::filesystem::remove(folder.Path("long.gif"));

    // A video takes the frames once.
    drawer.drawn.clear();
    Export("walk.mp4", "--size 32x24 --frame 9");
    EXPECT_EQ(drawer.drawn, std::vector<int>{9});
    EXPECT_TRUE(std::filesystem::exists(folder.Path("walk.mp4")));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"walk.gif", "walk.mp4"}));
}

TEST_F(VideoExportTest, AStoppedOrFailedExportLeavesNoFileAndAnOldOneAsItWas)
{
    std::ofstream(folder.Path("old.webm")) << "old";
    ui.stopAfterReports = 2; // Cancel at the third frame
    Export("old.webm", "--size 32x24 --frames 0..9");
    Export("new.gif", "--size 32x24 --frames 0..9");
    EXPECT_TRUE(ui.messages.empty()) << "a stopped export has nothing to say";
    EXPECT_EQ(drawer.ended, 2);

    ui.stopAfterReports = -1;
    drawer.failAt = 4;
    Export("old.webm", "--size 32x24 --frames 0..9");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], std::string(kVideoExportFailedMessage) + "\nthe frame could not be drawn");
    EXPECT_NE(doc.LastFailure().find("the frame could not be drawn"), std::string::npos);
    EXPECT_EQ(drawer.ended, 3);
    EXPECT_EQ(g_currentFrame, 7);

    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.webm"});
    const std::vector<unsigned char> old = ReadBytes(folder.Path("old.webm"));
    EXPECT_EQ(std::string(old.begin(), old.end()), "old");
}

TEST_F(VideoExportTest, RefusesWhatCannotBeWrittenBeforeDrawing)
{
    Export("odd.mp4", "--size 33x24");
    Export("beyond.gif", "--frames 50..61");
    Export("missing.gif", "--animation 1");
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_NE(ui.messages[0].find("even width and height"), std::string::npos) << ui.messages[0];
    EXPECT_NE(ui.messages[1].find("frames 0..60"), std::string::npos) << ui.messages[1];
    EXPECT_NE(ui.messages[2].find("no animation 1"), std::string::npos) << ui.messages[2];

    // A name of another kind is refused before the dialog, as save as refuses it.
    ui.paths.push_back(folder.Path("walk.avi"));
    EXPECT_TRUE(doc.Execute(kCmdExportVideo));
    EXPECT_EQ(ui.messages.back(), kUnknownSaveFormatMessage);

    // Without anything that can draw, the command says so.
    ui.frameDrawer = nullptr;
    EXPECT_TRUE(doc.Execute(kCmdExportVideo));
    EXPECT_EQ(ui.messages.back(), kVideoNoDrawingMessage);
    EXPECT_TRUE(drawer.drawn.empty());
    EXPECT_TRUE(folder.Entries().empty());
}

} // namespace vantomo

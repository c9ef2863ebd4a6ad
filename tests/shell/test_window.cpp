// The whole window with a real OpenGL 3D view, under Xvfb.
#include "ShellFixture.h"

#include <QImage>
#include <QMouseEvent>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>

#include "TempFolder.h"
#include "document/Commands.h"
#include "document/VideoExport.h"
#include "imaging/DibStream.h"
#include "shell/VantomoView.h"

namespace vantomo {

namespace {

class WindowTest : public ShellTest {
protected:
    void SetUp() override
    {
        createGl = true;
        ShellTest::SetUp();
    }
    CVantomoView& View() { return *frame->GlView(); }
    // Lets the window draw until `frames` frames have been drawn (or 3 s pass).
    void DrawUntil(int frames)
    {
        for (int i = 0; i < 300 && View().FramesDrawn() < frames; ++i) {
            QTest::qWait(10);
        }
    }
};

TEST_F(WindowTest, TheSampleShowsLitAndTexturedInPanesLaidOutByTheRules)
{
    OpenSample();
    frame->setGeometry(0, 0, 1280, 1000);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    DrawUntil(1);
    ASSERT_TRUE(View().Failure().isEmpty()) << View().Failure().toStdString();
    ASSERT_GE(View().FramesDrawn(), 1);

    // The five panes.
    const int client = frame->height() - frame->menuBar()->height();
    EXPECT_EQ(frame->Pane(0)->height(), client / 2);
    EXPECT_EQ(frame->Pane(1)->height(), client / 5);
    EXPECT_EQ(frame->Pane(0)->width(), 200);
    EXPECT_EQ(frame->Pane(2)->geometry().bottom() + 1, frame->LeftSplitter()->height());
    EXPECT_EQ(View().height(), ThreeDRowHeight(client, frame->ToolBarHeight(), BarPlace::Top, BarPlace::Top));
    EXPECT_EQ(frame->ControlPanel()->y(), View().height() + 1) << "one pixel line between them";
    EXPECT_EQ(View().width(), frame->ControlPanel()->width());

    // The picture: the background with the character drawn over it.
    const QImage picture = View().grabFramebuffer();
    picture.save(QStringLiteral(VANTOMO_BINARY_DIR "/shell_window_view.png"));
    frame->grab().save(QStringLiteral(VANTOMO_BINARY_DIR "/shell_window.png"));
    const QColor background(30, 65, 90);
    int other = 0;
    int blueChecks = 0;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x = 0; x < picture.width(); x += 2) {
            const QColor c = picture.pixelColor(x, y);
            if (std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                    std::abs(c.blue() - background.blue()) > 60) {
                ++other;
            }
            if (c.blue() > 150 && c.red() < 90 && c.green() > 80 && c.green() < 150) {
                ++blueChecks; // the texture's blue squares, lit
            }
        }
    }
    EXPECT_GT(other, 500) << "the character and the grid are drawn";
    EXPECT_GT(blueChecks, 20) << "the body is textured";
}

TEST_F(WindowTest, TheViewDrawsAVideosFramesInItsContextAndThenItsOwnPictureAgain)
{
    OpenSample();
    frame->setGeometry(0, 0, 1280, 1000);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    DrawUntil(1);
    ASSERT_EQ(ui.VideoFrameDrawer(), &View());

    g_currentFrame = 5;
    const float viewWidth = doc->View().m_viewWidth;
    TempFolder dir;
    VideoSettings settings;
    settings.width = 64;
    settings.height = 48;
    settings.firstFrame = 10;
    settings.lastFrame = 13;
    const OperationResult result = ExportVideo(doc->Scene(), dir.Path("walk.webm"), settings, View());
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"walk.webm"});
    EXPECT_EQ(g_currentFrame, 5);
    EXPECT_EQ(doc->View().m_viewWidth, viewWidth);

    // A frame is the scene's picture: the character over the background.
    DibStream image;
    ASSERT_EQ(View().BeginFrames(doc->Scene()), "");
    ASSERT_EQ(View().DrawFrame(doc->Scene(), TimePoint{g_currentAnimation, g_currentFrame}, 64, 48, image), "");
    View().EndFrames();
    int drawnOver = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            drawnOver += (image.GetPixel(x, y) & 0xFFFFFFu) != 0x1E415Au ? 1 : 0;
        }
    }
    EXPECT_GT(drawnOver, 20);
    EXPECT_EQ(image.GetPixel(0, 0) & 0xFFFFFFu, 0x1E415Au);

    // The view draws its own picture, at its own size, again.
    const int before = View().FramesDrawn();
    View().update();
    DrawUntil(before + 1);
    EXPECT_GT(View().FramesDrawn(), before);
    EXPECT_EQ(View().grabFramebuffer().size(), View().size() * View().devicePixelRatioF());
}

TEST_F(WindowTest, TheSliderRepaintsTheViewAndPlaybackDrawsAtTheRate)
{
    OpenSample();
    frame->setGeometry(0, 0, 1280, 1000);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    DrawUntil(1);
    QTest::qWait(100);
    const int before = View().FramesDrawn();
    frame->ControlPanel()->Slider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    DrawUntil(before + 1);
    EXPECT_GT(View().FramesDrawn(), before);
    EXPECT_EQ(g_currentFrame, 1);

    // Idle: nothing invalidates the view, so it does not draw.
    QTest::qWait(200);
    const int idle = View().FramesDrawn();
    QTest::qWait(300);
    EXPECT_LE(View().FramesDrawn(), idle + 1) << "the view never draws in a loop";

    doc->Execute(kCmdPlay);
    const int start = View().FramesDrawn();
    QTest::qWait(2000);
    doc->Execute(kCmdStop);
    const int drawn = View().FramesDrawn() - start;
    EXPECT_GT(drawn, 10) << "playback draws (software GL on a shared machine may not keep up with 30)";
    EXPECT_LT(drawn, 75) << "never more than the ticks";
}

TEST_F(WindowTest, AClickSelectsTheModelUnderTheMouseAndCtrlPKeysIt)
{
    OpenSample();
    frame->setGeometry(0, 0, 1280, 1000);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    DrawUntil(1);
    ASSERT_EQ(doc->Scene().m_selectedModel, kNoModel);
    // The body sits in the middle of the view, a third of the way down.
    const QPoint body(View().width() / 2, View().height() / 3);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, body);
    ASSERT_NE(doc->Scene().m_selectedModel, kNoModel);
    EXPECT_EQ(doc->Scene().GetSelectedModel()->m_name, "body");
    EXPECT_EQ(doc->m_mouseMode, MouseMode::Animation) << "a pick switches to animation mode";

    doc->Execute(kCmdNextFrame);
    doc->Execute(kCmdNextFrame);
    ASSERT_EQ(g_currentFrame, 2);
    QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(doc->Scene().GetSelectedModel()->m_tracks[0][2].m_key, 1);
    EXPECT_TRUE(frame->ControlPanel()->Slider()->Ticks().size() >= 2);

    // Orbit with the right button: the camera turns.
    const CVector before = doc->Scene().GetCameraRecord().m_axis;
    QTest::mousePress(&View(), Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(140, 120), View().mapToGlobal(QPointF(140, 120)), Qt::NoButton,
                     Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&View(), &move);
    QTest::mouseRelease(&View(), Qt::RightButton, Qt::NoModifier, QPoint(140, 120));
    EXPECT_NE(doc->Scene().GetCameraRecord().m_axis.y, before.y);
}

// Run by the shell_window_hidpi test on a screen scaled by one and a half
// (QT_SCALE_FACTOR); skipped on an unscaled one.
TEST_F(WindowTest, OnAScaledScreenTheViewDrawsItsFramebufferAndPicksUnderTheMouse)
{
    OpenSample();
    frame->setGeometry(0, 0, 1000, 760);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    DrawUntil(1);
    const qreal ratio = View().devicePixelRatioF();
    if (ratio == 1.0) {
        GTEST_SKIP() << "the screen is not scaled";
    }
    const QSize fb = FramebufferSize(View().size(), ratio);
    EXPECT_EQ(View().Framebuffer(), fb);
    EXPECT_EQ(View().grabFramebuffer().size(), fb);
    EXPECT_EQ(doc->View().m_viewWidth, static_cast<float>(fb.width()));
    EXPECT_EQ(doc->View().m_viewHeight, static_cast<float>(fb.height()));

    // The body drawn a third of the way down is picked there.
    const QPoint body(View().width() / 2, View().height() / 3);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, body);
    ASSERT_NE(doc->Scene().m_selectedModel, kNoModel);
    EXPECT_EQ(doc->Scene().GetSelectedModel()->m_name, "body");
}

} // namespace

} // namespace vantomo

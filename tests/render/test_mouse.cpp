#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "RenderScene.h"
#include "document/ViewRequests.h"
#include "render/MouseHandling.h"
#include "scene/Archive.h"
#include "scene/ProjectFile.h"

namespace vantomo {

namespace {

// The plain loop camera angles were first wrapped with.
float LoopWrap(float v)
{
    while (v < -360.0f) {
        v += 360.0f;
    }
    while (v > 360.0f) {
        v -= 360.0f;
    }
    return v;
}

TEST(WrapCameraAngle, KeepsTheLoopsResultsAndEndsWhereTheLoopWouldNot)
{
    EXPECT_EQ(WrapCameraAngle(370.0f), 10.0f);
    EXPECT_EQ(WrapCameraAngle(360.0f), 360.0f);
    EXPECT_EQ(WrapCameraAngle(-360.0f), -360.0f);
    EXPECT_EQ(WrapCameraAngle(720.0f), 360.0f);
    EXPECT_EQ(WrapCameraAngle(-730.5f), -10.5f);
    EXPECT_EQ(WrapCameraAngle(1e10f), 280.0f); // the loop never ends here
    EXPECT_EQ(WrapCameraAngle(-1e10f), -280.0f);
    EXPECT_EQ(WrapCameraAngle(std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(WrapCameraAngle(-std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(WrapCameraAngle(std::numeric_limits<float>::quiet_NaN()), 0.0f);

    // From 2^27 up the loop's steps round; its results are kept bit for bit.
    for (int exponent = 26; exponent < 33; ++exponent) {
        const float base = std::ldexp(1.0f, exponent);
        const float ulp = std::ldexp(1.0f, exponent - 23);
        for (const float k : {0.0f, 1.0f, 3.0f, 777.0f, 8388607.0f}) {
            const float v = base + k * ulp;
            EXPECT_EQ(WrapCameraAngle(v), LoopWrap(v)) << v;
            EXPECT_EQ(WrapCameraAngle(-v), LoopWrap(-v)) << -v;
        }
    }
}

class MouseTest : public RenderTest {
protected:
    MouseInput At(int x, int y) const { return {x, y, kViewW, kViewH}; }

    // Press the given buttons at (0, 0) without picking anything, then move by (dx, dy).
    ViewRequests Drag(bool left, bool right, int dx, int dy, MouseMode mouseMode = MouseMode::Animation, bool control = false)
    {
        state = {};
        state.m_leftDown = left ? 1 : 0;
        state.m_rightDown = right ? 1 : 0;
        MouseInput input = At(dx, dy);
        input.control = control;
        return MouseMove(scene, view, Now(), state, input, mouseMode);
    }

    // A selected square at the origin with a move, rotate or scale handle grabbed.
    CAnimation& SelectWithHandle(int mode, int handle)
    {
        AddSquare(1, -1, {0, 0, 0});
        scene.m_selectedModel = 0;
        scene.m_transformMode = mode;
        view.m_grabbedHandle = handle;
        return scene.m_models[0].m_tracks[0][0];
    }

    ViewMouseState state;
};

TEST_F(MouseTest, BothButtonsAndTheWheelZoomDownToTheFloor)
{
    EXPECT_TRUE(Drag(true, true, 10, 0).invalidate);
    EXPECT_FLOAT_EQ(scene.GetCameraRecord().m_scale.x, 1.05f);
    EXPECT_FLOAT_EQ(scene.GetCameraRecord().m_scale.z, 1.05f);
    const ViewRequests far = Drag(true, true, -1000, 0);
    EXPECT_EQ(scene.GetCameraRecord().m_scale, CVector(0.01f, 0.01f, 0.01f));
    EXPECT_EQ(far.panel->vector, CVector(0, 0, -1500)); // the position is shown

    scene.GetCameraRecord().m_scale = {1, 1, 1};
    MouseInput notch = At(0, 0);
    notch.wheelDelta = 120;
    const ViewRequests wheel = MouseWheel(scene, Now(), notch);
    EXPECT_FLOAT_EQ(scene.GetCameraRecord().m_scale.y, 1.24f);
    EXPECT_EQ(wheel.panel->vector, scene.GetCameraRecord().m_scale);
    EXPECT_TRUE(wheel.invalidate);
    EXPECT_FALSE(wheel.modified);
}

TEST_F(MouseTest, OrbitTurnsOneDegreePerPixelReversedUpsideDownAndWraps)
{
    scene.GetCameraRecord().m_axis = {20, 10, 0};
    Drag(false, true, 10, 5);
    EXPECT_EQ(scene.GetCameraRecord().m_axis, CVector(25, 20, 0));
    scene.GetCameraRecord().m_axis = {100, 10, 0};
    const ViewRequests r = Drag(false, true, 10, 0, MouseMode::Camera, true);
    EXPECT_EQ(scene.GetCameraRecord().m_axis, CVector(100, 0, 0));
    EXPECT_EQ(r.panel->vector, CVector(100, 0, 0));
    EXPECT_EQ(state.m_dx, -10.0f);
    scene.GetCameraRecord().m_axis = {350, 0, 0};
    Drag(false, true, 0, 20);
    EXPECT_EQ(scene.GetCameraRecord().m_axis, CVector(10, 0, 0));
}

TEST_F(MouseTest, PanningTakesPrecedenceByTheTablesOrder)
{
    CAnimation& record = SelectWithHandle(0, 3);
    Drag(true, false, 3, 4, MouseMode::Animation, true); // Ctrl + left pans even in animation mode
    EXPECT_EQ(scene.GetCameraRecord().m_position, CVector(3, -4, -1500));
    state = {};
    MouseInput middle = At(3, 4);
    middle.middleButton = true;
    (void)MouseMove(scene, view, Now(), state, middle, MouseMode::Model);
    EXPECT_EQ(scene.GetCameraRecord().m_position, CVector(6, -8, -1500));
    Drag(true, false, 1, 1, MouseMode::Camera); // camera mode
    EXPECT_EQ(scene.GetCameraRecord().m_position, CVector(7, -9, -1500));
    EXPECT_EQ(record.m_position, CVector(0, 0, 0));

    // Model mode: a left drag changes nothing but counts as a change.
    const ViewRequests model = Drag(true, false, 5, 5, MouseMode::Model);
    EXPECT_TRUE(model.modified);
    EXPECT_FALSE(model.panel.has_value());
    EXPECT_EQ(record.m_position, CVector(0, 0, 0));

    // No button: only the point is remembered.
    const ViewRequests hover = Drag(false, false, 5, 5);
    EXPECT_FALSE(hover.invalidate);
    EXPECT_EQ(state.m_lastX, 5);
}

TEST_F(MouseTest, HandlesEditTheCurrentRecordOnly)
{
    CAnimation& record = SelectWithHandle(1, 0);
    Drag(true, false, 20, 0);
    EXPECT_EQ(record.m_axis, CVector(1, 1, 0));
    record.m_axis = {0, 1, 0};
    view.m_grabbedHandle = 1;
    const ViewRequests r = Drag(true, false, -20, 0);
    EXPECT_EQ(record.m_axis, CVector(0, 1, 0)); // (0, 0, 0) is never left
    EXPECT_EQ(r.panel->vector, CVector(0, 1, 0));
    EXPECT_TRUE(r.modified);
    EXPECT_EQ(record.m_key, 1);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][1].m_axis, CVector(0, 1, 0));

    view.m_grabbedHandle = 3; // the centre block turns the angle
    const ViewRequests turn = Drag(true, false, 4, -3);
    EXPECT_EQ(record.m_angle, 7.0f);
    EXPECT_EQ(turn.panel->angle, 7.0f);

    scene.m_transformMode = 0;
    view.m_grabbedHandle = 2; // z grows to the right and downwards
    Drag(true, false, 2, 3);
    EXPECT_EQ(record.m_position, CVector(0, 0, 5));
    scene.m_transformMode = 2;
    view.m_grabbedHandle = 3;
    Drag(true, false, -100, 0);
    EXPECT_EQ(record.m_scale, CVector(0.01f, 0.01f, 0.01f));
    view.m_grabbedHandle = -1; // a press that missed: the drag edits nothing
    Drag(true, false, 100, 0);
    EXPECT_EQ(record.m_scale, CVector(0.01f, 0.01f, 0.01f));
}

TEST_F(MouseTest, DisabledComponentsAreDropped)
{
    CAnimation& record = SelectWithHandle(0, 3);
    scene.m_enableY = 0;
    Drag(true, false, 5, 5);
    EXPECT_EQ(record.m_position, CVector(5, 0, 0));
    scene.m_transformMode = 1;
    scene.m_enableAngle = 0;
    Drag(true, false, 30, 0);
    EXPECT_EQ(record.m_angle, 0.0f);
    EXPECT_EQ(record.m_axis, CVector(0, 1, 0));
}

TEST_F(MouseTest, WithoutASelectionEditsReachTheCamera)
{
    view.m_grabbedHandle = 3;
    Drag(true, false, 2, 3);
    EXPECT_EQ(scene.GetCameraRecord().m_position, CVector(2, -3, -1500));
    scene.m_transformMode = 1;
    view.m_grabbedHandle = 0;
    scene.GetCameraRecord().m_axis = {355, 0, 0};
    const ViewRequests r = Drag(true, false, 200, 0);
    EXPECT_EQ(scene.GetCameraRecord().m_axis, CVector(365, 0, 0)); // not wrapped
    EXPECT_EQ(r.panel->angle, 0.0f);
    scene.m_transformMode = 2;
    const ViewRequests scale = Drag(true, false, 20, 0);
    EXPECT_EQ(scene.GetCameraRecord().m_scale, CVector(1, 1, 1));
    EXPECT_EQ(scale.panel->vector, CVector(0, 0, 0));
}

// Counts the hints the document sends.
struct HintLog final : DocumentView {
    std::vector<int> hints;
    void OnChange(const ChangeNotice& change) override { hints.push_back(change.Number()); }
};

TEST_F(MouseTest, APressThatPicksSelectsSwitchesToAnimationAndSnapshotsTwice)
{
    AddSquare(1, -1, {0, 0, 0});
    const ScreenPoint centre = ProjectModel(0);
    const MouseInput on = {static_cast<int>(centre.x), static_cast<int>(centre.y), kViewW, kViewH};
    HeadlessUserInterface ui;
    CVantomoDoc doc(ui);
    HintLog log;
    doc.AddView(&log);
    doc.Scene() = scene;
    CTessaline& s = doc.Scene();

    const ViewRequests press = LeftButtonDown(s, view, Now(), state, on);
    EXPECT_TRUE(press.captureMouse);
    ApplyViewRequests(doc, press);
    EXPECT_EQ(s.m_selectedModel, 0);
    EXPECT_EQ(doc.m_mouseMode, MouseMode::Animation);
    // The selection, then the snapshot's pose for the panel and Undo.
    EXPECT_EQ(log.hints, (std::vector<int>{114, 125}));
    EXPECT_FALSE(doc.History().CanUndo()); // a press alone changes nothing yet
    EXPECT_EQ(view.m_grabbedHandle, 3);

    // The right button joins: no capture again, a snapshot, no pick.
    const ViewRequests right = RightButtonDown(state, on);
    EXPECT_FALSE(right.captureMouse);
    ApplyViewRequests(doc, right);
    EXPECT_FALSE(doc.History().CanUndo());
    EXPECT_FALSE(LeftButtonUp(state).releaseCapture);
    const ViewRequests again = LeftButtonDown(s, view, Now(), state, on);
    EXPECT_EQ(again.hint, 0);
    EXPECT_TRUE(RightButtonUp(state).releaseCapture == false);
    EXPECT_TRUE(LeftButtonUp(state).releaseCapture);

    // A press on empty space in a view without area picks nothing.
    MouseInput none = on;
    none.viewWidth = 0;
    const ViewRequests miss = LeftButtonDown(s, view, Now(), state, none);
    EXPECT_FALSE(miss.mouseMode.has_value());
    EXPECT_EQ(view.m_grabbedHandle, -1);
    doc.RemoveView(&log);
}

TEST_F(MouseTest, TheCameraScaleNeverReachesZeroEvenFromAFile)
{
    scene.GetCameraRecord().m_scale = {0, -1, NAN};
    Archive ar;
    ASSERT_TRUE(StoreProject(scene, ar));
    LoadedProject loaded;
    ASSERT_TRUE(LoadProject(ar.Stored(), loaded));
    EXPECT_EQ(loaded.scene->GetCameraRecord().m_scale, CVector(0.01f, 0.01f, 0.01f));
}

} // namespace

} // namespace vantomo

#include <random>

#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "document/Navigation.h"
#include "animation/Pose.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace {

// The moment the frame values show.
TimePoint Now() { return {g_currentAnimation, g_currentFrame}; }

class PoseTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppValues(); }
};

const Track& T0(const CModel& m) { return m.m_tracks[0]; }

} // namespace

TEST_F(PoseTest, PositionIsInterpolatedLinearlyAndHeldAfterTheLastKey)
{
    CModel model = MakeAnimatedModel(6, -1, 20);
    Key(model, 10).m_position = CVector(10, 0, 0);
    Inbetween(model);
    EXPECT_EQ(T0(model)[3].m_position, CVector(3, 0, 0));
    EXPECT_EQ(T0(model)[7].m_position, CVector(7, 0, 0));
    for (int f = 11; f < 20; ++f) {
        EXPECT_EQ(T0(model)[static_cast<std::size_t>(f)].m_position, CVector(10, 0, 0)) << f;
        EXPECT_EQ(T0(model)[static_cast<std::size_t>(f)].m_key, 0);
    }
}

TEST_F(PoseTest, AxisIsInterpolatedAsAPlainVectorWithoutNormalising)
{
    CModel model = MakeAnimatedModel(6, -1, 5);
    CAnimation& k4 = Key(model, 4);
    k4.m_angle = 90.0f;
    k4.m_axis = CVector(1, 0, 0);
    Inbetween(model);
    EXPECT_EQ(T0(model)[2].m_angle, 45.0f);
    EXPECT_EQ(T0(model)[2].m_axis, CVector(0.5f, 0.5f, 0.0f));
}

TEST_F(PoseTest, ArithmeticIsSinglePrecisionInTheWrittenOrder)
{
    CModel model = MakeAnimatedModel(6, -1, 8);
    Key(model, 0).m_position = CVector(0.1f, -3.7f, 1e-3f);
    Key(model, 7).m_position = CVector(2.3f, 5.9f, 1e7f);
    Key(model, 7).m_angle = 33.3f;
    Inbetween(model);
    const CVector a(0.1f, -3.7f, 1e-3f);
    const CVector b(2.3f, 5.9f, 1e7f);
    for (int j = 1; j < 7; ++j) {
        const float n = static_cast<float>(7 - j);
        const float d = 7.0f;
        const CAnimation& r = T0(model)[static_cast<std::size_t>(j)];
        EXPECT_EQ(r.m_position.x, b.x - (b.x - a.x) * n / d);
        EXPECT_EQ(r.m_position.y, b.y - (b.y - a.y) * n / d);
        EXPECT_EQ(r.m_position.z, b.z - (b.z - a.z) * n / d);
        EXPECT_EQ(r.m_angle, 33.3f - n * (33.3f - 0.0f) / d);
    }
}

TEST_F(PoseTest, TrackWithOnlyRecordZeroBecomesItsCopyAndKeysAreUntouched)
{
    CModel model = MakeAnimatedModel(6, -1, 6);
    Track& track = model.m_tracks[0];
    track[0].m_position = CVector(1, 2, 3);
    track[0].m_key = 0; // record 0 counts as a key whatever its flag
    track[3].m_key = 2; // not a key
    track[3].m_position = CVector(9, 9, 9);
    Inbetween(model);
    for (std::size_t f = 1; f < 6; ++f) {
        EXPECT_EQ(T0(model)[f].m_position, CVector(1, 2, 3)) << f;
    }
    EXPECT_EQ(T0(model)[0].m_key, 0);
    EXPECT_EQ(T0(model)[3].m_key, 2);
}

TEST_F(PoseTest, AdjacentKeysLeaveNothingBetweenThem)
{
    CModel model = MakeAnimatedModel(6, -1, 8);
    Key(model, 5).m_position = CVector(5, 0, 0);
    Key(model, 6).m_position = CVector(-6, 0, 0);
    Inbetween(model);
    EXPECT_EQ(T0(model)[5].m_position, CVector(5, 0, 0));
    EXPECT_EQ(T0(model)[6].m_position, CVector(-6, 0, 0));
    EXPECT_EQ(T0(model)[7].m_position, CVector(-6, 0, 0));
    EXPECT_EQ(T0(model)[4].m_position, CVector(4, 0, 0));
}

TEST_F(PoseTest, AxisPassingThroughZeroDrawsUnrotated)
{
    CModel model = MakeAnimatedModel(6, -1, 3);
    model.m_tracks[0][0].m_axis = CVector(1, 0, 0);
    model.m_tracks[0][0].m_angle = 90.0f;
    Key(model, 2).m_axis = CVector(-1, 0, 0);
    Key(model, 2).m_angle = 90.0f;
    Inbetween(model);
    EXPECT_EQ(T0(model)[1].m_axis, CVector(0, 0, 0));
    const D3DXMATRIX m = BuildFrameMatrix(T0(model)[1], 1.0f);
    EXPECT_EQ(m, D3DXMatrixIdentity());
}

TEST_F(PoseTest, EditsOnNonKeyFramesAreLostAtTheNextNavigationButKeysKeepThem)
{
    CTessaline scene;
    scene.m_models.push_back(MakeAnimatedModel(6, -1, 61));
    scene.m_selectedModel = 0;
    Key(scene.m_models[0], 10).m_position = CVector(10, 0, 0);
    InbetweenAll(scene);

    g_currentFrame = 5;
    SetCurrentPosition(scene.m_models[0], Now(), 100, 0, 0);
    g_currentFrame = 10;
    SetCurrentPosition(scene.m_models[0], Now(), 20, 0, 0);
    NextFrame(scene);
    EXPECT_EQ(g_currentFrame, 11);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][5].m_position, CVector(10, 0, 0));
    EXPECT_EQ(scene.m_models[0].m_tracks[0][10].m_position, CVector(20, 0, 0));
    EXPECT_EQ(scene.m_models[0].m_tracks[0][30].m_position, CVector(20, 0, 0));
}

TEST_F(PoseTest, SkippingUnchangedTracksGivesTheSameRecordsAsBakingEverything)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> frame(0, 39);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    CTessaline scene;
    for (int m = 0; m < 4; ++m) {
        scene.m_models.push_back(MakeAnimatedModel(6 + m, -1, 40, 3));
    }
    for (int round = 0; round < 200; ++round) {
        CModel& model = scene.m_models[static_cast<std::size_t>(random() % 4)];
        Track& track = model.m_tracks[static_cast<std::size_t>(random() % 3)];
        CAnimation& record = track[static_cast<std::size_t>(frame(random))];
        switch (random() % 3) {
        case 0: record.m_key = 1 - record.m_key; break;
        case 1: record.m_position.x = value(random); break;
        default: record.m_angle = value(random); break;
        }
        InbetweenAll(scene);

        for (const CModel& m : scene.m_models) {
            for (const Track& t : m.m_tracks) {
                std::vector<CAnimation> reference = t.Records();
                InbetweenRecords(reference.data(), reference.size());
                ASSERT_EQ(reference, t.Records()) << "round " << round;
            }
        }
    }
}

TEST_F(PoseTest, ScaleClampsAndTheAxisNeverBecomesZero)
{
    CModel model = MakeAnimatedModel(6, -1, 2);
    EXPECT_EQ(AddCurrentScale(model, Now(), CVector(-5, 0, 0)), CVector(0.01f, 1, 1));
    EXPECT_EQ(AddCurrentAxis(model, Now(), CVector(0, -1, 0)), CVector(0, 1, 0));
    EXPECT_EQ(AddCurrentAxis(model, Now(), CVector(1, 0, 0)), CVector(1, 1, 0));
    SetCurrentRotation(model, Now(), 0, 0, 0, 30.0f);
    EXPECT_EQ(GetCurrentAxis(model, Now()), CVector(0, 1, 0));
    EXPECT_EQ(GetCurrentAngle(model, Now()), 30.0f);
    AddCurrentAngle(model, Now(), 15.0f);
    EXPECT_EQ(GetCurrentAngle(model, Now()), 45.0f);
    EXPECT_EQ(AddCurrentPosition(model, Now(), CVector(1, 2, 3)), CVector(1, 2, 3));
}

TEST_F(PoseTest, AccessOutsideTheTrackReadsRestAndWritesNothing)
{
    CModel model = MakeAnimatedModel(6, -1, 3);
    const std::vector<Track> before = model.m_tracks;
    for (const auto& [animation, frame] : {std::pair{0, 3}, std::pair{0, -1}, std::pair{1, 0}, std::pair{-1, 0}}) {
        g_currentAnimation = animation;
        g_currentFrame = frame;
        SetCurrentPosition(model, Now(), 1, 1, 1);
        SetCurrentRotation(model, Now(), 1, 0, 0, 5);
        SetCurrentScale(model, Now(), 2, 2, 2);
        EXPECT_EQ(AddCurrentPosition(model, Now(), CVector(1, 1, 1)), CVector(0, 0, 0));
        EXPECT_EQ(AddCurrentScale(model, Now(), CVector(1, 1, 1)), CVector(1, 1, 1));
        AddCurrentAngle(model, Now(), 3);
        EXPECT_EQ(GetCurrentRecord(model, Now()), CAnimation{});
    }
    EXPECT_EQ(model.m_tracks, before);
}

TEST_F(PoseTest, EditValuesComeFromTheCameraWhenNoModelIsSelected)
{
    CTessaline scene;
    EXPECT_EQ(GetEditPosition(scene, Now()), CVector(0, 0, -1500));
    EXPECT_EQ(GetEditAxis(scene, Now()), CVector(20, 10, 0));
    EXPECT_EQ(GetEditScale(scene, Now()), CVector(1, 1, 1));
    EXPECT_EQ(GetEditAngle(scene, Now()), 0.0f);
    scene.m_models.push_back(MakeAnimatedModel(6, -1, 61));
    scene.m_models[0].m_tracks[0][0].m_angle = 12.0f;
    scene.m_selectedModel = 0;
    EXPECT_EQ(GetEditAngle(scene, Now()), 12.0f);
    EXPECT_EQ(GetEditPosition(scene, Now()), CVector(0, 0, 0));
}

TEST_F(PoseTest, FrameMatrixScalesThenRotatesThenMoves)
{
    CAnimation r;
    r.m_scale = CVector(2, 1, 1);
    r.m_axis = CVector(0, 0, 3); // not unit length
    r.m_angle = 90.0f;
    r.m_position = CVector(5, 0, 0);
    const D3DXVECTOR3 p = D3DXVec3TransformCoord({1, 0, 0}, BuildFrameMatrix(r, 1.0f));
    EXPECT_NEAR(p.x, 5.0f, 1e-5f);
    EXPECT_NEAR(p.y, 2.0f, 1e-5f);
    const D3DXVECTOR3 q = D3DXVec3TransformCoord({1, 0, 0}, BuildMotionMatrix(r, 2.0f));
    EXPECT_NEAR(q.x, 10.0f, 1e-5f);
    EXPECT_NEAR(q.y, 1.0f, 1e-5f);
}

namespace {

// A three-level chain root <- mid <- tip in character 0 with its traversal.
CTessaline ThreeLevelChain()
{
    CTessaline scene;
    scene.m_models.push_back(MakeAnimatedModel(6, -1, 1));
    scene.m_models.push_back(MakeAnimatedModel(7, 0, 1));
    scene.m_models.push_back(MakeAnimatedModel(8, 1, 1));
    scene.m_models[0].m_pivot = CVector(0, 0, 0);
    scene.m_models[1].m_pivot = CVector(10, 0, 0);
    scene.m_models[2].m_pivot = CVector(20, 0, 0);
    // root turns 90 degrees about z, mid moves up by 5, tip doubles its size.
    CAnimation& root = scene.m_models[0].m_tracks[0][0];
    root.m_axis = CVector(0, 0, 1);
    root.m_angle = 90.0f;
    scene.m_models[1].m_tracks[0][0].m_position = CVector(0, 5, 0);
    scene.m_models[2].m_tracks[0][0].m_scale = CVector(2, 2, 2);
    scene.m_traversal = {{kBeginCharacter, 0}, {kEnterModel, 0}, {kEnterModel, 1}, {kEnterModel, 2},
                         {kLeaveModel, 2},     {kLeaveModel, 1}, {kLeaveModel, 0}, {kEndCharacter, 2}};
    return scene;
}

} // namespace

TEST_F(PoseTest, WorldMatrixOfAThreeLevelChainMatchesAHandComputation)
{
    const CTessaline scene = ThreeLevelChain();
    const std::vector<D3DXMATRIX> worlds = ComposeWorldMatrices(scene, 0, 0);
    ASSERT_EQ(worlds.size(), 3u);
    // The tip's vertex buffer holds positions relative to its pivot (20, 0, 0).
    // A vertex at (21, 0, 0): doubled about the tip's pivot -> (22, 0, 0); mid moves
    // it up -> (22, 5, 0); the root turns it 90 degrees about z at the origin -> (-5, 22, 0).
    const D3DXVECTOR3 tip = D3DXVec3TransformCoord({1, 0, 0}, worlds[2]);
    EXPECT_NEAR(tip.x, -5.0f, 1e-4f);
    EXPECT_NEAR(tip.y, 22.0f, 1e-4f);
    EXPECT_NEAR(tip.z, 0.0f, 1e-4f);
    // The mid model's vertex at its pivot (10, 0, 0) -> (10, 5, 0) -> (-5, 10, 0).
    const D3DXVECTOR3 mid = D3DXVec3TransformCoord({0, 0, 0}, worlds[1]);
    EXPECT_NEAR(mid.x, -5.0f, 1e-4f);
    EXPECT_NEAR(mid.y, 10.0f, 1e-4f);
    // The same products along the parent chain give the same bits.
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(ComposeWorldMatrix(scene, m, 0, 0), worlds[static_cast<std::size_t>(m)]) << m;
    }
}

TEST_F(PoseTest, ModelsAtRestAreDrawnWhereTheyWereImported)
{
    CTessaline scene = ThreeLevelChain();
    for (CModel& model : scene.m_models) {
        model.m_tracks[0][0] = CAnimation{};
    }
    const std::vector<D3DXMATRIX> worlds = ComposeWorldMatrices(scene, 0, 0);
    for (std::size_t m = 0; m < 3; ++m) {
        const CVector& p = scene.m_models[m].m_pivot;
        const D3DXVECTOR3 placed = D3DXVec3TransformCoord({1, 2, 3}, worlds[m]);
        EXPECT_FLOAT_EQ(placed.x, p.x + 1);
        EXPECT_FLOAT_EQ(placed.y, p.y + 2);
        EXPECT_FLOAT_EQ(placed.z, p.z + 3);
    }
}

TEST_F(PoseTest, CompositionUsesRestForFramesOutsideATrackAndIgnoresBadEntries)
{
    CTessaline scene = ThreeLevelChain();
    scene.m_traversal.push_back({kEnterModel, 99});
    scene.m_traversal.push_back({kLeaveModel, -3});
    const std::vector<D3DXMATRIX> worlds = ComposeWorldMatrices(scene, 0, 50);
    EXPECT_EQ(worlds[0], D3DXMatrixIdentity());
    const D3DXVECTOR3 tip = D3DXVec3TransformCoord({0, 0, 0}, worlds[2]);
    EXPECT_FLOAT_EQ(tip.x, 20.0f);
}

} // namespace vantomo

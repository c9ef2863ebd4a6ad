// The cost of one left press on a model of a million triangles.
//
// Scene: one model, a flat grid of 1000 x 500 cells facing the camera, each
// cell one quad or two triangles (a million triangles), seen from the front in a
// 1000 x 800 view. Picking stops at the first face hit in face order, so the
// worst press is one on the last face or on nothing: every face is tested.
// BM_PickLastFace presses on the last face, BM_PickNothing beside the grid.
// Goal: at most 30 ms per press.
#include <memory>

#include <benchmark/benchmark.h>

#include "animation/Pose.h"
#include "render/Camera.h"
#include "render/Picking.h"
#include "scene/AppValues.h"

using namespace vantomo;


namespace {

constexpr float kViewW = 1000.0f;
constexpr float kViewH = 800.0f;
constexpr float kExtent = 500.0f; // the grid spans -500..500 in x and y

// A grid of 1000 x 500 cells of 1 x 2 units, each one quad or two triangles:
// a million triangles either way.
constexpr int kCellsX = 1000;
constexpr int kCellsY = 500;
constexpr float kStepX = 2.0f * kExtent / kCellsX;
constexpr float kStepY = 2.0f * kExtent / kCellsY;

// The view the presses land in.
ViewState BenchView()
{
    ViewState view;
    view.m_viewWidth = kViewW;
    view.m_viewHeight = kViewH;
    return view;
}

std::unique_ptr<CTessaline> MakeScene(bool quads)
{
    auto scene = std::make_unique<CTessaline>();
    scene->GetCameraRecord().m_axis = {0, 0, 0};
    scene->GetCameraRecord().m_position = {0, 0, -6000};
    CModel model;
    model.m_id = 6;
    model.m_parent = -1;
    model.m_tracks.emplace_back(1);
    model.m_tracks[0][0].m_key = 1;
    const int row = kCellsX + 1;
    model.m_vertices.resize(static_cast<std::size_t>(row) * (kCellsY + 1));
    for (int y = 0; y <= kCellsY; ++y) {
        for (int x = 0; x <= kCellsX; ++x) {
            model.m_vertices[static_cast<std::size_t>(y * row + x)].m_position = {
                -kExtent + kStepX * static_cast<float>(x), -kExtent + kStepY * static_cast<float>(y), 0.0f};
        }
    }
    model.m_faces.reserve(quads ? kCellsX * kCellsY : 2 * kCellsX * kCellsY);
    for (int y = 0; y < kCellsY; ++y) {
        for (int x = 0; x < kCellsX; ++x) {
            const int a = y * row + x;
            CFace face;
            if (quads) {
                face.m_indices = {a, a + 1, a + row + 1, a + row};
                model.m_faces.push_back(face);
            } else {
                face.m_indices = {a, a + 1, a + row + 1};
                model.m_faces.push_back(face);
                face.m_indices = {a, a + row + 1, a + row};
                model.m_faces.push_back(face);
            }
        }
    }
    model.UpdateBounds();
    scene->m_models.push_back(std::move(model));
    scene->RefreshDerived();
    scene->BuildTraversal();
    return scene;
}

// Where a local point of the model appears in the view.
ScreenPoint Project(const CTessaline& scene, const D3DXVECTOR3& local)
{
    const D3DXMATRIX wvp = D3DXMatrixMultiply(
        D3DXMatrixMultiply(ComposeWorldMatrix(scene, 0, 0, 0), ViewMatrix(scene)), ProjectionMatrix(scene, BenchView()));
    const D3DXVECTOR3 ndc = D3DXVec3TransformCoord(local, wvp);
    return {(ndc.x + 1.0f) * 0.5f * kViewW, (1.0f - ndc.y) * 0.5f * kViewH, kViewW, kViewH};
}

void RunPick(benchmark::State& state, bool quads, bool onLastFace)
{
    ResetAppValues();
    const std::unique_ptr<CTessaline> scene = MakeScene(quads);
    CTessaline& s = *scene;
    const CModel& model = s.m_models[0];
    // Inside the last cell, above its diagonal: the last face either way.
    const D3DXVECTOR3 target = onLastFace ? D3DXVECTOR3{kExtent - 0.75f * kStepX, kExtent - 0.25f * kStepY, 0.0f}
                                          : D3DXVECTOR3{kExtent + 50.0f, 0.0f, 0.0f};
    const ScreenPoint point = Project(s, target);
    const D3DXMATRIX world = ComposeWorldMatrix(s, 0, 0, 0);
    const auto ray = PickRay(point, ProjectionMatrix(s, BenchView()), ViewMatrix(s), world);
    const int expected = onLastFace ? static_cast<int>(model.m_faces.size()) - 1 : -1;
    if (!ray || HitFace(model, *ray) != expected) {
        state.SkipWithError("the press does not land where it should");
        return;
    }
    ViewState view = BenchView();
    for (auto _ : state) {
        s.m_selectedModel = kNoModel;
        const PickResult pick = PickAt(s, view, TimePoint{}, point);
        benchmark::DoNotOptimize(pick);
    }
    state.counters["faces"] = static_cast<double>(model.m_faces.size());
}

void BM_PickLastFaceQuads(benchmark::State& state) { RunPick(state, true, true); }
void BM_PickNothingQuads(benchmark::State& state) { RunPick(state, true, false); }
void BM_PickLastFaceTriangles(benchmark::State& state) { RunPick(state, false, true); }
void BM_PickNothingTriangles(benchmark::State& state) { RunPick(state, false, false); }

BENCHMARK(BM_PickLastFaceQuads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickNothingQuads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickLastFaceTriangles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickNothingTriangles)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

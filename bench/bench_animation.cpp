// In-betweening throughput and the cost of a frame step on a large scene.
//
// Scene: 100 models x 10 tracks x 10,000 frames, keys every 10 frames.
// BM_Inbetween bakes every record; BM_MemcpySameBytes copies the same number
// of bytes, the yardstick the baking is measured against; BM_NextFrame is one
// navigation step when no key changed since the last step.
#include <cstring>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "document/Navigation.h"
#include "animation/Pose.h"
#include "scene/AppValues.h"

using namespace vantomo;


namespace {

constexpr int kModels = 100;
constexpr int kTracks = 10;
constexpr int kFrames = 10000;
constexpr int kKeyEvery = 10;

std::unique_ptr<CTessaline> MakeScene()
{
    auto scene = std::make_unique<CTessaline>();
    for (int m = 0; m < kModels; ++m) {
        CModel model;
        model.m_id = 6 + m;
        model.m_parent = -1;
        for (int t = 0; t < kTracks; ++t) {
            Track track(kFrames);
            for (int f = 0; f < kFrames; f += kKeyEvery) {
                CAnimation& key = track[static_cast<std::size_t>(f)];
                key.m_key = 1;
                key.m_position = CVector(static_cast<float>(f), static_cast<float>(m), static_cast<float>(t));
                key.m_angle = static_cast<float>(f % 360);
                key.m_axis = CVector(1.0f, static_cast<float>(f % 7), 0.5f);
            }
            model.m_tracks.push_back(std::move(track));
        }
        scene->m_models.push_back(std::move(model));
    }
    return scene;
}

constexpr std::size_t kRecords = static_cast<std::size_t>(kModels) * kTracks * kFrames;

void BM_Inbetween(benchmark::State& state)
{
    auto scene = MakeScene();
    for (auto _ : state) {
        for (CModel& model : scene->m_models) {
            for (Track& track : model.m_tracks) {
                InbetweenRecords(track.data(), track.size());
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRecords * sizeof(CAnimation)));
}
BENCHMARK(BM_Inbetween)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_MemcpySameBytes(benchmark::State& state)
{
    const std::size_t bytes = kRecords * sizeof(CAnimation);
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kRecords));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MemcpySameBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_NextFrame(benchmark::State& state)
{
    ResetAppValues();
    g_lastFrame = kFrames - 1;
    auto scene = MakeScene();
    InbetweenAll(*scene);
    for (auto _ : state) {
        NextFrame(*scene);
        benchmark::DoNotOptimize(g_currentFrame);
    }
}
BENCHMARK(BM_NextFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

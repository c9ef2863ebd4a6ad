// Deleting a huge model and undoing the delete, and what a pose step costs.
//
// Document: one imported model of 1,000,000 faces (quads, with triangles to
// make up the count; 502,000 vertices, one track of 61 frames) and three
// small models, all in one character.
//   BM_DeleteModel1M: CVantomoDoc::DeleteModel of the big model (each undo
//   that puts it back runs with the clock paused).
//   BM_UndoDelete1M: CVantomoDoc::Undo of that delete (the delete paused).
//   BM_DeleteUndoMemory1M: the heap while the model goes and comes back, set
//   against the model's own memory: the mesh moves into the history and back,
//   so the peak should stay close to what the model alone holds.
//   BM_PoseStep: a typed pose of the big model (ApplyValueFields) and its
//   undo; the bytes the step holds in the history, and how much the history
//   still counts for the redo steps new poses dropped (should be 0).
//
// Heap in use is read two ways: mallinfo2() (blocks in use plus mmapped
// blocks, which is where vectors of this size live) at fixed points, and a
// count kept by the replaced global operator new / delete, which also sees
// the peak between those points.
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "MqoGenerator.h"
#include "document/Document.h"
#include "scene/AppValues.h"

namespace {

std::atomic<std::size_t> g_liveBytes{0};
std::atomic<std::size_t> g_peakBytes{0};

void* Allocate(std::size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t live = g_liveBytes.fetch_add(malloc_usable_size(p), std::memory_order_relaxed) +
                             malloc_usable_size(p);
    std::size_t peak = g_peakBytes.load(std::memory_order_relaxed);
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
    return p;
}

void Release(void* p) noexcept
{
    if (p != nullptr) {
        g_liveBytes.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
        std::free(p);
    }
}

// Start watching for a new peak from the heap in use now.
void ResetPeak() { g_peakBytes.store(g_liveBytes.load(std::memory_order_relaxed), std::memory_order_relaxed); }

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

using namespace vantomo;

namespace {

constexpr int kBigFaces = 1000000;

// Heap bytes in use as malloc counts them: small blocks plus mmapped ones.
double MallocInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

double LiveBytes() { return static_cast<double>(g_liveBytes.load(std::memory_order_relaxed)); }
double PeakBytes() { return static_cast<double>(g_peakBytes.load(std::memory_order_relaxed)); }

// What the model holds, counted the way the history counts a step's meshes
// and models: capacities, the per-vertex face lists, the tracks.
double ModelBytes(const CModel& model)
{
    std::size_t bytes = sizeof(CModel) + model.m_name.capacity() + model.m_parentName.capacity();
    bytes += model.m_tracks.capacity() * sizeof(Track);
    for (const Track& track : model.m_tracks) {
        bytes += track.Records().capacity() * sizeof(CAnimation);
    }
    bytes += model.m_vertices.capacity() * sizeof(CVertex) + model.m_faces.capacity() * sizeof(CFace);
    for (const CVertex& vertex : model.m_vertices) {
        bytes += vertex.m_faces.capacity() * sizeof(int);
    }
    return static_cast<double>(bytes);
}

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// The generator lays a grid of 500 columns; 1,004 rows give 500,497 cells,
// and splitting the first 499,503 into two triangles makes 1,000,000 faces.
bool ImportBig(CVantomoDoc& doc)
{
    const std::string path = TempPath("vantomo-bench-undo-1m.mqo");
    MqoGeneratorOptions options;
    options.objects = 1;
    options.verticesPerObject = 500 * 1004;
    options.facesPerObject = kBigFaces;
    options.materials = 4;
    options.mirroredObject = -1;
    const bool written = WriteSyntheticMqo(path, options) != 0;
    const bool imported = written && doc.AddModelFromPath(path).ok;
    std::filesystem::remove(path);
    return imported;
}

bool ImportSmall(CVantomoDoc& doc)
{
    const std::string path = TempPath("vantomo-bench-undo-small.mqo");
    MqoGeneratorOptions options;
    options.objects = 3;
    options.verticesPerObject = 1000;
    options.facesPerObject = 200;
    options.materials = 2;
    options.mirroredObject = -1;
    const bool written = WriteSyntheticMqo(path, options) != 0;
    const bool imported = written && doc.AddModelFromPath(path).ok;
    std::filesystem::remove(path);
    return imported;
}

struct Fixture {
    Fixture()
    {
        ResetAppValues();
        ok = ImportSmall(doc) && ImportBig(doc);
        // The imports' own steps are not what is measured.
        doc.History().Clear();
    }

    // The position of the model of a million faces; -1 when it is gone.
    int Big() const
    {
        const auto& models = doc.Scene().m_models;
        for (std::size_t i = 0; i < models.size(); ++i) {
            if (models[i].m_faces.size() == static_cast<std::size_t>(kBigFaces)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    bool ok = false;
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

// The document with the big model in place and an empty history, or null
// (the benchmark skipped) when it could not be built.
Fixture* Ready(benchmark::State& state)
{
    Fixture& data = Data();
    data.doc.History().Clear();
    if (!data.ok || data.Big() < 0) {
        state.SkipWithError("the document of a million faces could not be built");
        return nullptr;
    }
    return &data;
}

void SetModelCounters(benchmark::State& state, const Fixture& data, int big)
{
    const CModel& model = data.doc.Scene().m_models[static_cast<std::size_t>(big)];
    state.counters["faces"] = static_cast<double>(model.m_faces.size());
    state.counters["vertices"] = static_cast<double>(model.m_vertices.size());
    state.counters["models"] = static_cast<double>(data.doc.Scene().m_models.size());
    state.counters["model_MB"] = ModelBytes(model) / 1e6;
}

bool DeleteBig(Fixture& data, int big) { return data.doc.DeleteModel(big).ok && data.Big() < 0; }

bool UndoBig(Fixture& data, int big) { return data.doc.Undo() && data.Big() == big; }

void BM_DeleteModel1M(benchmark::State& state)
{
    Fixture* data = Ready(state);
    if (data == nullptr) {
        return;
    }
    const int big = data->Big();
    SetModelCounters(state, *data, big);
    for (auto _ : state) {
        if (!DeleteBig(*data, big)) {
            state.SkipWithError("the delete did not take the model away");
            break;
        }
        state.PauseTiming();
        const bool back = UndoBig(*data, big);
        state.ResumeTiming();
        if (!back) {
            state.SkipWithError("the undo did not bring the model back");
            break;
        }
    }
    data->doc.History().Clear();
}

void BM_UndoDelete1M(benchmark::State& state)
{
    Fixture* data = Ready(state);
    if (data == nullptr) {
        return;
    }
    const int big = data->Big();
    SetModelCounters(state, *data, big);
    for (auto _ : state) {
        state.PauseTiming();
        const bool gone = DeleteBig(*data, big);
        state.ResumeTiming();
        if (!gone) {
            state.SkipWithError("the delete did not take the model away");
            break;
        }
        if (!UndoBig(*data, big)) {
            state.SkipWithError("the undo did not bring the model back");
            break;
        }
    }
    data->doc.History().Clear();
}

// One delete and its undo, with the heap read before, after the delete and
// after the undo. Last of all, the model's real share of the heap: a second
// delete whose step is then forgotten frees exactly what the model held.
// The big model is imported again afterwards, so the fixture stays whole.
void BM_DeleteUndoMemory1M(benchmark::State& state)
{
    Fixture* data = Ready(state);
    if (data == nullptr) {
        return;
    }
    const int big = data->Big();
    SetModelCounters(state, *data, big);
    const double accounted = ModelBytes(data->doc.Scene().m_models[static_cast<std::size_t>(big)]);

    double mallocBefore = 0, mallocDeleted = 0, mallocUndone = 0;
    double liveBefore = 0, peak = 0;
    double historyAfterDelete = 0;
    for (auto _ : state) {
        mallocBefore = MallocInUse();
        liveBefore = LiveBytes();
        ResetPeak();
        if (!DeleteBig(*data, big)) {
            state.SkipWithError("the delete did not take the model away");
            return;
        }
        mallocDeleted = MallocInUse();
        historyAfterDelete = static_cast<double>(data->doc.History().MemoryUsed());
        if (!UndoBig(*data, big)) {
            state.SkipWithError("the undo did not bring the model back");
            return;
        }
        mallocUndone = MallocInUse();
        peak = PeakBytes();
        data->doc.History().Clear();
    }

    // The share: what the heap gives back once the deleted model's step is gone.
    if (!DeleteBig(*data, big)) {
        state.SkipWithError("the delete did not take the model away");
        return;
    }
    const double mallocHeld = MallocInUse();
    const double liveHeld = LiveBytes();
    data->doc.History().Clear();
    const double mallocShare = mallocHeld - MallocInUse();
    const double liveShare = liveHeld - LiveBytes();
    if (!ImportBig(data->doc)) {
        data->ok = false;
    }
    data->doc.History().Clear();

    const double mallocPeak = std::max(mallocDeleted, mallocUndone);
    state.counters["model_accounted_MB"] = accounted / 1e6;
    state.counters["model_heap_MB"] = mallocShare / 1e6;
    state.counters["history_after_delete_MB"] = historyAfterDelete / 1e6;
    state.counters["history_vs_model"] = historyAfterDelete / accounted;
    state.counters["heap_after_delete_extra_MB"] = (mallocDeleted - mallocBefore) / 1e6;
    state.counters["heap_after_undo_extra_MB"] = (mallocUndone - mallocBefore) / 1e6;
    // The model's memory plus whatever the delete and undo needed on top,
    // against the model's memory: 1.0 means nothing was copied.
    state.counters["ratio_mallinfo"] = (mallocShare + mallocPeak - mallocBefore) / mallocShare;
    state.counters["peak_extra_MB"] = (peak - liveBefore) / 1e6;
    state.counters["ratio_peak"] = (liveShare + peak - liveBefore) / liveShare;
}

// Typed values for the big model at frame 10, then their undo; the values
// change every time, so each one is a step.
void BM_PoseStep(benchmark::State& state)
{
    Fixture* data = Ready(state);
    if (data == nullptr) {
        return;
    }
    CVantomoDoc& doc = data->doc;
    const int big = data->Big();
    doc.SelectModelItem(big);
    doc.SetCurrentFrame(10);
    // The step's size: what an empty history holds after one typed pose.
    doc.ApplyValueFields(0.5f, 0.5f, 0.5f, 0.5f);
    const double stepBytes = static_cast<double>(doc.History().MemoryUsed());
    if (doc.History().UndoCount() != 1 || !doc.Undo()) {
        state.SkipWithError("the typed values made no step");
        return;
    }
    double applyNs = 0, undoNs = 0;
    float value = 1.0f;
    for (auto _ : state) {
        value = value >= 100.0f ? 1.0f : value + 1.0f;
        const auto start = std::chrono::steady_clock::now();
        doc.ApplyValueFields(value, 2.0f * value, -value, value);
        const auto applied = std::chrono::steady_clock::now();
        const bool undone = doc.History().UndoCount() == 1 && doc.Undo();
        const auto end = std::chrono::steady_clock::now();
        if (!undone) {
            state.SkipWithError("the typed values made no step");
            break;
        }
        applyNs += std::chrono::duration<double, std::nano>(applied - start).count();
        undoNs += std::chrono::duration<double, std::nano>(end - applied).count();
    }
    const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["step_bytes"] = stepBytes;
    state.counters["apply_us"] = applyNs / n / 1e3;
    state.counters["undo_us"] = undoNs / n / 1e3;
    // One step is held now (the last undo's, for redo); anything beyond it
    // is memory the history still counts for steps it has let go, shown per
    // step dropped (each new pose drops the redo step before it).
    if (doc.History().UndoCount() + doc.History().RedoCount() == 1) {
        state.counters["history_unreleased_bytes_per_step"] =
            (static_cast<double>(doc.History().MemoryUsed()) - stepBytes) / n;
    }
    doc.History().Clear();
    doc.ClearSelectionItem();
}

} // namespace

// Fixed counts: with the other half paused the timed part is short, and a
// minimum time would run thousands of untimed deletes or undos.
BENCHMARK(BM_DeleteModel1M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(400);
BENCHMARK(BM_UndoDelete1M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(400);
BENCHMARK(BM_DeleteUndoMemory1M)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_PoseStep)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

// Export speed on a scene of one million faces, beside a plain fwrite of the
// same bytes in the same run.
//
// Scene (in memory): 100 models, each a grid of 101 x 101 vertices with
// 10,000 textured quadrilaterals (1,000,000 faces, 2,000,000 triangles in the
// XAML meshes), normals, UVs, 61 frames with keys every 10 frames.
//   BM_ExportXaml/0 and /1: the XAML document (with normals and texture
//   coordinates) in the shared-vertex and the per-corner layout: writing,
//   fsync and rename. Counters: output bytes per second, and the export's peak
//   heap above what was live before it, as a share of the output size.
//   BM_FwriteXamlBytes/0 and /1: the same bytes written with fwrite, fflush and
//   fsync to a new file.
//   BM_WriteMQO / BM_FwriteMqoBytes: the same for the Metasequoia document;
//   BM_WriteMQO/1 reports its progress as the desktop program's export does.
// Files go to $VANTOMO_BENCH_DIR, else /dev/shm, else /tmp. Wall-clock time.
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "ClockedProgress.h"

#include "export/MqoWriter.h"
#include "export/XamlExport.h"
#include "imaging/DibStream.h"
#include "scene/AppValues.h"
#include "base/FileIo.h"

using namespace vantomo;


// Heap accounting for the peak-memory counter.
namespace {
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void* Counted(std::size_t size)
{
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const long long now = g_live += static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void Uncounted(void* p)
{
    if (p != nullptr) {
        g_live -= static_cast<long long>(malloc_usable_size(p));
        std::free(p);
    }
}
} // namespace

void* operator new(std::size_t size) { return Counted(size); }
void* operator new[](std::size_t size) { return Counted(size); }
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { Uncounted(p); }

namespace {

constexpr int kModels = 100;
constexpr int kSide = 101;

std::string Folder()
{
    if (const char* dir = std::getenv("VANTOMO_BENCH_DIR")) {
        return dir;
    }
    struct stat info {};
    return stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
}

CTessaline& Scene()
{
    static std::unique_ptr<CTessaline> scene = [] {
        ResetAppValues();
        auto s = std::make_unique<CTessaline>();
        CMaterial wood;
        wood.m_id = 0;
        wood.m_name = "wood";
        wood.m_texture = "wood.bmp";
        wood.m_image = std::make_shared<DibStream>();
        wood.m_image->CreateDIB(4, 4, 24);
        s->m_materials.push_back(wood);
        CMaterial paint;
        paint.m_id = 1;
        paint.m_name = "paint";
        s->m_materials.push_back(paint);
        for (int m = 0; m < kModels; ++m) {
            CModel model;
            model.m_id = 6 + m;
            model.m_name = "part_" + std::to_string(m);
            model.m_parent = m == 0 ? -1 : (m - 1) / 2;
            model.m_pivot = CVector{static_cast<float>(m), 0.5f, -2.25f};
            Track track(61);
            for (int f = 0; f <= 60; f += 10) {
                track[static_cast<std::size_t>(f)].m_key = 1;
                track[static_cast<std::size_t>(f)].m_angle = static_cast<float>(f) * 1.5f;
                track[static_cast<std::size_t>(f)].m_position = CVector{static_cast<float>(f), 0.0f, 1.0f};
            }
            model.m_tracks.push_back(std::move(track));
            model.m_vertices.resize(kSide * kSide);
            for (int y = 0; y < kSide; ++y) {
                for (int x = 0; x < kSide; ++x) {
                    CVertex& v = model.m_vertices[static_cast<std::size_t>(y * kSide + x)];
                    v.m_position = CVector{static_cast<float>(x) * 1.37f - 60.0f, static_cast<float>(y) * 0.91f,
                                           static_cast<float>(m) * 12.5f + static_cast<float>(x % 7) * 0.1f};
                    v.m_normal = CVector{0.0f, 0.6f, 0.8f};
                }
            }
            for (int y = 0; y + 1 < kSide; ++y) {
                for (int x = 0; x + 1 < kSide; ++x) {
                    CFace face;
                    face.m_material = (x + y) % 2;
                    const int a = y * kSide + x;
                    face.m_indices = {a, a + 1, a + 1 + kSide, a + kSide};
                    const float u = static_cast<float>(x) / 100.0f, v = static_cast<float>(y) / 100.0f;
                    face.m_uvs = {{u, v}, {u + 0.01f, v}, {u + 0.01f, v + 0.01f}, {u, v + 0.01f}};
                    model.m_faces.push_back(face);
                }
            }
            s->m_models.push_back(std::move(model));
        }
        return s;
    }();
    return *scene;
}

std::map<std::string, std::vector<unsigned char>>& Written()
{
    static std::map<std::string, std::vector<unsigned char>> bytes;
    return bytes;
}

void Remember(const std::string& key, const std::string& path)
{
    FileBytes file;
    if (ReadWholeFile(path, file).ok) {
        Written()[key].assign(file.Data(), file.Data() + file.Size());
    }
}

void ReportMemory(benchmark::State& state, long long before, std::uint64_t outputBytes)
{
    const long long extra = g_peak.load() - before;
    state.counters["peak_heap_MB"] = static_cast<double>(extra) / 1e6;
    state.counters["peak_heap_per_output"] = outputBytes > 0 ? static_cast<double>(extra) / outputBytes : 0.0;
    state.counters["output_MB"] = static_cast<double>(outputBytes) / 1e6;
}

void BM_ExportXaml(benchmark::State& state)
{
    CTessaline& scene = Scene();
    const int layout = static_cast<int>(state.range(0));
    const std::string path = Folder() + "/vantomo_bench_" + std::to_string(layout) + ".xaml";
    std::uint64_t size = 0;
    const long long before = g_live.load();
    g_peak = before;
    for (auto _ : state) {
        const ExportResult result = ExportXaml(scene, path, layout, 0, true, 1.0f, true);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        size = std::filesystem::file_size(path);
    }
    ReportMemory(state, before, size);
    state.SetBytesProcessed(static_cast<std::int64_t>(size) * state.iterations());
    Remember("xaml" + std::to_string(layout), path);
    std::filesystem::remove(path);
    std::filesystem::remove(Folder() + "/wood.png");
}

void BM_WriteMQO(benchmark::State& state)
{
    CTessaline& scene = Scene();
    const std::string path = Folder() + "/vantomo_bench.mqo";
    std::uint64_t size = 0;
    const long long before = g_live.load();
    g_peak = before;
    ClockedProgress progress;
    for (auto _ : state) {
        const ExportResult result = WriteMQO(scene, 1.0f, path, true, state.range(0) != 0 ? &progress : nullptr);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        size = std::filesystem::file_size(path);
    }
    ReportMemory(state, before, size);
    state.SetBytesProcessed(static_cast<std::int64_t>(size) * state.iterations());
    Remember("mqo", path);
    std::filesystem::remove(path);
}

// The yardstick: fwrite of the bytes the export wrote, flushed and synced.
void FwriteBytes(benchmark::State& state, const std::string& key)
{
    const std::vector<unsigned char>& bytes = Written()[key];
    if (bytes.empty()) {
        state.SkipWithError("run the export benchmark first");
        return;
    }
    const std::string path = Folder() + "/vantomo_bench_fwrite";
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0 ||
            fsync(fileno(f)) != 0) {
            state.SkipWithError("fwrite failed");
        }
        if (f != nullptr) {
            std::fclose(f);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size()) * state.iterations());
    std::filesystem::remove(path);
}

void BM_FwriteXamlBytes(benchmark::State& state) { FwriteBytes(state, "xaml" + std::to_string(state.range(0))); }
void BM_FwriteMqoBytes(benchmark::State& state) { FwriteBytes(state, "mqo"); }

} // namespace

BENCHMARK(BM_ExportXaml)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FwriteXamlBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WriteMQO)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FwriteMqoBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();

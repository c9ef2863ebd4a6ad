// glTF export speed and memory.
//
// Scene: 16 models of 250 x 250 textured quads (one million faces), two
// animations of 120 frames.
//   BM_ExportGltf / BM_ExportGlb: the whole export (plan, JSON, streamed
//   buffer, fsync and rename), bytes/s of output. Counters: output_MB,
//   peak_MB (the rise of the process's peak resident memory during one
//   export) and peak_per_output (the goal is at most 1.5).
//   BM_FwriteSameBytes: the yardstick, fwrite of the same bytes from memory
//   to a new file, fflush and fsync.
// Wall-clock time: the sync to the disk is waiting, not computing.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "animation/Pose.h"
#include "export/GltfExport.h"
#include "imaging/DibStream.h"
#include "scene/AppValues.h"

using namespace vantomo;


namespace {

constexpr int kModels = 16;
constexpr int kGrid = 250;
constexpr int kFrames = 120;

std::unique_ptr<CTessaline> MakeScene()
{
    ResetAppValues();
    auto scene = std::make_unique<CTessaline>();
    scene->m_animationNames = {"a", "b"};
    CMaterial material;
    material.m_id = 1;
    material.m_texture = "grid.bmp";
    material.m_image = std::make_shared<DibStream>();
    material.m_image->CreateDIB(64, 64, 24);
    scene->m_materials.push_back(material);
    for (int m = 0; m < kModels; ++m) {
        CModel model;
        model.m_id = 6 + m;
        model.m_name = "model" + std::to_string(m);
        model.m_parent = m == 0 ? -1 : (m - 1) / 2;
        model.m_pivot = {static_cast<float>(m), 0, 0};
        const int side = kGrid + 1;
        model.m_vertices.resize(static_cast<std::size_t>(side * side));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                CVertex& v = model.m_vertices[static_cast<std::size_t>(y * side + x)];
                v.m_position = {static_cast<float>(x) * 0.37f, static_cast<float>((x * y) % 17) * 0.1f,
                                static_cast<float>(y) * 0.41f + static_cast<float>(m)};
            }
        }
        for (int y = 0; y < kGrid; ++y) {
            for (int x = 0; x < kGrid; ++x) {
                CFace face;
                face.m_material = 1;
                const int corners[4] = {y * side + x, (y + 1) * side + x, (y + 1) * side + x + 1, y * side + x + 1};
                for (int c = 0; c < 4; ++c) {
                    face.m_indices.push_back(corners[c]);
                    const int cx = corners[c] % side;
                    const int cy = corners[c] / side;
                    face.m_uvs.push_back(CUV{static_cast<float>(cx) / kGrid, static_cast<float>(cy) / kGrid});
                }
                model.m_faces.push_back(face);
            }
        }
        for (int a = 0; a < 2; ++a) {
            Track track(kFrames);
            for (int f = 0; f < kFrames; f += 30) {
                CAnimation& key = track[static_cast<std::size_t>(f)];
                key.m_key = 1;
                key.m_angle = static_cast<float>(f * (a + 1));
                key.m_position = {static_cast<float>(f), 0, static_cast<float>(m)};
            }
            model.m_tracks.push_back(std::move(track));
        }
        scene->m_models.push_back(std::move(model));
    }
    scene->RefreshDerived();
    InbetweenAll(*scene);
    return scene;
}

CTessaline& Scene()
{
    static std::unique_ptr<CTessaline> scene = MakeScene();
    return *scene;
}

std::string Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/vantomo-bench-gltf-XXXXXX";
        return std::string(mkdtemp(pattern) != nullptr ? pattern : "/tmp");
    }();
    return folder;
}

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(key.size()));
        }
    }
    return 0;
}

// Rise of the peak resident memory during one export, in bytes.
double PeakRise(const std::string& path, const GltfExportOptions& options)
{
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5"; // resets the peak to the current resident size
    }
    const long before = StatusKiB("VmRSS");
    const ExportResult result = ExportGltf(Scene(), path, options);
    benchmark::DoNotOptimize(result.ok);
    return static_cast<double>(StatusKiB("VmHWM") - before) * 1024.0;
}

std::size_t FileSize(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::size_t>(in.tellg()) : 0;
}

void RunExport(benchmark::State& state, bool binary)
{
    GltfExportOptions options;
    options.binary = binary;
    const std::string path = Folder() + (binary ? "/scene.glb" : "/scene.gltf");
    Scene();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const ExportResult result = ExportGltf(Scene(), path, options);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        bytes = FileSize(path) + (binary ? 0 : FileSize(Folder() + "/scene.bin") + FileSize(Folder() + "/grid.png"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    const double peak = PeakRise(path, options);
    state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_per_output"] = peak / static_cast<double>(bytes);
}

void BM_ExportGltf(benchmark::State& state) { RunExport(state, false); }
void BM_ExportGlb(benchmark::State& state) { RunExport(state, true); }

void BM_FwriteSameBytes(benchmark::State& state)
{
    const std::string glb = Folder() + "/scene.glb";
    if (FileSize(glb) == 0) {
        GltfExportOptions options;
        options.binary = true;
        (void)ExportGltf(Scene(), glb, options);
    }
    std::ifstream in(glb, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string path = Folder() + "/copy.glb";
    for (auto _ : state) {
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) {
            state.SkipWithError("cannot create the copy");
            return;
        }
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fflush(out);
        ::fsync(fileno(out));
        std::fclose(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

} // namespace

BENCHMARK(BM_ExportGltf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ExportGlb)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FwriteSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

BENCHMARK_MAIN();

// Project file speed and the by-name parent resolution on many models.
//
// Scene: 200 models x 10 animations x 600 frames, each model a grid mesh of
// 84 x 84 textured quads (about 200 MB as a project file).
//   BM_StoreProject / BM_LoadProject: the byte layout in memory only.
//   BM_SaveProjectFile: the whole atomic save (write, fsync, rename).
//   BM_OpenProjectFile: reading the file and the whole load.
//   BM_CopyFileBytes: a plain copy of the file's bytes, the yardstick: read in
//   1 MiB blocks, written to a temporary file, fsync, rename.
//   BM_MemcpyFileBytes: the bytes copied in memory.
// The file benchmarks run on wall-clock time: the sync to the disk is waiting,
// not computing.
// BM_ResolveParentsByName, BM_MakeNamesUnique: 10,000 models whose names
// repeat in varying case.
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "document/Document.h"
#include "document/Structure.h"
#include "scene/AppValues.h"
#include "scene/Names.h"
#include "scene/ProjectFile.h"
#include "base/FileIo.h"

using namespace vantomo;


namespace {

constexpr int kModels = 200;
constexpr int kAnimations = 10;
constexpr int kFrames = 600;
constexpr int kGrid = 84;

std::unique_ptr<CTessaline> MakeScene()
{
    auto scene = std::make_unique<CTessaline>();
    scene->m_animationNames.clear();
    for (int a = 0; a < kAnimations; ++a) {
        scene->m_animationNames.push_back("Animation_" + std::to_string(a));
    }
    for (int m = 0; m < kModels; ++m) {
        CModel model;
        model.m_id = 6 + m;
        model.m_name = "model_" + std::to_string(m);
        model.m_parent = m == 0 ? -1 : (m - 1) / 2;
        for (int a = 0; a < kAnimations; ++a) {
            Track track(kFrames);
            for (int f = 0; f < kFrames; f += 10) {
                track[static_cast<std::size_t>(f)].m_key = 1;
                track[static_cast<std::size_t>(f)].m_angle = static_cast<float>(f);
            }
            model.m_tracks.push_back(std::move(track));
        }
        const int side = kGrid + 1;
        model.m_vertices.resize(static_cast<std::size_t>(side * side));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                CVertex& v = model.m_vertices[static_cast<std::size_t>(y * side + x)];
                v.m_position = CVector(static_cast<float>(x), static_cast<float>(y), 0.0f);
            }
        }
        for (int y = 0; y < kGrid; ++y) {
            for (int x = 0; x < kGrid; ++x) {
                CFace face;
                face.m_material = 0;
                const int i = y * side + x;
                face.m_indices = {i, i + 1, i + side + 1, i + side};
                face.m_uvs = {CUV{0, 0}, CUV{1, 0}, CUV{1, 1}, CUV{0, 1}};
                const int f = static_cast<int>(model.m_faces.size());
                for (int corner : face.m_indices) {
                    model.m_vertices[static_cast<std::size_t>(corner)].m_faces.push_back(f);
                }
                model.m_faces.push_back(face);
            }
        }
        scene->m_models.push_back(std::move(model));
    }
    scene->m_materials.resize(1);
    return scene;
}

struct Fixture {
    Fixture()
    {
        ResetAppValues();
        scene = MakeScene();
        Archive ar;
        StoreProject(*scene, ar);
        bytes.assign(ar.Stored().begin(), ar.Stored().end());
        SaveProjectFile(*scene, path);
    }
    ~Fixture()
    {
        std::remove(path.c_str());
        std::remove(copyPath.c_str());
    }
    std::unique_ptr<CTessaline> scene;
    std::vector<unsigned char> bytes;
    std::string path = "/tmp/vantomo-bench-document.vtm";
    std::string copyPath = "/tmp/vantomo-bench-document-copy.vtm";
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

void SetBytes(benchmark::State& state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Data().bytes.size()));
    state.counters["file_MB"] = static_cast<double>(Data().bytes.size()) / 1e6;
}

void BM_StoreProject(benchmark::State& state)
{
    Fixture& data = Data();
    for (auto _ : state) {
        Archive ar;
        StoreProject(*data.scene, ar);
        benchmark::DoNotOptimize(ar.Stored().data());
    }
    SetBytes(state);
}

void BM_LoadProject(benchmark::State& state)
{
    Fixture& data = Data();
    for (auto _ : state) {
        LoadedProject loaded;
        if (!LoadProject(data.bytes, loaded)) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(loaded.scene.get());
    }
    SetBytes(state);
}

void BM_SaveProjectFile(benchmark::State& state)
{
    Fixture& data = Data();
    for (auto _ : state) {
        if (!SaveProjectFile(*data.scene, data.path)) {
            state.SkipWithError("save failed");
        }
    }
    SetBytes(state);
}

void BM_OpenProjectFile(benchmark::State& state)
{
    Fixture& data = Data();
    for (auto _ : state) {
        CTessaline scene;
        CollectingMessageSink messages;
        bool modified = false;
        TextureLookup textures;
        if (!OpenInto(scene, data.path, messages, textures, modified).ok) {
            state.SkipWithError("open failed");
        }
        benchmark::DoNotOptimize(scene.m_models.data());
    }
    SetBytes(state);
}

void BM_CopyFileBytes(benchmark::State& state)
{
    Fixture& data = Data();
    std::vector<unsigned char> buffer(std::size_t{1} << 20);
    for (auto _ : state) {
        // Read and write in blocks through one reused buffer, then sync and rename.
        const int in = ::open(data.path.c_str(), O_RDONLY | O_CLOEXEC);
        AtomicFile out(data.copyPath);
        bool ok = in >= 0 && out.Open().ok;
        for (ssize_t n = 0; ok && (n = ::read(in, buffer.data(), buffer.size())) > 0;) {
            ok = out.Write(buffer.data(), static_cast<std::size_t>(n)).ok;
        }
        ok = ok && out.Commit().ok;
        if (in >= 0) {
            ::close(in);
        }
        if (!ok) {
            state.SkipWithError("copy failed");
        }
    }
    SetBytes(state);
}

void BM_MemcpyFileBytes(benchmark::State& state)
{
    Fixture& data = Data();
    std::unique_ptr<unsigned char[]> target(new unsigned char[data.bytes.size()]);
    for (auto _ : state) {
        std::memcpy(target.get(), data.bytes.data(), data.bytes.size());
        benchmark::DoNotOptimize(target.get());
        benchmark::ClobberMemory();
    }
    SetBytes(state);
}

// 10,000 models whose names repeat in varying case, each under a random earlier model.
void FillManyDuplicates(CTessaline& scene)
{
    std::mt19937 random(7);
    const char* const stems[] = {"arm", "Leg", "HEAD", "body", "tail"};
    for (int i = 0; i < 10000; ++i) {
        CModel model;
        std::string name = std::string(stems[i % 5]) + "_" + std::to_string((i / 5) % 400);
        if (random() % 2 == 0) {
            name[0] = static_cast<char>(name[0] ^ 0x20); // the same name in another case
        }
        model.m_name = name;
        model.m_parent = i == 0 ? -1 : static_cast<int>(random() % static_cast<unsigned>(i));
        scene.m_models.push_back(std::move(model));
    }
    scene.RefreshDerived();
}

void BM_ResolveParentsByName(benchmark::State& state)
{
    ResetAppValues();
    CTessaline scene;
    FillManyDuplicates(scene);
    for (auto _ : state) {
        ResolveParentsByName(scene);
        benchmark::DoNotOptimize(scene.m_models.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
}

// Every name occurs five times (two case variants), so most models get a suffix.
void BM_MakeNamesUnique(benchmark::State& state)
{
    ResetAppValues();
    CTessaline original;
    FillManyDuplicates(original);
    for (auto _ : state) {
        state.PauseTiming();
        CTessaline scene = original;
        state.ResumeTiming();
        MakeNamesUnique(scene);
        benchmark::DoNotOptimize(scene.m_models.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
}

} // namespace

BENCHMARK(BM_StoreProject)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_OpenProjectFile)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_CopyFileBytes)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_MemcpyFileBytes)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ResolveParentsByName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeNamesUnique)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

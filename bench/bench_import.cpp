// Metasequoia import throughput and peak memory on a synthetic document of
// about 100 MB: 8 objects, 1,000,000 vertices, 1,000,000 faces with texture
// coordinates and 4 materials, one object mirrored in x.
//
// BM_ImportMQO runs the whole import (parse, mesh building, normals; the
// document names no texture); /1 with a progress reported as the desktop
// program's is. BM_ReadFile reads the same file into memory,
// the yardstick. The import runs first so that peak_rss_MiB (the process's
// peak resident size after it) is the import's own peak; mem_ratio is that
// peak over the document size.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "ClockedProgress.h"
#include "MqoGenerator.h"
#include "import/LoaderMQO.h"
#include "scene/AppValues.h"

using namespace vantomo;


namespace {

std::string g_path;
std::uint64_t g_size = 0;

class NullSink final : public MessageSink {
public:
    void ShowMessage(std::string_view) override {}
};

double PeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

void BM_ImportMQO(benchmark::State& state)
{
    NullSink messages;
    ClockedProgress progress;
    int faces = 0;
    for (auto _ : state) {
        ResetAppValues();
        auto scene = std::make_unique<CTessaline>();
        const OpenResult result =
            ImportMQO(*scene, g_path, messages, nullptr, state.range(0) != 0 ? &progress : nullptr);
        if (!result.Complete()) {
            state.SkipWithError("import failed");
            return;
        }
        faces = 0;
        for (const CModel& model : scene->m_models) {
            faces += static_cast<int>(model.m_faces.size());
        }
        benchmark::DoNotOptimize(faces);
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_size));
    state.counters["doc_MiB"] = static_cast<double>(g_size) / (1024.0 * 1024.0);
    state.counters["faces"] = faces;
    state.counters["peak_rss_MiB"] = PeakRssMiB();
    state.counters["mem_ratio"] = PeakRssMiB() * 1024.0 * 1024.0 / static_cast<double>(g_size);
    if (state.range(0) != 0) {
        state.counters["reports"] = static_cast<double>(progress.reports) / static_cast<double>(state.iterations());
    }
}
BENCHMARK(BM_ImportMQO)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadFile(benchmark::State& state)
{
    std::vector<char> bytes;
    for (auto _ : state) {
        std::FILE* file = std::fopen(g_path.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("cannot open");
            return;
        }
        bytes.resize(g_size);
        const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        benchmark::DoNotOptimize(got);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_size));
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    char folder[] = "/tmp/vantomo-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    g_path = std::string(folder) + "/synthetic.mqo";
    g_size = WriteSyntheticMqo(g_path, MqoGeneratorOptions{});
    if (g_size == 0) {
        std::fprintf(stderr, "cannot write %s\n", g_path.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(g_path.c_str());
    rmdir(folder);
    return 0;
}

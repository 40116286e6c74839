#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using ReadFunction = void* (*)(const char*, float, uint32_t);

// A plot file of about 100 MB made of pen-up moves followed by short pen-down polylines, the bulk of
// what cutting and sign-making programs write.
std::string writePenMoveFile(const std::filesystem::path& folder)
{
    std::string path = (folder / "moves.plt").string();
    std::ofstream out(path, std::ios::binary);
    out << "IN;SP1;";
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 40000);
    char line[128];
    size_t written = 7;
    while (written < 100u * 1000 * 1000) {
        int n = std::snprintf(line, sizeof line, "PU%d,%d;PD%d,%d,%d,%d,%d,%d;\n", coordinate(random),
                              coordinate(random), coordinate(random), coordinate(random), coordinate(random),
                              coordinate(random), coordinate(random), coordinate(random));
        out.write(line, n);
        written += static_cast<size_t>(n);
    }
    out << "SP0;";
    return path;
}

void readPenMoveFile(benchmark::State& state)
{
    void* module = dlopen(IMPORT_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        state.SkipWithError("Import.so cannot be loaded");
        return;
    }
    auto read = reinterpret_cast<ReadFunction>(dlsym(module, "NFilterRead"));
    if (read == nullptr) {
        state.SkipWithError("Import.so has no filter entry point");
        dlclose(module);
        return;
    }
    TempDir folder;
    std::string path = writePenMoveFile(folder.path());
    auto size = static_cast<int64_t>(std::filesystem::file_size(path));

    for (auto _ : state) {
        void* block = read(path.c_str(), 0.025f, 0);
        benchmark::DoNotOptimize(block);
        if (block == nullptr)
            state.SkipWithError("the filter refused the file");
        std::free(block);
    }
    state.SetBytesProcessed(state.iterations() * size);
    dlclose(module);
}

BENCHMARK(readPenMoveFile)->Unit(benchmark::kMillisecond)->MinTime(5);

} // namespace

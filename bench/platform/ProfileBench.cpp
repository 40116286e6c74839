// Reading and writing one key of a 1,000-line settings file, the size of a large device-profile file.
#include "platform/Profile.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

constexpr int sections = 50;
constexpr int keysPerSection = 19; // with the header, 20 lines a section

class SettingsFile {
public:
    SettingsFile()
    {
        path_ = dir_.file("Plotter.INI");
        std::ofstream out(path_, std::ios::binary);
        for (int s = 0; s < sections; ++s) {
            out << "[Device" << s << "]\r\n";
            for (int k = 0; k < keysPerSection; ++k)
                out << "Key" << k << "=PU%d,%d;PD%d,%d;" << s * 100 + k << "\r\n";
        }
    }
    const std::string& path() const { return path_; }

private:
    TempDir dir_;
    std::string path_;
};

void readKey(benchmark::State& state, const char* section, const char* key)
{
    SettingsFile file;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::getProfileString(section, key, "", file.path()));
}

void BM_ReadFirstKey(benchmark::State& state) { readKey(state, "Device0", "Key0"); }
void BM_ReadLastKey(benchmark::State& state) { readKey(state, "device49", "KEY18"); }
void BM_ReadMissingKey(benchmark::State& state) { readKey(state, "Device49", "Missing"); }

void BM_WriteKey(benchmark::State& state)
{
    SettingsFile file;
    int value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            platform::writeProfileString("Device25", "Key9", std::to_string(++value), file.path()));
}

} // namespace

BENCHMARK(BM_ReadFirstKey);
BENCHMARK(BM_ReadLastKey);
BENCHMARK(BM_ReadMissingKey);
BENCHMARK(BM_WriteKey)->Unit(benchmark::kMicrosecond);

// The whole chain against a plain HP-GL converter: marquill-plot sending generated plot files into a file
// port, and hp2xx reading the same files and writing HP-GL, run as processes one after the other in every
// iteration so that both meet the same load on the machine. Each benchmark reports the wall and processor
// time of both, their ratios (marquill-plot over hp2xx) and the peak memory of each process; the last one
// compares the import alone with hp2xx.

#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMegabyte = 1u << 20;

struct ProcessCost {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

double seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs the program with its output thrown away and waits for it.
ProcessCost runProcess(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessCost cost;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid) {
            cost.wallSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            cost.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
            cost.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
            cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return cost;
}

// Pen-up moves each followed by a pen-down polyline of 3 to 12 short strokes, over a drawing of 1000 by
// 800 mm: what cutting and sign-making programs write most. Written line by line: a child process starts
// with its parent's peak memory as its own, so the parent must stay small.
void writePlainFile(const fs::path& path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> x(0, 40000), y(0, 32000), step(-400, 400), strokes(3, 12);
    out << "IN;SP1;";
    for (std::size_t written = 7; written < bytes;) {
        int px = x(random);
        int py = y(random);
        std::string line = "PU" + std::to_string(px) + "," + std::to_string(py) + ";PD";
        for (int n = strokes(random); n > 0; --n) {
            px = std::clamp(px + step(random), 0, 40000);
            py = std::clamp(py + step(random), 0, 32000);
            line += std::to_string(px) + "," + std::to_string(py) + (n > 1 ? "," : ";\n");
        }
        out << line;
        written += line.size();
    }
    out << "PU;SP0;";
}

// Arcs through a point and by their centre, circles and short labels in turn.
void writeArcsAndLabelsFile(const fs::path& path, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    std::mt19937 random(13);
    std::uniform_int_distribution<int> x(2000, 38000), y(2000, 30000), offset(-800, 800), sweep(-300, 300),
        radius(50, 1500);
    out << "IN;SP1;";
    std::size_t written = 7;
    for (int i = 0; written < bytes; ++i) {
        std::string line = "PU" + std::to_string(x(random)) + "," + std::to_string(y(random)) + ";";
        switch (i % 4) {
        case 0:
            line += "PD;AR" + std::to_string(offset(random)) + "," + std::to_string(offset(random)) + "," +
                    std::to_string(sweep(random)) + ";PU;\n";
            break;
        case 1:
            line += "CI" + std::to_string(radius(random)) + ";\n";
            break;
        case 2:
            line += "LBLabel " + std::to_string(i) + "\x03\n";
            break;
        default:
            line += "PD;AA" + std::to_string(x(random)) + "," + std::to_string(y(random)) + "," +
                    std::to_string(sweep(random)) + ";PU;\n";
            break;
        }
        out << line;
        written += line.size();
    }
    out << "PU;SP0;";
}

// The generated files and a settings folder for marquill-plot, made once per run of the program.
class Material {
public:
    Material()
    {
        writePlainFile(plain10(), 10 * kMegabyte);
        writeArcsAndLabelsFile(arcs1(), kMegabyte);
        writePlainFile(plain50(), 50 * kMegabyte);
        for (int section : {0, 20, 500}) {
            const fs::path home = this->home(section);
            fs::create_directories(home);
            for (const char* file : {"Plotter.INI", "Plotter_Eng.INI"})
                fs::copy_file(fs::path(MARQUILL_BIN_DIR) / file, home / file);
            // The shipped defaults, with a roll long enough for every run.
            std::ofstream(home / "Server.INI")
                << "[SYSTEM]\nLanguage=1033\nSection=" << section << "\nREMAINMEDIALENGTH=2000000000\n";
        }
    }

    fs::path plain10() const { return dir_.path() / "plain_10MB.plt"; }
    fs::path arcs1() const { return dir_.path() / "arcs_labels_1MB.plt"; }
    fs::path plain50() const { return dir_.path() / "plain_50MB.plt"; }
    fs::path home(int section) const { return dir_.path() / ("home" + std::to_string(section)); }
    fs::path output() const { return dir_.path() / "out.plt"; }

private:
    TempDir dir_;
};

const Material& material()
{
    static const Material made;
    return made;
}

ProcessCost runMarquill(const fs::path& file, int section)
{
    return runProcess({MARQUILL_BIN_DIR "/marquill-plot", "--home", material().home(section).string(),
                       "--port", material().output().string(), file.string()});
}

ProcessCost runHp2xx(const fs::path& file)
{
    return runProcess({"hp2xx", "-q", "-m", "hpgl", "-f", material().output().string(), file.string()});
}

struct Totals {
    ProcessCost sum;
    double peak = 0;

    void add(const ProcessCost& c)
    {
        sum.wallSeconds += c.wallSeconds;
        sum.cpuSeconds += c.cpuSeconds;
        peak = std::max(peak, c.peakMegabytes);
    }
};

// marquill-plot with the shipped section length of 500 mm against hp2xx, alternately.
void comparePlot(benchmark::State& state, const fs::path& file)
{
    Totals marquill;
    Totals hp2xx;
    for (auto _ : state) {
        const ProcessCost ours = runMarquill(file, 500);
        const ProcessCost theirs = runHp2xx(file);
        if (!ours.ok || !theirs.ok) {
            state.SkipWithError(ours.ok ? "hp2xx failed (is it installed?)" : "marquill-plot failed");
            return;
        }
        state.SetIterationTime(ours.wallSeconds);
        marquill.add(ours);
        hp2xx.add(theirs);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["marquill_s"] = marquill.sum.wallSeconds / n;
    state.counters["hp2xx_s"] = hp2xx.sum.wallSeconds / n;
    state.counters["wall_ratio"] = marquill.sum.wallSeconds / hp2xx.sum.wallSeconds;
    state.counters["cpu_ratio"] = marquill.sum.cpuSeconds / hp2xx.sum.cpuSeconds;
    state.counters["marquill_MB"] = marquill.peak;
    state.counters["hp2xx_MB"] = hp2xx.peak;
}

void BM_Plain10MB(benchmark::State& state) { comparePlot(state, material().plain10()); }
BENCHMARK(BM_Plain10MB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_ArcsAndLabels1MB(benchmark::State& state) { comparePlot(state, material().arcs1()); }
BENCHMARK(BM_ArcsAndLabels1MB)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Sections of 20 mm against none on the 10 MB file: the time ratio over the ratio of the device bytes
// each sends says what a device byte costs with many sections compared with one.
void BM_Sections20mm(benchmark::State& state)
{
    Totals whole;
    Totals sections;
    double wholeBytes = 0;
    double sectionBytes = 0;
    for (auto _ : state) {
        const ProcessCost one = runMarquill(material().plain10(), 0);
        wholeBytes = static_cast<double>(fs::file_size(material().output()));
        const ProcessCost many = runMarquill(material().plain10(), 20);
        sectionBytes = static_cast<double>(fs::file_size(material().output()));
        if (!one.ok || !many.ok) {
            state.SkipWithError("marquill-plot failed");
            return;
        }
        state.SetIterationTime(many.wallSeconds);
        whole.add(one);
        sections.add(many);
    }
    const double bytes = sectionBytes / wholeBytes;
    state.counters["byte_ratio"] = bytes;
    state.counters["wall_ratio"] = sections.sum.wallSeconds / whole.sum.wallSeconds;
    state.counters["cpu_ratio"] = sections.sum.cpuSeconds / whole.sum.cpuSeconds;
    state.counters["cpu_per_byte"] = sections.sum.cpuSeconds / whole.sum.cpuSeconds / bytes;
}
BENCHMARK(BM_Sections20mm)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The peak memory of a copy of the 50 MB file, with the shipped sections and as one section.
void BM_PeakMemory50MB(benchmark::State& state)
{
    const auto section = static_cast<int>(state.range(0));
    Totals marquill;
    for (auto _ : state) {
        const ProcessCost cost = runMarquill(material().plain50(), section);
        if (!cost.ok) {
            state.SkipWithError("marquill-plot failed");
            return;
        }
        state.SetIterationTime(cost.wallSeconds);
        marquill.add(cost);
    }
    const double fileMegabytes = static_cast<double>(fs::file_size(material().plain50())) / kMegabyte;
    state.counters["peak_MB"] = marquill.peak;
    state.counters["peak_per_file"] = marquill.peak / fileMegabytes;
    state.counters["cpu_s"] = marquill.sum.cpuSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PeakMemory50MB)->Arg(500)->Arg(0)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// The import alone (Import.so read in this process) against hp2xx reading and rewriting the same 50 MB
// file, alternately, in megabytes per second. Registered last: the blocks read here raise this
// program's own peak memory, which a child process would report as its own.
void BM_Import50MBAgainstHp2xx(benchmark::State& state)
{
    using ReadFunction = void* (*)(const char*, float, std::uint32_t);
    void* module = dlopen(MARQUILL_BIN_DIR "/Import.so", RTLD_NOW | RTLD_LOCAL);
    auto read = module != nullptr ? reinterpret_cast<ReadFunction>(dlsym(module, "NFilterRead")) : nullptr;
    if (read == nullptr) {
        state.SkipWithError("Import.so cannot be loaded");
        return;
    }
    const fs::path& file = material().plain50();
    double importSeconds = 0;
    Totals hp2xx;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        void* block = read(file.c_str(), 0.025f, 0);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::free(block);
        const ProcessCost theirs = runHp2xx(file);
        if (block == nullptr || !theirs.ok) {
            state.SkipWithError(block == nullptr ? "the import refused the file"
                                                 : "hp2xx failed (is it installed?)");
            break;
        }
        state.SetIterationTime(seconds);
        importSeconds += seconds;
        hp2xx.add(theirs);
    }
    dlclose(module);
    const double megabytes =
        static_cast<double>(fs::file_size(file)) / kMegabyte * static_cast<double>(state.iterations());
    state.counters["import_MBps"] = megabytes / importSeconds;
    state.counters["hp2xx_MBps"] = megabytes / hp2xx.sum.wallSeconds;
    state.counters["speed_ratio"] = hp2xx.sum.wallSeconds / importSeconds;
}
BENCHMARK(BM_Import50MBAgainstHp2xx)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

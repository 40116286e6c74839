// Writing a plot's worth of command strings through a pseudo-terminal standing in for a serial line, and
// into a file. Each string is one 16-byte command, as the output engine hands them over.
#include "platform/CProfile.h"
#include "platform/Hooks.h"
#include "ports/CPlotPort.h"

#include "PseudoTerminal.h"
#include "PtyReader.h"
#include "TempDir.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace {

constexpr std::size_t kTenMegabytes = 10u << 20;

std::string command() { return "PD12345,678901;\n"; }

void writeCommands(CPlotPort& port, std::size_t total, benchmark::State& state)
{
    const std::string text = command();
    for (std::size_t sent = 0; sent < total; sent += text.size()) {
        if (port.Write(text.c_str()) != 1) {
            state.SkipWithError("write failed");
            return;
        }
    }
}

void installCountingStep()
{
    platform::Hooks hooks;
    hooks.messageStep = [] { benchmark::ClobberMemory(); };
    platform::installHooks(hooks);
}

void writeThroughPty(benchmark::State& state, int outMethod, std::size_t total)
{
    PseudoTerminal line;
    if (!line.ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    TempDir folder;
    const std::string ini = folder.file("Port.INI");
    CProfile portIni;
    portIni.setPath(ini.c_str());
    portIni.setString("PortMap", "COM1", line.slavePath().c_str());
    portIni.setInt("PortInfo", "TranSpeed", 115200);
    installCountingStep();
    {
        PtyReader reader(line.master());
        CPlotPort port(ini);
        port.SelectPort("COM1");
        std::int32_t stop = 1;
        for (auto _ : state) {
            port.Open(outputMethodOf(outMethod), MessageSteps::Run, &stop);
            writeCommands(port, total, state);
            port.Close();
        }
    }
    platform::resetHooks();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
}

void BM_PtyBlockWrites10MB(benchmark::State& state) { writeThroughPty(state, 2, kTenMegabytes); }
BENCHMARK(BM_PtyBlockWrites10MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// One byte per write call is slow enough that 1 MB shows its rate.
void BM_PtyBytePerCall1MB(benchmark::State& state) { writeThroughPty(state, 1, kTenMegabytes / 10); }
BENCHMARK(BM_PtyBytePerCall1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The File port and other names: one write call per command string.
void BM_FileWholeStrings10MB(benchmark::State& state)
{
    TempDir folder;
    installCountingStep();
    CPlotPort port(folder.file("Port.INI"));
    port.SelectPort(folder.file("out.plt").c_str());
    std::int32_t stop = 1;
    for (auto _ : state) {
        port.Open(OutputMethod::ByteByByte, MessageSteps::Run, &stop);
        writeCommands(port, kTenMegabytes, state);
        port.Close();
    }
    platform::resetHooks();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTenMegabytes));
}
BENCHMARK(BM_FileWholeStrings10MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the same file output costs with one system call and one message step per byte.
void BM_FileBytePerCall10MB(benchmark::State& state)
{
    TempDir folder;
    installCountingStep();
    const std::string text = command();
    for (auto _ : state) {
        const int fd = open(folder.file("out.plt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        for (std::size_t sent = 0; sent < kTenMegabytes; sent += text.size()) {
            for (char byte : text) {
                platform::messageStep();
                if (write(fd, &byte, 1) != 1)
                    state.SkipWithError("write failed");
            }
        }
        close(fd);
    }
    platform::resetHooks();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTenMegabytes));
}
BENCHMARK(BM_FileBytePerCall10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

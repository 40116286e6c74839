// What the plot journal costs the run: one copy as the run journals it (begun, one section, sent), and one
// section charged, each committed to Journal.db with synchronous=NORMAL in WAL mode. A section is charged
// as the run charges it: with the roll count it owes Server.INI, cleared once the file is written.
#include "jobs/PlotJournal.h"

#include "TempDir.h"

#include <benchmark/benchmark.h>

namespace {

ContentStamp someStamp()
{
    ContentStamp stamp;
    stamp.inode = 42;
    stamp.size = 151894;
    stamp.modifiedNs = 1700000000000000000;
    stamp.sha256 = std::string(64, 'a');
    return stamp;
}

void BM_JournalCopy(benchmark::State& state)
{
    TempDir dir;
    PlotJournal journal(dir.path().string());
    const std::int64_t delivery = journal.addDelivery("C:\\Receive\\job.plt", "/srv/job.plt", someStamp());
    for (auto _ : state) {
        const std::int64_t copy = journal.beginCopy(delivery, 1, 1);
        journal.sectionCharged(copy, 500, 99500);
        journal.rollSaved();
        journal.endCopy(copy, PlotJournal::SENT, {}, 99500);
    }
    if (journal.writeFailed())
        state.SkipWithError(journal.lastError().c_str());
}
BENCHMARK(BM_JournalCopy)->Unit(benchmark::kMillisecond);

void BM_JournalSection(benchmark::State& state)
{
    TempDir dir;
    PlotJournal journal(dir.path().string());
    const std::int64_t copy =
        journal.beginCopy(journal.addDelivery("job.plt", "/srv/job.plt", someStamp()), 1, 1);
    for (auto _ : state) {
        journal.sectionCharged(copy, 500, 99500);
        journal.rollSaved();
    }
    if (journal.writeFailed())
        state.SkipWithError(journal.lastError().c_str());
}
BENCHMARK(BM_JournalSection)->Unit(benchmark::kMillisecond);

} // namespace

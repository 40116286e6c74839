#include "JobTestSupport.h"
#include "MissingInput.h"
#include "TempDir.h"
#include "jobs/CPlotJob.h"
#include "jobs/JobPlot.h"
#include "output/ServerSettings.h"
#include "platform/ProgramFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Measuring reads the file through the import filter of the program folder.
TEST(MeasureJob, SetsLengthAndWidthInWholeMillimetresOnce)
{
    if (!fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
        SKIP_WITHOUT_INPUT("Import.so has not been built");
    platform::setProgramFolder(MARQUILL_BIN_DIR);
    TempDir dir;
    ServerSettings settings;
    // 40 plotter units per millimetre: a frame 100.4 mm long and 49.6 mm wide.
    auto job = CPlotJob::create(dir.write("frame.plt", "IN;PU0,0;PD4016,0,4016,1984,0,1984,0,0;PU;"),
                                CPlotJob::STATE_WAITING, settings);
    ASSERT_TRUE(measureJob(*job));
    EXPECT_EQ(job->length, 100);
    EXPECT_EQ(job->width, 50);
    const CPlot* loaded = job->plot.get();
    ASSERT_NE(loaded, nullptr);
    // Already measured: the file is not read again.
    ASSERT_TRUE(measureJob(*job));
    EXPECT_EQ(job->plot.get(), loaded);

    auto missing = CPlotJob::create(dir.file("missing.plt"), CPlotJob::STATE_WAITING, settings);
    EXPECT_FALSE(measureJob(*missing));
    EXPECT_EQ(missing->length, 0);
    platform::setProgramFolder("");
}

TEST(MeasureJob, WithoutTheImportFilterTheJobStaysUnmeasured)
{
    MessageBoxes boxes;
    TempDir dir;
    ServerSettings settings;
    platform::setProgramFolder(dir.path().string());
    auto job = CPlotJob::create(dir.write("a.plt", "IN;PD100,100;"), CPlotJob::STATE_WAITING, settings);
    EXPECT_FALSE(measureJob(*job));
    EXPECT_EQ(job->length, 0);
    EXPECT_EQ(job->plot, nullptr);
    platform::setProgramFolder("");
}

} // namespace

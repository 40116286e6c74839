#include "MissingInput.h"
#include "PlotTimeCheck.h"
#include "ShippedFiles.h"

#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> realPlotFiles()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(MARQUILL_PLOTS_DIR, error))
        if (entry.path().extension() != ".md")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The shipped devices that speak HP-GL, with and without the compact forms.
const char* const kHpglDevices[] = {"HP-GL pen plotter",
                                    "HP-GL pen plotter (buffer query)",
                                    "HP-GL pen plotter (compact)",
                                    "HP-GL/2 plotter (encoded)",
                                    "HP-GL cutter (device corrects knife offset)",
                                    "HP-GL cutter (Marquill corrects knife offset)"};

class PlotTimeValidation : public testing::TestWithParam<std::string> {};

// The estimate of every real plot's copy through every shipped HP-GL device is within 15% of the time
// the simulated plotter takes for the very stream the copy sends: at 9,600 baud, where the line is
// mostly what the pen waits for, and at 115,200, where the pen mostly is.
TEST_P(PlotTimeValidation, EstimateIsWithinFifteenPerCentOfTheSimulatedPlotter)
{
    const fs::path filter = fs::path(MARQUILL_BIN_DIR) / "Import.so";
    if (!fs::exists(filter))
        SKIP_WITHOUT_INPUT("no import filter " << filter);
    std::unique_ptr<CPlot> plot;
    ASSERT_EQ(loadPlot(plot, (fs::path(MARQUILL_PLOTS_DIR) / GetParam()).string(), filter.string()),
              RESULT_OK);
    ASSERT_TRUE(plot);
    CProfile profile;
    profile.setPath(shippedFile("Plotter_Eng.INI").c_str());
    for (const unsigned baud : {9600u, 115200u}) {
        for (const char* device : kHpglDevices) {
            SCOPED_TRACE(std::string(device) + " at " + std::to_string(baud));
            const PlotTimeCheck check = checkPlotTime(*plot, profile, device, baud);
            ASSERT_GT(check.bytes, 0u);
            ASSERT_GT(check.simulated, 0.0);
            EXPECT_LE(check.error(), 0.15) << "estimated " << check.estimated << " s, simulated "
                                           << check.simulated << " s, " << check.bytes << " bytes";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RealPlots, PlotTimeValidation, testing::ValuesIn(realPlotFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (const char c : info.param)
                                 name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PlotTimeValidation);

} // namespace

#include "PlotTimeCheck.h"
#include "RealPlotTest.h"
#include "ShippedFiles.h"

#include <gtest/gtest.h>

namespace {

// The shipped devices that speak HP-GL, with and without the compact forms.
const char* const kHpglDevices[] = {"HP-GL pen plotter",
                                    "HP-GL pen plotter (buffer query)",
                                    "HP-GL pen plotter (compact)",
                                    "HP-GL/2 plotter (encoded)",
                                    "HP-GL cutter (device corrects knife offset)",
                                    "HP-GL cutter (Marquill corrects knife offset)"};

class PlotTimeValidation : public RealPlotTest {};

// The estimate of every real plot's copy through every shipped HP-GL device is within 15% of the time
// the simulated plotter takes for the very stream the copy sends: at 9,600 baud, where the line is
// mostly what the pen waits for, and at 115,200, where the pen mostly is.
TEST_P(PlotTimeValidation, EstimateIsWithinFifteenPerCentOfTheSimulatedPlotter)
{
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

INSTANTIATE_REAL_PLOT_TESTS(PlotTimeValidation);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PlotTimeValidation);

} // namespace

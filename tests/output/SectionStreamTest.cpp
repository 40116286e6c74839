#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/SectionExtraction.h"

#include "geometry/Bezier.h"
#include "geometry/CMatrix.h"
#include "PathBuilder.h"
#include "RecordingPort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using Writes = std::vector<std::string>;

namespace {

// A section of a plot in millimetres, sent as the job run sends it: cut out, scaled to device units
// (RS 0.025, 40 units per millimetre), sorted by left edge and emitted.
class SectionStreamTest : public ::testing::Test {
protected:
    SectionStreamTest()
    {
        device.setOutputPort(&port);
        std::strcpy(device.command(CommandTemplate::MoveTo), "PU%d,%d;");
        std::strcpy(device.command(CommandTemplate::LineTo), "PD%d,%d;");
        std::strcpy(device.command(CommandTemplate::LineToEx), "PE%d,%d;");
    }

    Writes send(const CPlot& plot, float left, float right)
    {
        auto section = extractSection(plot, left, 0, right, 50);
        if (!section)
            return {};
        section->applyTransform(CMatrix::Scale(40.0f, 40.0f));
        section->bake();
        sortByLeftEdge(*section);
        port.writes.clear();
        device.beginPass(nullptr, settings);
        port.writes.clear();
        device.emitPlot(*section);
        return port.writes;
    }

    RecordingPort port;
    CPlotterDevice device;
    CCutInfo settings;
};

TEST_F(SectionStreamTest, LinesInOutAndThroughTheWindow)
{
    CPlot plot;
    // Leaves through the right edge and comes back in further up.
    plot.add(makePath({moveItem(95, 10), lineItem(150, 10), lineItem(150, 40), endItem(92, 40)}));
    // Passes through with both ends outside.
    plot.add(makePath({moveItem(-50, 25), lineItem(150, 25)}));
    // Wholly outside.
    plot.add(makePath({moveItem(120, 10), lineItem(130, 20)}));

    // Sorted by left edge: the line through, the run coming back in, the run going out.
    EXPECT_EQ(send(plot, 0, 100), (Writes{"PU0,1000;", "PD4000,1000;", " ", "PU4000,1600;", "PD3680,1600;",
                                          " ", "PU3800,400;", "PD4000,400;"}));
    // The next section overlaps the first by 10 mm: the first path now lies wholly inside and is sent
    // whole, the line through is cut at the new left edge.
    EXPECT_EQ(send(plot, 90, 190),
              (Writes{"PU3600,1000;", "PD6000,1000;", " ", "PU3800,400;", "PD6000,400;", "PE6000,1600;",
                      "PE3680,1600;", " ", "PU4800,400;", "PD5200,800;"}));
}

TEST_F(SectionStreamTest, CurveLeavingAndComingBackIsSentAsTwoRuns)
{
    // Accuracy so coarse that every piece of curve is sent as one straight line to its end.
    settings.CurveAccurate = 1000.0f;
    CPlot plot;
    plot.add(makePath({moveItem(90, 30), controlItem(110, 30), controlItem(110, 45), lineItem(95, 45)}));

    // Where the curve crosses the right edge, in device units.
    ClipPointList pieces;
    ASSERT_TRUE(clipBezier({{90, 30}, {110, 30}, {110, 45}, {95, 45}}, {0, 0, 100, 50}, pieces));
    const auto unit = [](float mm) { return std::to_string(static_cast<int>(mm * 40.0f)); };
    const std::string out = unit(pieces[3].x) + "," + unit(pieces[3].y);
    const std::string back = unit(pieces[4].x) + "," + unit(pieces[4].y);

    EXPECT_EQ(send(plot, 0, 100),
              (Writes{"PU3600,1200;", "PD" + out + ";", " ", "PU" + back + ";", "PD3800,1800;"}));
    EXPECT_EQ(pieces[8].x, kClipListEnd);
}

} // namespace

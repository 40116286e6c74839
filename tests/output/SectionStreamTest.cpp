#include "output/SectionExtraction.h"

#include "PathBuilder.h"
#include "RecordingDeviceTest.h"
#include "geometry/CMatrix.h"

namespace {

// A section of a plot in millimetres, sent as the job run sends it: cut out, scaled to device units
// (RS 0.025, 40 units per millimetre), sorted by left edge and emitted.
class SectionStreamTest : public RecordingDeviceTest {
protected:
    Writes send(const CPlot& plot, float left, float right)
    {
        auto section = extractSection(plot, left, 0, right, 50);
        if (!section)
            return {};
        section->applyTransform(CMatrix::Scale(40.0f, 40.0f));
        section->bake();
        sortByLeftEdge(*section);
        port.writes.clear();
        device.beginPass(MessageSteps::Skip, settings);
        port.writes.clear();
        device.emitPlot(*section);
        return port.writes;
    }
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

} // namespace

#include "vplotter/PlotterMechanism.h"
#include "vplotter/VirtualPlotter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The seconds the mechanism takes for the instructions of text, one after the other.
double mechanismSeconds(PlotterMechanism& mechanism, std::string_view text)
{
    double seconds = 0;
    while (!text.empty()) {
        const PlotterMechanism::Step step = mechanism.step(text, true);
        seconds += step.seconds;
        text.remove_prefix(step.length > 0 ? step.length : 1);
    }
    return seconds;
}

// 40 units a millimetre: 4000 units are 100 mm.
TEST(PlotterMechanism, DrawsAtVsLiftedAtItsOwnSpeedAndEveryInstructionTakesItsTime)
{
    const auto seconds = [](std::string_view text) {
        PlotterMechanism mechanism(MechanismSettings{400, 800, 0.01, "7475A"});
        return mechanismSeconds(mechanism, text);
    };
    EXPECT_NEAR(seconds("PD4000,0;"), 0.25 + 0.01, 1e-9);
    EXPECT_NEAR(seconds("PU4000,0;"), 0.125 + 0.01, 1e-9);
    // VS is in centimetres per second and governs the lowered pen only; IN goes back to the set speed.
    EXPECT_NEAR(seconds("VS20;PD4000,0;PU0,0;"), 0.01 + 0.5 + 0.01 + 0.125 + 0.01, 1e-9);
    EXPECT_NEAR(seconds("VS20;IN;PD4000,0;"), 0.01 + 0.01 + 0.25 + 0.01, 1e-9);
    // Relative lists with minus signs as separators: 100 mm right, 100 mm up, then back diagonally.
    EXPECT_NEAR(seconds("PRPD4000,0,0,4000-4000-4000PA;"), 0.01 + 0.01 + 0.5 + 0.25 * 1.41421356 + 0.01,
                1e-6);
    // An encoded polyline, relative: 4000 is "?|" and the end byte 192, 0 is the end byte 191.
    EXPECT_NEAR(seconds("PE?|\xC0\xBF\xBF?|\xC0;"), 0.01 + 0.5, 1e-9);
    // Lifted by "<", absolute by "=": to (4000, 0) lifted, then down to the origin.
    EXPECT_NEAR(seconds("PE<=?|\xC0\xBF=\xBF\xBF;"), 0.01 + 0.125 + 0.25, 1e-9);
}

// A polyline longer than the buffer is drawn as it comes, and so is a coordinate list whose end (the
// next mnemonic) has not come yet.
TEST(VirtualPlotter, OnAVirtualClockTheLineAndTheMechanismOverlapAsOnTheDevice)
{
    VirtualPlotterSettings settings;
    settings.baud = 9600;
    settings.bufferBytes = 1024;
    settings.penSpeed = 400;
    VirtualPlotter lineBound(settings, VirtualPlotter::VirtualClock{});
    std::string points = "IN;";
    for (int i = 0; i < 1000; ++i)
        points += "PD" + std::to_string(i % 2) + ",0;";
    // Every byte takes a millisecond on the line; the pen hardly moves.
    EXPECT_NEAR(lineBound.play(points), static_cast<double>(points.size()) / 960.0, 0.01);
    EXPECT_EQ(lineBound.report().executed, points.size());
    EXPECT_EQ(lineBound.report().lost, 0u);

    // 100 m of drawing in a few bytes: the pen's 250 s, the line waited for only at the start.
    VirtualPlotter penBound(settings, VirtualPlotter::VirtualClock{});
    std::string lines = "IN;";
    for (int i = 0; i < 500; ++i)
        lines += i % 2 == 0 ? "PD8000,0" : "PD0,0";
    EXPECT_NEAR(penBound.play(lines), 500 * 0.5, 0.5);
    EXPECT_EQ(penBound.report().executed, lines.size());

    // An open list of 2000 pairs, three times the buffer, ended by nothing but the end of the stream.
    VirtualPlotter longList(settings, VirtualPlotter::VirtualClock{});
    std::string list = "IN;PD";
    for (int i = 0; i < 2000; ++i)
        list += (i == 0 ? "" : ",") + std::to_string(i % 2 == 0 ? 400 : 0) + ",0";
    EXPECT_NEAR(longList.play(list), std::max(list.size() / 960.0, 2000 * 10.0 / 400), 0.2);
    EXPECT_EQ(longList.report().executed, list.size());
}

} // namespace

#include "PathBuilder.h"
#include "RecordingDeviceTest.h"

#include <cmath>
#include <limits>

namespace {

class EmissionTest : public RecordingDeviceTest {
protected:
    EmissionTest() { device.MaxPen = 3; }

    // Begins a pass and forgets what its start sent.
    void begin()
    {
        ASSERT_EQ(device.beginPass(MessageSteps::Skip, settings), 1);
        port.writes.clear();
    }

    void emit(std::initializer_list<PathItem> items, int pen = 0, uint16_t lineType = 0)
    {
        device.emitPath(*makePath(items, pen, lineType));
    }

    // Knife correction by the program, radius 20 device units for pen 0.
    void correctKnife()
    {
        device.HardOffset = 0;
        device.PenMode = 0;
        device.penOffsets[0] = 0.5f;
    }
};

TEST_F(EmissionTest, PassStartSendsInitialisationModeSpeedForcePenUpAndHome)
{
    set(CommandTemplate::InitCmd, "IN;");
    set(CommandTemplate::HomeCmd, "H;");
    set(CommandTemplate::RSCMD, "R;");
    set(CommandTemplate::AbsCmd, "PA;");
    set(CommandTemplate::PenUp, "PU;");
    set(CommandTemplate::SubJoin, "S;");
    set(CommandTemplate::CutCmd, "CUT;");
    set(CommandTemplate::PlotCmd, "PLOT;");
    set(CommandTemplate::SpeedCmd, "VS%d;");
    set(CommandTemplate::ForceCmd, "FS%d;");
    device.SetSpeed = 1;
    device.SetForce = 1;
    device.OutMethod = 3;
    settings.PenSpeed = 60;
    settings.PenForce = 70;

    ASSERT_EQ(device.beginPass(MessageSteps::Skip, settings), 1);
    EXPECT_EQ(port.method, 3);
    EXPECT_EQ(device.stopFlag, 0);
    EXPECT_EQ(port.writes, (Writes{"IN;H;R;PA;PU;S;", "CUT;", "VS60;", "FS70;", "PU;", "H;"}));

    // A pen plotter whose device corrects the knife gets the plot mode; without HardOffset no mode.
    device.PenMode = 1;
    device.SetSpeed = 0;
    device.SetForce = 0;
    port.writes.clear();
    device.beginPass(MessageSteps::Skip, settings);
    EXPECT_EQ(port.writes, (Writes{"IN;H;R;PA;PU;S;", "PLOT;", "PU;", "H;"}));
    device.HardOffset = 0;
    set(CommandTemplate::InitCmd, "");
    port.writes.clear();
    device.beginPass(MessageSteps::Skip, settings);
    EXPECT_EQ(port.writes, (Writes{"PU;", "H;"}));

    port.writes.clear();
    port.refuseToOpen();
    EXPECT_EQ(device.beginPass(MessageSteps::Skip, settings), 0);
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(EmissionTest, PenSelectionIsHeldToMaxPenAndCarriesOverPasses)
{
    begin();
    emit({moveItem(1, 2)}, 0);
    emit({moveItem(1, 2)}, 5);
    emit({moveItem(1, 2)}, 3);
    emit({moveItem(1, 2)}, -4);
    EXPECT_EQ(port.writes, (Writes{"PU1,2;", ";SP3", "PU1,2;", ";SP3", "PU1,2;", ";SP0", "PU1,2;"}));

    device.endPass(PassEnd::Feed);
    emit({moveItem(1, 2)}, 3);
    begin();
    emit({moveItem(1, 2)}, 3);
    EXPECT_EQ(port.writes, (Writes{"PU1,2;"}));

    // A path without items sends nothing at all, not even its pen.
    CPlotPath empty;
    empty.pen = 1;
    device.emitPath(empty);
    EXPECT_EQ(port.writes, (Writes{"PU1,2;"}));
}

TEST_F(EmissionTest, LineTypeIsSentWhenItChangesAndResetByEachPass)
{
    begin();
    emit({moveItem(0, 0)}, 0, 100);
    emit({moveItem(0, 0)}, 0, 100);
    emit({moveItem(0, 0)}, 0, 0x0264);
    emit({moveItem(0, 0)}, 0, 0);
    emit({moveItem(0, 0)}, 0, 0xFA14);
    EXPECT_EQ(port.writes, (Writes{";LT0,100", "PU0,0;", "PU0,0;", ";LT2,100", "PU0,0;", ";LT", "PU0,0;",
                                   ";LT-6,20", "PU0,0;"}));

    begin();
    emit({moveItem(0, 0)}, 0, 0x0264);
    EXPECT_EQ(port.writes.front(), ";LT2,100");
}

TEST_F(EmissionTest, KnifeSwivelsIntoEachFirstSegmentAndAtQuarterTurns)
{
    correctKnife();
    begin();
    emit({moveItem(0, 0), lineItem(100, 0), endItem(100, 100)});
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD20,0;", "PD120,0;", "PE100,20;", "PE100,120;", " "}));

    // The knife keeps its direction into the next pass: the first move is offset by it.
    device.endPass(PassEnd::Feed);
    begin();
    emit({moveItem(0, 0), endItem(0, 50)});
    EXPECT_EQ(port.writes, (Writes{"PU0,20;", "PD0,20;", "PD0,70;", " "}));

    // A segment of no length has no direction: the knife stays as it is.
    port.writes.clear();
    emit({moveItem(0, 0), lineItem(0, 0)});
    EXPECT_EQ(port.writes, (Writes{"PU0,20;", "PD0,20;", "PD0,20;"}));
}

TEST_F(EmissionTest, NoSwivelWhereTheDirectionCrossesTheNegativeXAxis)
{
    correctKnife();
    begin();
    // Directions alternate just below pi and just above -pi: a straight run, not a turn.
    emit({moveItem(1000, 0), lineItem(900, 0.5f), lineItem(800, 0), lineItem(700, 0.5f)});
    EXPECT_EQ(port.writes, (Writes{"PU1000,0;", "PD980,0;", "PD880,0;", "PE780,0;", "PE680,0;"}));
}

TEST_F(EmissionTest, KnifeOffsetStaysInForceForAPenBeyondThePenTable)
{
    correctKnife();
    device.MaxPen = 1;
    device.penOffsets[0] = 0.0f;
    device.penOffsets[1] = 0.5f;
    begin();
    emit({moveItem(0, 0), lineItem(100, 0)}, 1);
    port.writes.clear();
    emit({moveItem(0, 0), lineItem(0, 100)}, 7);
    EXPECT_EQ(port.writes, (Writes{";SP1", " ", "PU20,0;", "PD0,20;", "PD0,120;"}));
}

TEST_F(EmissionTest, HalfCutRunsItsPatternOnAcrossSegments)
{
    settings.HalfCut = 1;
    settings.SolidCut = 2.0f; // 80 units at RS 0.025
    settings.VoidCut = 0.2f;  // 8 units
    begin();
    emit({moveItem(0, 0), lineItem(100, 0), lineItem(200, 0)});
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD80,0;", " ", "PU88,0;", "PD100,0;", "PD168,0;", " ",
                                   "PU176,0;", "PD200,0;"}));

    // A new sub-path starts with a full cut stretch.
    port.writes.clear();
    emit({moveItem(0, 10), lineItem(90, 10)});
    EXPECT_EQ(port.writes, (Writes{" ", "PU0,10;", "PD80,10;", " ", "PU88,10;", "PD90,10;"}));
}

TEST_F(EmissionTest, HalfCutAlwaysFinishes)
{
    settings.HalfCut = 1;
    // No stretch lengths at all: the line is cut whole.
    settings.SolidCut = 0.0f;
    settings.VoidCut = 0.0f;
    begin();
    emit({moveItem(0, 0), lineItem(100, 0)});
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD100,0;"}));

    // Lengths far beyond what a float can step through in stretches of 80 units, and infinite ones.
    settings.SolidCut = 2.0f;
    settings.VoidCut = 0.2f;
    begin();
    emit({moveItem(0, 0), lineItem(1e12f, 0), lineItem(INFINITY, 0), lineItem(5, 5)});
    EXPECT_LT(port.writes.size(), 100u);
    EXPECT_EQ(port.stream().find("nan"), std::string::npos);
}

TEST_F(EmissionTest, CurveIsSplitInTheMiddleOrNearerTheEndThatTurnsMore)
{
    begin();
    emit({moveItem(0, 0), controlItem(0, 2), controlItem(4, 2), lineItem(4, 0)});
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD2,1;", "PE4,0;"}));

    // Tolerance 20 units, angle limit 40 degrees. The start turns 90 degrees away from the chord, the
    // end 45: split at a third, not the middle.
    settings.CurveAccurate = 40.0f;
    begin();
    emit({moveItem(0, 0), controlItem(0, 30), controlItem(10, 30), lineItem(40, 0)});
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD3,19;", "PE40,0;"}));
}

TEST_F(EmissionTest, FlatCurvesBecomeOneLineAndDeepOnesStopAtTheDepthLimit)
{
    begin();
    // Its control points bulge 20 units off the chord, but leave the ends at less than 2 degrees.
    emit({moveItem(0, 0), controlItem(1000, 20), controlItem(2000, 20), lineItem(3000, 0)});
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD3000,0;"}));

    port.writes.clear();
    // So fine an accuracy that only the depth limit ends the splitting: 2048 lines.
    settings.CurveAccurate = 0.01f;
    begin();
    emit({moveItem(0, 0), controlItem(0, 1e8f), controlItem(1e8f, 1e8f), lineItem(1e8f, 0)});
    EXPECT_EQ(port.writes.size(), 1u + 2048u);
    EXPECT_EQ(port.writes.back(), "PE100000000,0;");

    // A curve that is a single point sends nothing; a loop back to its start still ends there.
    port.writes.clear();
    emit({moveItem(5, 5), controlItem(5, 5), controlItem(5, 5), lineItem(5, 5)});
    EXPECT_EQ(port.writes, (Writes{" ", "PU5,5;"}));
    emit({moveItem(0, 0), controlItem(0, 100), controlItem(100, 100), lineItem(0, 0)});
    EXPECT_EQ(port.writes.back(), "PE0,0;");
}

TEST_F(EmissionTest, EndOfPassInItsThreeModes)
{
    set(CommandTemplate::PenUp, "PU;");
    set(CommandTemplate::HomeCmd, "H;");
    set(CommandTemplate::FeedCmd, "FD%d;");
    set(CommandTemplate::NewFrame, "NF;");
    settings.mmPageGap = 20;

    // The closing moves are not knife-corrected.
    correctKnife();
    begin();
    emit({moveItem(0, 0), lineItem(4000, 10)});
    port.writes.clear();
    device.endPass(PassEnd::FeedAndNewFrame);
    EXPECT_EQ(port.writes, (Writes{" ", "PU4800,0;", "FD4800;", "NF;"}));
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(device.stopFlag, 1);

    device.HardOffset = 1;
    begin();
    emit({moveItem(0, 0), lineItem(4000, 10)});
    device.endPass(PassEnd::Feed);
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD4000,10;", " ", "PU4800,0;", "FD4800;", "; "}));

    begin();
    emit({moveItem(0, 0), lineItem(4000, 10)});
    device.endPass(PassEnd::Home);
    EXPECT_EQ(port.writes, (Writes{"PU0,0;", "PD4000,10;", " ", "PU0,0;", "PU;", "H;", "NF;"}));
}

TEST_F(EmissionTest, CoordinatesThatAreNotNumbersNeverReachTheStream)
{
    correctKnife();
    begin();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    emit({moveItem(nan, 0), lineItem(INFINITY, -INFINITY), lineItem(3e9f, 0), lineItem(0, nan),
          controlItem(nan, 1), controlItem(2, INFINITY), lineItem(4, 4)});
    const std::string stream = port.stream();
    EXPECT_EQ(stream.find("nan"), std::string::npos);
    EXPECT_EQ(stream.find("inf"), std::string::npos);
    EXPECT_NE(stream.find("2147483647,-2147483648"), std::string::npos);

    // A segment towards a point that is not a number leaves the knife as it was, so the next move is
    // still offset by the last real direction.
    emit({moveItem(0, 0), lineItem(100, 0), lineItem(nan, 5)});
    port.writes.clear();
    emit({moveItem(50, 50)});
    EXPECT_EQ(port.writes, (Writes{" ", "PU70,50;"}));
}

} // namespace

#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"
#include "output/CompactWriter.h"

#include "ChildProcess.h"
#include "MissingInput.h"
#include "RealPlotTest.h"
#include "RecordingDeviceTest.h"
#include "RecordingPort.h"
#include "SectionedPass.h"
#include "ShippedProfiles.h"
#include "TempDir.h"
#include "hpgl/HpglStreamReader.h"
#include "plotdata/CPlot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

namespace fs = std::filesystem;

namespace {

// Two drawings are the same when they have the same lines, with the same pens, point by point within one
// device unit.
void expectSameDrawing(const std::vector<DrawnLine>& expected, const std::vector<DrawnLine>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(expected[i].pen, actual[i].pen) << "line " << i;
        ASSERT_EQ(expected[i].points.size(), actual[i].points.size()) << "line " << i;
        for (std::size_t j = 0; j < expected[i].points.size(); ++j) {
            ASSERT_LE(std::fabs(expected[i].points[j].x - actual[i].points[j].x), 1.0) << i << "/" << j;
            ASSERT_LE(std::fabs(expected[i].points[j].y - actual[i].points[j].y), 1.0) << i << "/" << j;
        }
    }
}

std::string streamOf(const CPlot& job, CPlotterDevice& device, const CCutInfo& cutInfo)
{
    RecordingPort port;
    device.setOutputPort(&port);
    sendSectionedPass(job, device, cutInfo);
    device.setOutputPort(nullptr);
    return port.stream();
}

class CompactWriting : public RecordingDeviceTest {
protected:
    CompactWriting() { set(CommandTemplate::LineToEx, "PD%d,%d;"); }

    std::string send(int compact)
    {
        device.Compact = static_cast<std::uint16_t>(compact);
        device.beginPass(MessageSteps::Skip, settings);
        device.moveTo(1000, 1000);
        device.lineTo(1010, 1000);
        device.lineTo(1010, 1010);
        device.flushPending();
        device.moveTo(1020, 1010);
        device.lineTo(1030, 1010);
        device.lineTo(1005, 1007);
        device.endPass(PassEnd::Home);
        return port.stream();
    }
};

} // namespace

TEST_F(CompactWriting, ListsStartAbsoluteAndGoRelativeWhereShorter)
{
    // The first run has no known position; the second is shorter relative; the last is shorter absolute.
    // The next mnemonic ends each instruction, a semicolon the last before the pass's own commands; a
    // minus sign separates numbers.
    EXPECT_EQ(send(1), "PU1000,1000PD1010,1000,1010,1010PRPU10,0PD10,0-25-3PAPU0,0;; ");
    EXPECT_EQ(readDrawing(port.stream()).size(), 2u);
}

TEST_F(CompactWriting, EncodedPolylinesKeepOneInstructionAcrossMoves)
{
    const std::string stream = send(2);
    ASSERT_GE(stream.size(), 3u);
    EXPECT_EQ(stream.substr(0, 3), "PE<");
    EXPECT_EQ(stream.find("PE", 1), std::string::npos);
    const std::vector<DrawnLine> lines = readDrawing(stream);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points.size(), 3u);
    EXPECT_DOUBLE_EQ(lines[1].points[1].x, 1030.0);
    EXPECT_DOUBLE_EQ(lines[1].points[1].y, 1010.0);
}

TEST_F(CompactWriting, EachSectionStartsAbsolute)
{
    device.Compact = 1;
    device.beginPass(MessageSteps::Skip, settings);
    CPlot plot;
    device.emitPlot(plot);
    device.moveTo(1000, 1000);
    device.lineTo(1010, 1000);
    device.emitPlot(plot);
    device.moveTo(1020, 1000);
    device.lineTo(1030, 1000);
    device.flushPending();
    device.moveTo(1040, 1000);
    device.lineTo(1050, 1000);
    device.endPass(PassEnd::Home);
    EXPECT_EQ(port.stream().substr(0, 58), "PU1000,1000PD1010,1000PU1020,1000PD1030,1000PRPU10,0PD10,0");
}

TEST(CompactEncoding, NumbersCarryTheSignLowAndEndWithATerminatingDigit)
{
    const auto encoded = [](std::int64_t value) {
        std::string text;
        appendEncodedNumber(text, value);
        return text;
    };
    EXPECT_EQ(encoded(0), "\xBF");
    EXPECT_EQ(encoded(1), "\xC1");
    EXPECT_EQ(encoded(-1), "\xC2");
    EXPECT_EQ(encoded(31), "\xFD");
    // 32 is 64 once the sign is in: digit 0 goes on, digit 1 ends.
    EXPECT_EQ(encoded(32), "?\xC0");
}

// The reader the checks above rely on takes a pen-up flag left at the end of one encoded polyline for
// nothing, as a device does: the next polyline's step of (1,1) is drawn.
TEST(CompactEncoding, AFlagLeftAtAPolylinesEndIsNotCarriedIntoTheNext)
{
    const std::vector<DrawnLine> lines = readDrawing("IN;SP1;PE<;PE\xC1\xC1;");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points.back().x, 1.0);
}

// Coordinates at the ends of the 32-bit range, whose steps do not fit in 32 bits, come back unchanged.
TEST_F(CompactWriting, ExtremeCoordinatesComeBackExactly)
{
    constexpr float kLow = -2147483648.0f;
    constexpr float kHigh = 2147483520.0f; // the largest float below 2^31
    for (int compact : {0, 1, 2}) {
        SCOPED_TRACE(compact);
        port.writes.clear();
        device.Compact = static_cast<std::uint16_t>(compact);
        device.beginPass(MessageSteps::Skip, settings);
        device.moveTo(kLow, kHigh);
        device.lineTo(kHigh, kLow);
        device.lineTo(0.0f, 0.0f);
        device.flushPending();
        device.endPass(PassEnd::Home);
        const std::vector<DrawnLine> lines = readDrawing(port.stream());
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_EQ(lines[0].points.size(), 3u);
        EXPECT_EQ(lines[0].points[0].x, -2147483648.0);
        EXPECT_EQ(lines[0].points[0].y, 2147483520.0);
        EXPECT_EQ(lines[0].points[1].x, 2147483520.0);
        EXPECT_EQ(lines[0].points[1].y, -2147483648.0);
        EXPECT_EQ(lines[0].points[2].x, 0.0);
    }
}

class CompactRoundTrip : public RealPlotTest {};

// Every real plot through every shipped HP-GL device, as it is and as a half cut: both compact forms
// draw what the commands per point draw.
TEST_P(CompactRoundTrip, BothFormsDrawWhatThePlainCommandsDraw)
{
    CProfile profile;
    profile.setPath(shippedProfilePath("Plotter_Eng.INI").c_str());
    int devices = 0;
    for (const std::string& name : keyNames(profile, "CutterDevices")) {
        for (int halfCut : {0, 1}) {
            SCOPED_TRACE(name + " / half cut " + std::to_string(halfCut));
            CCutInfo cutInfo;
            cutInfo.loadCutInfo(profile);
            cutInfo.HalfCut = halfCut;
            // A fresh device for each form: the knife keeps its direction from one pass to the next.
            const auto drawing = [&](int compact) {
                CPlotterDevice device;
                device.loadProfile(profile, name.c_str());
                device.Compact = static_cast<std::uint16_t>(compact);
                return readDrawing(streamOf(*plot, device, cutInfo));
            };
            CPlotterDevice device;
            device.loadProfile(profile, name.c_str());
            if (std::strncmp(device.command(CommandTemplate::MoveTo), "PU", 2) != 0)
                continue;
            ++devices;
            const std::vector<DrawnLine> plain = drawing(0);
            ASSERT_FALSE(plain.empty());
            for (int compact : {1, 2}) {
                SCOPED_TRACE(compact);
                expectSameDrawing(plain, drawing(compact));
            }
        }
    }
    EXPECT_GE(devices, 2 * 4);
}

// hp2xx, a reader of its own, turns each form of the pen plotter's stream into the same plain HP-GL.
TEST_P(CompactRoundTrip, Hp2xxReadsTheSameDrawingFromEveryForm)
{
    const fs::path hp2xx = "/usr/bin/hp2xx";
    if (!fs::exists(hp2xx))
        SKIP_WITHOUT_INPUT("no " << hp2xx);
    CProfile profile;
    profile.setPath(shippedProfilePath("Plotter_Eng.INI").c_str());
    CCutInfo cutInfo;
    cutInfo.loadCutInfo(profile);
    TempDir folder;
    std::string first;
    for (int compact : {0, 1, 2}) {
        SCOPED_TRACE(compact);
        CPlotterDevice device;
        device.loadProfile(profile, "HP-GL pen plotter");
        device.Compact = static_cast<std::uint16_t>(compact);
        const std::string input = folder.file("in.hpgl");
        const std::string output = folder.file("out.hpgl");
        std::ofstream(input, std::ios::binary) << streamOf(*plot, device, cutInfo);
        fs::remove(output);
        const pid_t pid =
            startProgram(hp2xx.string(), {"-q", "-m", "hpgl", "-f", output, input}, folder.file("log"));
        ASSERT_EQ(finishProgram(pid, std::chrono::seconds(60)), 0);
        std::ifstream in(output, std::ios::binary);
        const std::string read{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_FALSE(read.empty());
        if (compact == 0)
            first = read;
        else
            EXPECT_TRUE(read == first) << "hp2xx reads another drawing";
    }
}

INSTANTIATE_REAL_PLOT_TESTS(CompactRoundTrip);

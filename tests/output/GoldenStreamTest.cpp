#include "output/CCutInfo.h"
#include "output/CPlotterDevice.h"

#include "MissingInput.h"
#include "RecordingPort.h"
#include "SectionedPass.h"
#include "ShippedProfiles.h"
#include "TempDir.h"
#include "plotdata/CPlot.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Every shipped device of every shipped device-profile file sends three real plots, cut into sections, and
// the streams are compared with the stored ones in golden/, one Write per line. Set
// MARQUILL_REGENERATE_GOLDEN=1 to write the stored streams anew (then read them before committing).

namespace fs = std::filesystem;

namespace {

const char* const kPlotFiles[] = {"bz.hp", "lt.hp", "win_1.hp"};

// One Write per line; control bytes, bytes above 0x7E and the backslash as \xHH.
std::string transcript(const std::vector<std::string>& writes)
{
    std::string text;
    for (const std::string& write : writes) {
        for (unsigned char c : write) {
            if (c < 0x20 || c > 0x7E || c == '\\') {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                text += escaped;
            } else {
                text += static_cast<char>(c);
            }
        }
        text += '\n';
    }
    return text;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string recordedStream(const CPlot& job, CPlotterDevice& device, const CCutInfo& cutInfo)
{
    RecordingPort port;
    device.setOutputPort(&port);
    sendSectionedPass(job, device, cutInfo);
    device.setOutputPort(nullptr);
    return transcript(port.writes);
}

// The bytes a real port writes into a file, where the strings of a pass go out in large blocks.
std::string fileStream(const CPlot& job, CPlotterDevice& device, const CCutInfo& cutInfo,
                       const fs::path& file)
{
    device.port->SelectPort(file.c_str());
    sendSectionedPass(job, device, cutInfo);
    return readFile(file);
}

// The stream a transcript stands for: its lines joined, with the escapes undone.
std::string untranscribed(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            continue;
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

class GoldenStream : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(GoldenStream, EveryShippedDeviceSendsTheStoredStream)
{
    const fs::path plotPath = fs::path(MARQUILL_PLOTS_DIR) / GetParam();
    const fs::path filter = fs::path(MARQUILL_BIN_DIR) / "Import.so";
    if (!fs::exists(plotPath))
        SKIP_WITHOUT_INPUT("no plot file " << plotPath);
    if (!fs::exists(filter))
        SKIP_WITHOUT_INPUT("no import filter " << filter);

    std::unique_ptr<CPlot> job;
    ASSERT_EQ(loadPlot(job, plotPath.string(), filter.string()), RESULT_OK);
    ASSERT_TRUE(job);

    const bool regenerate = std::getenv("MARQUILL_REGENERATE_GOLDEN") != nullptr;
    const fs::path goldenDir = fs::path(MARQUILL_SOURCE_DIR) / "tests/output/golden";
    TempDir output;
    int compared = 0;
    for (const char* profileFile : kShippedProfileFiles) {
        CProfile profile;
        profile.setPath(shippedProfilePath(profileFile).c_str());
        CCutInfo cutInfo;
        cutInfo.loadCutInfo(profile);
        for (const std::string& name : keyNames(profile, "CutterDevices")) {
            SCOPED_TRACE(std::string(profileFile) + " / " + name);
            CPlotterDevice device;
            device.loadProfile(profile, name.c_str());
            const std::string stream = recordedStream(*job, device, cutInfo);
            // Files of other editions and languages hold the same device sections, so they share a stream.
            const fs::path golden = goldenDir / (std::string(GetParam()) + "." + device.sectionName + ".txt");
            if (regenerate) {
                fs::create_directories(goldenDir);
                std::ofstream(golden, std::ios::binary) << stream;
            }
            ASSERT_TRUE(fs::exists(golden)) << golden;
            EXPECT_EQ(stream, readFile(golden))
                << golden << " (after a deliberate change, MARQUILL_REGENERATE_GOLDEN=1 rewrites it)";
            CPlotterDevice fileDevice;
            fileDevice.loadProfile(profile, name.c_str());
            EXPECT_TRUE(fileStream(*job, fileDevice, cutInfo, output.file("stream.out")) ==
                        untranscribed(readFile(golden)))
                << "the bytes in the file differ from " << golden;
            ++compared;
        }
    }
    EXPECT_GE(compared, 8 * 5);
}

INSTANTIATE_TEST_SUITE_P(RealPlots, GoldenStream, testing::ValuesIn(kPlotFiles),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '.')
                                     c = '_';
                             return name;
                         });

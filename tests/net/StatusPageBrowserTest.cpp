#include "ChildProcess.h"
#include "MissingInput.h"
#include "NetworkServer.h"
#include "ShippedFiles.h"
#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <regex>
#include <string>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string SERVER = std::string(MARQUILL_BIN_DIR) + "/marquill-server";
const std::string CHROMIUM = "/usr/bin/chromium";
const fs::path PLOTS = MARQUILL_PLOTS_DIR;

int count(const std::string& text, const std::string& pattern)
{
    const std::regex re(pattern);
    return static_cast<int>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

// marquill-server listening on a loopback port, with two jobs in its queue that stay there: one with a name
// full of markup whose copy failed, as its port cannot be opened, and which now waits for the device, and
// one behind it that waits its turn.
class StatusPageBrowserTest : public ::testing::Test {
protected:
    TempDir home;
    pid_t server = -1;
    int port = 0;
    const std::string strangeName = "<b>x&y'\" 7.plt";

    void SetUp() override
    {
        if (!fs::exists(SERVER) || !fs::exists(fs::path(MARQUILL_BIN_DIR) / "Import.so"))
            SKIP_WITHOUT_INPUT("marquill-server or Import.so has not been built");
        if (!fs::exists(CHROMIUM))
            SKIP_WITHOUT_INPUT(
                "Chromium is not installed (Debian package chromium): the page is not tested in a "
                "browser");
        if (!fs::exists(PLOTS / "foal.hpgl") || !fs::exists(PLOTS / "inter.hp"))
            SKIP_WITHOUT_INPUT("no real plot files");
        fs::copy_file(shippedFile("Plotter.INI"), home.path() / "Plotter.INI");
        home.write("Server.INI", "[SYSTEM]\nLanguage=2052\nREMAINMEDIALENGTH=150\n[Receive]\nAReceivePath=" +
                                     home.file("in") + "\nAutoDeleType=0\n");
        home.write("Port.INI", "[PortMap]\nLPT8=" + home.file("no/such/printer") + "\n");
        fs::create_directories(home.path() / "in");
        fs::copy_file(PLOTS / "foal.hpgl", home.path() / "in" / strangeName);
        fs::copy_file(PLOTS / "inter.hp", home.path() / "in" / "long drawing.plt");
        port = nettest::freePort();
        server = startProgram(SERVER,
                              {"--home", home.path().string(), "--port", "LPT8", "--listen",
                               "127.0.0.1:" + std::to_string(port), "--raw-port",
                               std::to_string(nettest::freePort())},
                              home.file("log.txt"));
        ASSERT_TRUE(waitForLog("job waiting for the device")) << log();
    }
    void TearDown() override
    {
        if (server > 0) {
            ::kill(server, SIGTERM);
            EXPECT_EQ(finishProgram(server, 10s), 0) << log();
        }
    }

    std::string log() const { return TempDir::read(home.file("log.txt")); }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port) + "/queue"; }

    bool waitForLog(const std::string& text) const
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (log().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    // Runs headless Chromium with the options on the page; what it writes to standard output.
    std::string chromium(const std::string& options, const std::string& output)
    {
        const std::string command =
            CHROMIUM +
            " --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir=" + home.file("chromium") +
            " " + options + " " + url() + " >" + home.file(output) + " 2>" + home.file(output + ".err");
        EXPECT_EQ(finishProgram(startProgram("/bin/sh", {"-c", command}, home.file("sh.txt")), 90s), 0)
            << TempDir::read(home.file(output + ".err"));
        return TempDir::read(home.file(output));
    }
};

TEST_F(StatusPageBrowserTest, ChromiumShowsTheQueueWithStatesPreviewsAndTheLastFailure)
{
    const std::string dom = chromium("--dump-dom", "dom.html");
    // The name is text, not markup: the browser's own serialisation escapes it again.
    EXPECT_THAT(dom, HasSubstr("<td class=\"name\">&lt;b&gt;x&amp;y'\" 7.plt</td>"));
    EXPECT_THAT(dom, Not(HasSubstr("<b>x")));
    EXPECT_THAT(dom, Not(HasSubstr(home.file("in")))) << "the folders jobs come from are not shown";
    EXPECT_THAT(dom, HasSubstr("<td class=\"name\">long drawing.plt</td>"));
    // The states, and copies done of ordered.
    EXPECT_EQ(count(dom, "<tr class=\"job standby\"><td class=\"name\">&lt;b&gt;"), 1);
    EXPECT_EQ(count(dom, "<tr class=\"job waiting\"><td class=\"name\">long drawing"), 1);
    EXPECT_THAT(dom, HasSubstr("端口 LPT8 无法打开"));
    EXPECT_THAT(dom, HasSubstr("<td class=\"copies\">0/1</td>"));
    EXPECT_THAT(dom, HasSubstr("<td class=\"length\">96mm × 106mm</td>"));
    // A drawn preview for each job, inside its row.
    EXPECT_EQ(
        count(dom,
              "<td class=\"preview\"><svg [^>]*><rect [^>]*></rect><g [^>]*><path stroke=\"#[0-9a-f]{6}\" "
              "d=\"M[0-9]"),
        2)
        << dom;
    // The roll and the failure the journal recorded; the page reloads itself.
    EXPECT_THAT(dom, HasSubstr("<p id=\"roll\">Roll left: 150mm</p>"));
    EXPECT_EQ(
        count(dom, "<table id=\"failures\">.*<td>&lt;b&gt;x&amp;y'\" 7.plt</td><td>1/1</td><td>端口 LPT8"),
        1);
    EXPECT_THAT(dom, HasSubstr("<meta http-equiv=\"refresh\" content=\"5\">"));

    // A screenshot for people to look at, in the build folder.
    const fs::path shot = fs::path(MARQUILL_SCREENSHOT_DIR) / "status-page.png";
    fs::create_directories(shot.parent_path());
    fs::remove(shot);
    chromium("--screenshot=" + shot.string() + " --window-size=1000,900 --hide-scrollbars", "screenshot.txt");
    ASSERT_TRUE(fs::exists(shot));
    EXPECT_GT(fs::file_size(shot), 10000U);
}

} // namespace

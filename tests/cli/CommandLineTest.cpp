#include "cli/Options.h"
#include "cli/ServerOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string plotError(const std::vector<std::string>& arguments)
{
    PlotOptions options;
    std::string error;
    return parseOptions(arguments, options, error) ? "" : error;
}

std::string serverError(const std::vector<std::string>& arguments)
{
    ServerOptions options;
    std::string error;
    return parseServerOptions(arguments, options, error) ? "" : error;
}

} // namespace

// marquill-plot takes files among its options, and every argument after "--" as a file, even an empty
// one or one that looks like an option; values may be empty.
TEST(CommandLine, PlotOptionsTakeFilesValuesAndSwitches)
{
    PlotOptions options;
    std::string error;
    ASSERT_TRUE(parseOptions({"a.plt", "--copies", "3", "--home", "", "-h", "--rotate", "--", "--mirror", ""},
                             options, error))
        << error;
    EXPECT_EQ(options.files, (std::vector<std::string>{"a.plt", "--mirror", ""}));
    EXPECT_EQ(options.copies, 3);
    EXPECT_TRUE(options.help);
    EXPECT_TRUE(options.rotate);
    EXPECT_FALSE(options.mirror);

    EXPECT_EQ(plotError({"--copies", "0", "--bogus", "a.plt"}),
              "--copies needs a whole number of at least 1, not \"0\"");
    EXPECT_EQ(plotError({"a.plt", "--bogus"}), "unknown option --bogus");
    EXPECT_EQ(plotError({"a.plt", "--port"}), "--port needs a value");
    EXPECT_EQ(plotError({"--rotate"}), "no plot file given");
}

// marquill-server takes no operands and no empty values.
TEST(CommandLine, ServerOptionsRefuseOperandsAndEmptyValues)
{
    ServerOptions options;
    std::string error;
    ASSERT_TRUE(parseServerOptions({"--once", "--output-folder", "out", "--home", "h"}, options, error));
    EXPECT_TRUE(options.once);
    EXPECT_EQ(options.outputFolder, "out");
    EXPECT_EQ(options.home, "h");

    EXPECT_EQ(serverError({"--home", ""}), "--home needs a value");
    EXPECT_EQ(serverError({"a.plt"}), "unexpected argument a.plt");
    EXPECT_EQ(serverError({"--"}), "unknown option --");
    EXPECT_EQ(serverError({"-x"}), "unknown option -x");
}

TEST(CommandLine, ServerListensOnTheAddressAndPortsGiven)
{
    const auto listen = [](const std::vector<std::string>& arguments) {
        ServerOptions options;
        std::string error;
        EXPECT_TRUE(parseServerOptions(arguments, options, error)) << error;
        return options.listenAddress + " " + std::to_string(options.listenPort) + " " +
               std::to_string(options.rawPort);
    };
    EXPECT_EQ(listen({}), " 0 9100");
    EXPECT_EQ(listen({"--listen", "localhost"}), "localhost 8631 9100");
    EXPECT_EQ(listen({"--listen", ":9000", "--raw-port", "0"}), "localhost 9000 0");
    EXPECT_EQ(listen({"--listen", "192.168.1.20:631"}), "192.168.1.20 631 9100");
    EXPECT_EQ(listen({"--listen", "*", "--raw-port", "19100"}), "* 8631 19100");
    EXPECT_EQ(listen({"--listen", "[::1]:631"}), "::1 631 9100");
    EXPECT_EQ(listen({"--listen", "[fe80::1]"}), "fe80::1 8631 9100");

    // Every address but a loopback one may be reached from the network, and the server warns of it.
    for (const char* loopback :
         {"localhost", "LocalHost", "127.0.0.1", "127.1.2.3", "::1", "::ffff:127.0.0.1"})
        EXPECT_TRUE(isLoopbackAddress(loopback)) << loopback;
    for (const char* open : {"*", "0.0.0.0", "::", "192.168.1.20", "fe80::1", "::ffff:10.0.0.1",
                             "plotter.lan", "localhost.evil.example", "128.0.0.1", ""})
        EXPECT_FALSE(isLoopbackAddress(open)) << open;

    EXPECT_EQ(serverError({"--listen", "host:99999"}), "--listen: not a port: 99999");
    EXPECT_EQ(serverError({"--listen", "host:"}), "--listen: not a port: ");
    EXPECT_EQ(serverError({"--raw-port", "-1"}), "--raw-port: not a port: -1");
    EXPECT_EQ(serverError({"--listen", "localhost", "--once"}), "--listen cannot go with --once");
}

#include "output/CommandFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string format(const char* text, std::int32_t a = 0, std::int32_t b = 0, int count = 2)
{
    const std::int32_t args[2] = {a, b};
    char out[kCommandBufferSize];
    const std::size_t length = formatCommand(out, text, args, count);
    EXPECT_EQ(length, std::string(out).size());
    return out;
}

TEST(CommandFormatTest, PlainTemplatesFormatLikePrintf)
{
    EXPECT_EQ(format("PU%d,%d;", 400, 800), "PU400,800;");
    EXPECT_EQ(format("M%d,%d", -7, 0), "M-7,0");
    EXPECT_EQ(format("%d %d", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()),
              "-2147483648 2147483647");
    EXPECT_EQ(format("100%%", 0, 0, 0), "100%");
    EXPECT_EQ(format("\x1b.(", 0, 0, 0), "\x1b.(");
    EXPECT_EQ(format("", 1, 2), "");
}

TEST(CommandFormatTest, OtherIntegerConversionsGoThroughTheCLibrary)
{
    EXPECT_EQ(format("X%05d,%x;", 42, 255), "X00042,ff;");
    EXPECT_EQ(format("%+d%c", 3, 'A'), "+3A");
}

TEST(CommandFormatTest, TemplatesAskingForMoreThanGivenOrForNonIntegersGiveNothing)
{
    EXPECT_EQ(format("%d,%d,%d", 1, 2), "");
    EXPECT_EQ(format("FD%d;", 1, 2, 0), "");
    EXPECT_EQ(format("%s", 1, 2), "");
    EXPECT_EQ(format("%f", 1, 2), "");
    EXPECT_EQ(format("%n", 1, 2), "");
    EXPECT_EQ(format("%*d", 1, 2), "");
    EXPECT_EQ(format("%ld", 1, 2), "");
    EXPECT_EQ(format("PU%", 1, 2), "");
}

TEST(CommandFormatTest, DeviceIntegersTruncateTowardZeroAndClamp)
{
    EXPECT_EQ(toDeviceInt(2.9f), 2);
    EXPECT_EQ(toDeviceInt(-2.9f), -2);
    EXPECT_EQ(toDeviceInt(-0.5f), 0);
    EXPECT_EQ(toDeviceInt(std::nanf("")), 0);
    EXPECT_EQ(toDeviceInt(INFINITY), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(toDeviceInt(-INFINITY), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(toDeviceInt(3e9f), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(toDeviceInt(-3e9f), std::numeric_limits<std::int32_t>::min());
}

} // namespace

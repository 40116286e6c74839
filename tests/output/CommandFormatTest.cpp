#include "output/CommandFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::string format(const char* text, std::int32_t a = 0, std::int32_t b = 0, int count = 2)
{
    const std::int32_t args[2] = {a, b};
    char out[kCommandBufferSize];
    const std::size_t length = formatCommand(out, text, args, count);
    EXPECT_EQ(length, std::string(out).size());
    return out;
}

TEST(CommandFormatTest, TemplatesFormatLikePrintfWithIntegersOnly)
{
    EXPECT_EQ(format("PU%d,%d;", 400, 800), "PU400,800;");
    EXPECT_EQ(format("%d %d", kMin, kMax), "-2147483648 2147483647");
    EXPECT_EQ(format("100%%\x1b.(", 0, 0, 0), "100%\x1b.(");
    EXPECT_EQ(format("X%05d,%x;", 42, 255), "X00042,ff;");
    // Every length of number, at both ends of each length.
    for (std::int64_t magnitude = 1; magnitude <= 10'000'000'000; magnitude *= 10)
        for (const std::int64_t n : {magnitude - 1, magnitude, -(magnitude - 1), -magnitude})
            if (n >= -kMax && n <= kMax) {
                char expected[32];
                std::snprintf(expected, sizeof expected, "PD%lld,%lld;", static_cast<long long>(n),
                              -static_cast<long long>(n));
                EXPECT_EQ(format("PD%d,%d;", static_cast<std::int32_t>(n), static_cast<std::int32_t>(-n)),
                          expected);
            }

    // Asking for more arguments than given, or for anything but integers, gives nothing.
    for (const char* refused : {"%d,%d,%d", "%s", "%f", "%n", "%*d", "%123d", "%ld", "PU%"})
        EXPECT_EQ(format(refused, 1, 2), "") << refused;
    EXPECT_EQ(format("FD%d;", 1, 2, 0), "");
}

TEST(CommandFormatTest, DeviceIntegersTruncateTowardZeroAndClamp)
{
    EXPECT_EQ(toDeviceInt(2.9f), 2);
    EXPECT_EQ(toDeviceInt(-2.9f), -2);
    EXPECT_EQ(toDeviceInt(std::nanf("")), 0);
    EXPECT_EQ(toDeviceInt(INFINITY), kMax);
    EXPECT_EQ(toDeviceInt(-3e9f), kMin);
}

} // namespace

#include "ui/dialogs/DialogValues.h"
#include "MissingInput.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>

TEST(DialogValuesTest, IntegersReadLikeProfileIntegersAndHoldToTheIntRange)
{
    EXPECT_EQ(parseInteger("  -42mm"), -42);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("abc"), 0);
    EXPECT_EQ(parseInteger(""), 0);
    EXPECT_EQ(parseInteger("99999999999999999999"), INT_MAX);
    EXPECT_EQ(parseInteger("-99999999999999999999"), INT_MIN);
}

TEST(DialogValuesTest, InchLengthsRoundTripAndTruncateTowardZero)
{
    EXPECT_EQ(formatLength(500, kUnitInch), "19.69");
    EXPECT_EQ(parseLength("19.69", kUnitInch), 500); // 500.126
    EXPECT_EQ(parseLength("1", kUnitInch), 25);
    EXPECT_EQ(parseLength("-1", kUnitInch), -25);
    EXPECT_EQ(parseLength("1e30", kUnitInch), INT_MAX);
    EXPECT_EQ(parseLength("nan", kUnitInch), 0);
    EXPECT_EQ(formatLength(-12, kUnitMillimetre), "-12");
    EXPECT_EQ(parseLength("12.9", kUnitMillimetre), 12);
}

TEST(DialogValuesTest, DecimalsUseAPointWhateverTheLocale)
{
    // A window sets the user's locale at start-up; a German one writes and reads "2,5".
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        SKIP_WITHOUT_INPUT("no German locale installed");
    EXPECT_DOUBLE_EQ(parseDecimal("2.5"), 2.5);
    EXPECT_EQ(formatFixed(2.5, 2), "2.50");
    std::setlocale(LC_ALL, "C");
}

TEST(DialogValuesTest, CutTextsNeverEndInHalfACharacter)
{
    const std::string name = "绘图仪"; // three characters of three bytes each
    EXPECT_EQ(cutUtf8(name, 9), name);
    EXPECT_EQ(cutUtf8(name, 8), "绘图");
    EXPECT_EQ(cutUtf8(name, 2), "");
    EXPECT_EQ(cutUtf8("abc", 2), "ab");
}

#include "ports/PortKind.h"
#include "ports/PortNames.h"

#include <gtest/gtest.h>

TEST(PortNaming, ClassifiesOnlyUpperCaseComAndLptWithDigitsOneToEight)
{
    EXPECT_EQ(classifyPortName("File"), 0);
    EXPECT_EQ(classifyPortName("file"), 0);
    EXPECT_EQ(classifyPortName("COM1"), 1);
    EXPECT_EQ(classifyPortName("COM8"), 8);
    EXPECT_EQ(classifyPortName("LPT1"), 16);
    EXPECT_EQ(classifyPortName("LPT8"), 23);
    for (const char* other : {"lpt1", "Com1", "COM9", "COM0", "COM10", "LPT9", "COM", "", "FILES", "XYZ1"})
        EXPECT_EQ(classifyPortName(other), -1) << other;
    EXPECT_EQ(classifyPortName(nullptr), -1);
}

TEST(PortNaming, StoredPortSelectsByCaseInsensitivePrefixElseFirstEntry)
{
    const std::vector<std::string> entries{"COM1  /dev/ttyUSB0 (USB serial)",
                                           "LPT1  /dev/usb/lp0 (USB printer)",
                                           "LPT2  /dev/lp0 (parallel port)", "File"};
    EXPECT_EQ(findPortEntry(entries, "LPT"), 1);
    EXPECT_EQ(findPortEntry(entries, "lpt2"), 2);
    EXPECT_EQ(findPortEntry(entries, "COM2"), 0);
    EXPECT_EQ(findPortEntry(entries, ""), 0);
    EXPECT_EQ(findPortEntry({}, "COM1"), -1);
    EXPECT_EQ(portNameOfEntry(entries[1]), "LPT1");
}

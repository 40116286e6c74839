#include "TempDir.h"

#include <gtest/gtest.h>

TEST(TempDir, WritesAndReadsBackBytes)
{
    TempDir dir;
    std::string bytes("a\0b\r\n", 5);
    EXPECT_EQ(TempDir::read(dir.write("x.bin", bytes)), bytes);
}

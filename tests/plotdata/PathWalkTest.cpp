#include "plotdata/PathWalk.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Writes down what the walk reports, one word per event.
class Recorder : public PathVisitor {
public:
    std::ostringstream out;

    void special(const PathItem& item) override { out << "S" << int(item.flags) << ' '; }
    void moveTo(const PathItem& item) override { out << "M" << item.x << ',' << item.y << ' '; }
    void lineTo(FPoint start, const PathItem& end) override
    {
        out << "L" << start.x << ',' << start.y << '>' << end.x << ',' << end.y << ' ';
    }
    void curveTo(FPoint start, const PathItem& c1, const PathItem& c2, const PathItem& end) override
    {
        out << "C" << start.x << ',' << start.y << '|' << c1.x << ',' << c1.y << '|' << c2.x << ',' << c2.y
            << '>' << end.x << ',' << end.y << ' ';
    }
};

std::string walk(const std::vector<PathItem>& items)
{
    Recorder r;
    walkPath(items.data(), uint32_t(items.size()), r);
    return r.out.str();
}

} // namespace

TEST(PathWalkTest, ReadsMovesLinesCurvesAndSpecials)
{
    EXPECT_EQ(walk({{0, 0, 0x11}, {5, 0, 0x01}, {6, 1, 0x00}, {7, 2, 0x00}, {8, 0, 0x21}, {0, 0, PI_END}}),
              "M0,0 L0,0>5,0 C5,0|6,1|7,2>8,0 S255 ");
    // Bits 4 and 5 together are no move-to; bits 1 to 3 mean nothing.
    EXPECT_EQ(walk({{1, 1, 0x1F}, {2, 2, 0x31}}), "M1,1 L1,1>2,2 ");
    // A line after a colour change starts at the last point, not at the colour record.
    EXPECT_EQ(walk({{1, 1, 0x11}, colorItem(0x0000FF), {4, 5, 0x01}}), "M1,1 S129 L1,1>4,5 ");
    // Special items other than colour and end are reported and never read as points.
    EXPECT_EQ(walk({{1, 1, 0x11}, {9, 9, 0x82}, {4, 5, 0x01}}), "M1,1 S130 C1,1|1,1|1,1>4,5 ");
}

TEST(PathWalkTest, PathsBreakingTheRulesTakeMissingPointsFromTheStart)
{
    // A path that starts with a line end: the segment starts at its own end.
    EXPECT_EQ(walk({{3, 4, 0x01}, {6, 8, 0x01}}), "L3,4>3,4 L3,4>6,8 ");
    // A curve end first, after one control point: nothing before the first item is read.
    EXPECT_EQ(walk({{7, 7, 0x00}, {3, 4, 0x01}}), "C3,4|3,4|7,7>3,4 ");
    // A curve end with only one control point after the anchor.
    EXPECT_EQ(walk({{0, 0, 0x11}, {2, 2, 0x00}, {4, 0, 0x01}}), "M0,0 C0,0|0,0|2,2>4,0 ");
    // A colour change where the first control point should be.
    EXPECT_EQ(walk({{0, 0, 0x11}, colorItem(0x00FF00), {2, 2, 0x00}, {4, 0, 0x01}}),
              "M0,0 S129 C0,0|0,0|2,2>4,0 ");
    // Three control points: the last two are used.
    EXPECT_EQ(walk({{0, 0, 0x11}, {1, 1, 0x00}, {2, 2, 0x00}, {3, 3, 0x00}, {4, 0, 0x01}}),
              "M0,0 C0,0|2,2|3,3>4,0 ");
    EXPECT_EQ(walk({}), "");
}

TEST(PathItemTest, LayoutAndColour)
{
    static_assert(sizeof(PathItem) == 9);
    const PathItem c = colorItem(0x00332211);
    unsigned char bytes[9];
    std::memcpy(bytes, &c, sizeof bytes);
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x33);
    EXPECT_EQ(bytes[8], PI_COLOR);
    EXPECT_EQ(itemColor(c), 0x00332211u);
}

#include "BlockBytes.h"

#include "plotdata/CPlot.h"
#include "plotdata/PlotBlock.h"
#include "plotdata/PlotBlockWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Decodes a copy of the bytes held in storage of exactly their length, so that the sanitizer sees any
// read past the end.
std::unique_ptr<CPlot> decode(const std::string& bytes, std::size_t length)
{
    std::vector<std::uint8_t> exact(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    return readPlotBlock(exact.data(), exact.size());
}
std::unique_ptr<CPlot> decode(const BlockBytes& b) { return decode(b.bytes(), b.size()); }

std::string itemBytes(const CPlotPath& path)
{
    return std::string(reinterpret_cast<const char*>(path.items()), sizeof(PathItem) * path.count());
}

// Three paths with pens 1, 2, 3 and two, three and four items.
BlockBytes threePathBlock()
{
    BlockBytes b;
    b.plotHeader(0, 0, 0, 0, 9);
    for (int pen = 1; pen <= 3; ++pen) {
        const auto p = static_cast<float>(pen);
        b.pathHeader(pen + 1, p, p, p + 1, p + 1, 0, pen);
        b.item(p, p, 0x11);
        for (int i = 1; i < pen; ++i)
            b.item(p + 1, p + 1, 0x01);
        b.item(0, 0, PI_END).u8(0xF0);
    }
    return b.finish();
}

} // namespace

TEST(PlotBlock, OneLineBlockDecodesToOnePath)
{
    const BlockBytes b = oneLineBlock();
    ASSERT_EQ(b.size(), 121u);
    EXPECT_EQ(plotBlockStatedSize(b.data()), 121u);
    EXPECT_EQ(b.bytes()[62], 59); // the path block's size field

    const auto plot = decode(b);
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->tag, 0x1234u);
    // The first path replaces the header's extent.
    EXPECT_EQ(plot->extent, (FRect{10, 20, 30, 40}));
    ASSERT_EQ(plot->count(), 1);
    const CPlotPath& path = plot->at(0);
    EXPECT_EQ(path.count(), 3u);
    EXPECT_EQ(path.capacity(), 3u);
    EXPECT_EQ(path.extent, (FRect{10, 20, 30, 40}));
    EXPECT_EQ(path.lineType, 0x0203);
    EXPECT_EQ(path.pen, 7);
    EXPECT_EQ(itemBytes(path), b.bytes().substr(PLOT_BLOCK_HEADER_SIZE + PATH_BLOCK_HEADER_SIZE, 27));
}

TEST(PlotBlock, HeaderOnlyBlockKeepsTheHeader)
{
    BlockBytes b;
    b.plotHeader(5, 6, 7, 8, 42);
    b.patchI32(5, 0x40000000); // m0 = 2.0
    const auto plot = decode(b.finish());
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->count(), 0);
    EXPECT_EQ(plot->extent, (FRect{5, 6, 7, 8}));
    EXPECT_EQ(plot->tag, 42u);
    EXPECT_EQ(plot->transform.m0, 2.0f);
    EXPECT_EQ(plot->transform.m4, 1.0f);
}

TEST(PlotBlock, AnyByteOtherThanPlusEndsThePaths)
{
    std::string bytes = threePathBlock().bytes();
    bytes[PLOT_BLOCK_HEADER_SIZE] = 'x';
    auto plot = decode(bytes, bytes.size());
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->count(), 0);

    bytes = threePathBlock().bytes();
    bytes[PLOT_BLOCK_HEADER_SIZE + 50] = 0; // the mark of the second path block
    plot = decode(bytes, bytes.size());
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->count(), 1);
}

TEST(PlotBlock, WrongMarksGiveNothing)
{
    std::string bytes = oneLineBlock().bytes();
    std::string path = bytes.substr(PLOT_BLOCK_HEADER_SIZE, 59);
    EXPECT_TRUE(readPathBlock(reinterpret_cast<const std::uint8_t*>(path.data()), path.size()));
    bytes[0] = '+';
    path[0] = ',';
    EXPECT_FALSE(decode(bytes, bytes.size()));
    EXPECT_EQ(plotBlockStatedSize(reinterpret_cast<const std::uint8_t*>(bytes.data())), 0u);
    EXPECT_FALSE(readPathBlock(reinterpret_cast<const std::uint8_t*>(path.data()), path.size()));
}

TEST(PlotBlock, StatedSizeMustFitTheBytesAndHoldTheHeader)
{
    const BlockBytes b = threePathBlock();
    for (std::int32_t stated : {-1, 0, 61, static_cast<std::int32_t>(b.size()) + 1, 0x7FFFFFFF}) {
        BlockBytes bad = b;
        EXPECT_FALSE(decode(bad.patchI32(1, stated))) << stated;
    }
    // Bytes beyond the stated size are not looked at.
    BlockBytes longer = b;
    longer.u8('+').u8('+');
    const auto plot = decode(longer);
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->count(), 3);
}

// The second of three path blocks (at offset 61 + 50) is spoilt; the block stays whole, so the first path
// is kept. With the final mark gone as well the block is not whole and nothing is kept.
TEST(PlotBlock, BadPathBlockEndsThePathsOfAWholeBlock)
{
    const std::size_t second = PLOT_BLOCK_HEADER_SIZE + 50;
    struct Spoil {
        const char* what;
        std::size_t offset;
        std::int32_t value;
    };
    const Spoil spoils[] = {
        {"count 0", second + 5, 0},
        {"negative count", second + 5, -1},
        {"count beyond the block", second + 5, 0x7FFFFFFF},
        {"count one more than the size says", second + 5, 4},
        {"count one less than the size says", second + 5, 2},
        {"size one more", second + 1, 60},
        {"size one less", second + 1, 58},
        {"negative size", second + 1, -59},
        {"last item not PI_END", second + PATH_BLOCK_HEADER_SIZE + 3 * 9 - 4, 0x21000000},
    };
    for (const Spoil& s : spoils) {
        BlockBytes b = threePathBlock();
        b.patchI32(s.offset, s.value);
        auto plot = decode(b);
        ASSERT_TRUE(plot) << s.what;
        EXPECT_EQ(plot->count(), 1) << s.what;
        EXPECT_EQ(plot->at(0).pen, 1) << s.what;

        std::string cut = b.bytes();
        cut.back() = 0;
        EXPECT_FALSE(decode(cut, cut.size())) << s.what;
    }
}

// A block cut at any point, whether its stated size still says the full length or has been made to say
// the cut one, never decodes to more than the paths wholly inside it, and never reads past the cut.
TEST(PlotBlock, CutBlocksNeverReadPastTheirEnd)
{
    const BlockBytes full = threePathBlock();
    const auto whole = decode(full);
    ASSERT_TRUE(whole);
    for (std::size_t length = 0; length < full.size(); ++length) {
        EXPECT_FALSE(decode(full.bytes(), length)) << length;

        if (length < 5)
            continue;
        BlockBytes restated = full;
        restated.patchI32(1, static_cast<std::int32_t>(length));
        const auto plot = decode(restated.bytes(), length);
        if (!plot)
            continue;
        // Only a cut whose last byte happens to be 0xF0 passes for whole; its paths are a prefix.
        EXPECT_EQ(static_cast<std::uint8_t>(full.bytes()[length - 1]), BLOCK_END_MARK) << length;
        ASSERT_LT(plot->count(), whole->count());
        for (int i = 0; i < plot->count(); ++i)
            EXPECT_EQ(itemBytes(plot->at(i)), itemBytes(whole->at(i))) << length;
    }
}

TEST(PlotBlock, WriterProducesTheLayoutByteForByte)
{
    const BlockBytes expected = oneLineBlock();
    PlotBlockWriter writer(CMatrix{}, FRect{-1, -1, 1, 1}, 0x1234);
    const PathItem items[] = {{10, 20, 0x11}, {30, 40, 0x21}, {0, 0, PI_END}};
    writer.addPath(FRect{10, 20, 30, 40}, 0x0203, 7, items, 3);
    const std::vector<std::uint8_t> written = writer.finish();
    EXPECT_EQ(std::string(written.begin(), written.end()), expected.bytes());
}

TEST(PlotBlock, PlotSurvivesARoundTrip)
{
    CPlot plot;
    plot.tag = 0xDEADBEEF;
    auto curve = std::make_unique<CPlotPath>();
    curve->lineType = 0x0305;
    curve->pen = -3;
    for (const PathItem& item : {PathItem{0, 0, 0x11}, colorItem(0x00FF8040), PathItem{1, 5, 0x00},
                                 PathItem{2, -5, 0x00}, PathItem{3, 0, 0x21}})
        curve->append(item);
    curve->appendRaw(PathItem{0, 0, PI_END});
    plot.add(std::move(curve));
    plot.add(CPlotPath::makeDashedLine(0, 10, 20, 10, 2, 1));

    const std::vector<std::uint8_t> block = writePlotBlock(plot);
    const auto read = readPlotBlock(block.data(), block.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->tag, plot.tag);
    EXPECT_EQ(read->extent, plot.extent);
    ASSERT_EQ(read->count(), plot.count());
    for (int i = 0; i < plot.count(); ++i) {
        const CPlotPath& a = plot.at(i);
        const CPlotPath& b = read->at(i);
        EXPECT_EQ(b.extent, a.extent) << i;
        EXPECT_EQ(b.lineType, a.lineType) << i;
        EXPECT_EQ(b.pen, a.pen) << i;
        EXPECT_EQ(itemBytes(b), itemBytes(a)) << i;
    }
    EXPECT_EQ(writePlotBlock(*read), block);
}

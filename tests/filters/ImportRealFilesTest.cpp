#include "ImportModule.h"
#include "MissingInput.h"
#include "plotdata/PlotBlock.h"

#include <filesystem>

namespace {

// Files written by many programs and instruments: every one gives a well-formed block whose extent is
// a drawing-sized number of millimetres.
TEST(ImportRealFiles, EveryFileReadsWithAPlausibleExtent)
{
    if (!std::filesystem::is_directory(MARQUILL_PLOTS_DIR))
        SKIP_WITHOUT_INPUT("no real plot files at " << MARQUILL_PLOTS_DIR);
    ImportModule module;
    ASSERT_TRUE(module.loaded());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MARQUILL_PLOTS_DIR)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        std::optional<Block> block = module.read(entry.path().string());
        ASSERT_TRUE(block.has_value());
        expectWellFormed(*block);
        // The program's own block reader takes the block whole.
        auto* raw = static_cast<const std::uint8_t*>(module.readRaw(entry.path().string()));
        std::unique_ptr<CPlot> plot = readPlotBlock(raw, plotBlockStatedSize(raw));
        std::free(const_cast<std::uint8_t*>(raw));
        ASSERT_NE(plot, nullptr);
        EXPECT_EQ(static_cast<size_t>(plot->count()), block->paths.size());
        float width = block->extent[2] - block->extent[0];
        float height = block->extent[3] - block->extent[1];
        EXPECT_GT(width, 5.0f);
        EXPECT_GT(height, 5.0f);
        EXPECT_LT(width, 3000.0f);
        EXPECT_LT(height, 3000.0f);
        EXPECT_GT(block->extent[0], -3000.0f);
        EXPECT_GT(block->extent[1], -3000.0f);
    }
    EXPECT_GT(files, 0);
}

} // namespace

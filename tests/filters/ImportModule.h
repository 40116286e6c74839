#pragma once

#include "TempDir.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// Loads Import.so from the program folder and decodes the blocks it returns, checking their layout
// byte by byte on the way.
struct BlockItem {
    float x, y;
    uint8_t flags;
};

struct BlockPath {
    int32_t pen;
    uint16_t lineType;
    float extent[4];
    std::vector<BlockItem> items; // PI_END included
};

struct Block {
    float extent[4];
    std::vector<BlockPath> paths;
};

class ImportModule {
public:
    using ReadFunction = void* (*)(const char*, float, uint32_t);

    ImportModule()
    {
        handle_ = dlopen(MARQUILL_BIN_DIR "/Import.so", RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr)
            read_ = reinterpret_cast<ReadFunction>(dlsym(handle_, "NFilterRead"));
    }
    ~ImportModule()
    {
        if (handle_ != nullptr)
            dlclose(handle_);
    }
    bool loaded() const { return read_ != nullptr; }
    bool exports(const char* symbol) const { return dlsym(handle_, symbol) != nullptr; }
    void* readRaw(const std::string& path, float scale = 0.025f) const
    {
        return read_(path.c_str(), scale, 0);
    }

    // Null when the filter gave no block; a failed expectation when the block is malformed.
    std::optional<Block> read(const std::string& path) const
    {
        void* raw = readRaw(path);
        if (raw == nullptr)
            return std::nullopt;
        Block block = decode(static_cast<const unsigned char*>(raw));
        std::free(raw);
        return block;
    }

    // Writes the text into a temporary file and reads it.
    std::optional<Block> readText(const std::string& text) const
    {
        TempDir dir;
        return read(dir.write("plot.plt", text));
    }

private:
    template <typename T> static T at(const unsigned char* p)
    {
        T value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }

    static Block decode(const unsigned char* b)
    {
        Block block{};
        EXPECT_EQ(b[0], ',');
        auto total = at<int32_t>(b + 1);
        const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(at<float>(b + 5 + 4 * i), identity[i]);
        for (int i = 0; i < 4; ++i)
            block.extent[i] = at<float>(b + 41 + 4 * i);
        size_t p = 61;
        while (p < static_cast<size_t>(total) && b[p] == '+') {
            BlockPath path{};
            auto size = at<int32_t>(b + p + 1);
            auto count = at<int32_t>(b + p + 5);
            EXPECT_EQ(size, 32 + 9 * count);
            EXPECT_LE(p + static_cast<size_t>(size), static_cast<size_t>(total));
            for (int i = 0; i < 4; ++i)
                path.extent[i] = at<float>(b + p + 9 + 4 * i);
            path.lineType = at<uint16_t>(b + p + 25);
            path.pen = at<int32_t>(b + p + 27);
            for (int i = 0; i < count; ++i) {
                const unsigned char* item = b + p + 31 + 9 * i;
                path.items.push_back({at<float>(item), at<float>(item + 4), item[8]});
            }
            EXPECT_EQ(b[p + 31 + 9 * static_cast<size_t>(count)], 0xF0);
            block.paths.push_back(std::move(path));
            p += static_cast<size_t>(size);
        }
        EXPECT_EQ(p + 1, static_cast<size_t>(total));
        EXPECT_EQ(b[p], 0xF0);
        return block;
    }

    void* handle_ = nullptr;
    ReadFunction read_ = nullptr;
};

// The point items of all paths, in order, without the end-of-list items.
inline std::vector<BlockItem> pointsOf(const Block& block)
{
    std::vector<BlockItem> points;
    for (const BlockPath& path : block.paths)
        for (const BlockItem& item : path.items)
            if (!(item.flags & 0x80))
                points.push_back(item);
    return points;
}

// The colour item a path starts with, as 0x00RRGGBB; -1 when it has none.
inline int32_t colourOf(const BlockPath& path)
{
    if (path.items.empty() || path.items.front().flags != 0x81)
        return -1;
    unsigned char rgb[4];
    std::memcpy(rgb, &path.items.front().x, 4);
    return rgb[0] << 16 | rgb[1] << 8 | rgb[2];
}

// The rules every reader of the path store relies on: each path starts with a move-to (after a
// colour item, when it has one) and ends with the end-of-list item, every curve end follows exactly
// two control points after an anchor, every coordinate is finite and inside its path's extent, and
// the plot extent is the union of the paths'.
inline void expectWellFormed(const Block& block)
{
    ASSERT_FALSE(block.paths.empty());
    float plot[4] = {block.paths[0].extent[0], block.paths[0].extent[1], block.paths[0].extent[2],
                     block.paths[0].extent[3]};
    for (const BlockPath& path : block.paths) {
        const size_t first = colourOf(path) >= 0 ? 1 : 0;
        ASSERT_GE(path.items.size(), 3u + first);
        EXPECT_EQ(path.items[first].flags & 0x71, 0x11);
        EXPECT_EQ(path.items.back().flags, 0xFF);
        const float* e = path.extent;
        for (size_t i = first; i + 1 < path.items.size(); ++i) {
            const BlockItem& item = path.items[i];
            ASSERT_TRUE(std::isfinite(item.x) && std::isfinite(item.y));
            EXPECT_FALSE(item.flags & 0x80)
                << "only the first item may be a colour, only the last one is the end";
            if (!(item.flags & 0x01))
                continue;
            EXPECT_TRUE(item.x >= e[0] - 1e-3f && item.x <= e[2] + 1e-3f && item.y >= e[1] - 1e-3f &&
                        item.y <= e[3] + 1e-3f);
            bool curveEnd = i > 0 && !(path.items[i - 1].flags & 0x01);
            if (curveEnd) {
                ASSERT_GE(i, 3u);
                EXPECT_FALSE(path.items[i - 2].flags & 0x01);
                EXPECT_TRUE(path.items[i - 3].flags & 0x01);
            }
        }
        plot[0] = std::min(plot[0], e[0]);
        plot[1] = std::min(plot[1], e[1]);
        plot[2] = std::max(plot[2], e[2]);
        plot[3] = std::max(plot[3], e[3]);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(block.extent[i], plot[i]);
}

// Tests that read plot text through the module, loaded from the program folder.
class ImportModuleTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.loaded()); }

    // The block the text gives, checked to be well formed; an empty block (and a failure) when the
    // filter gave none.
    Block read(const std::string& text) const
    {
        std::optional<Block> block = module.readText(text);
        EXPECT_TRUE(block.has_value()) << text;
        if (!block)
            return {};
        expectWellFormed(*block);
        return *block;
    }

    static void expectItems(const std::vector<BlockItem>& actual, const std::vector<BlockItem>& expected)
    {
        ASSERT_EQ(actual.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("item " + std::to_string(i));
            EXPECT_NEAR(actual[i].x, expected[i].x, 1e-3);
            EXPECT_NEAR(actual[i].y, expected[i].y, 1e-3);
            EXPECT_EQ(actual[i].flags, expected[i].flags);
        }
    }

    ImportModule module;
};

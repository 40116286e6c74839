#include "platform/DynamicLibrary.h"
#include "platform/Hooks.h"
#include "plotdata/CDllLoader.h"
#include "plotdata/CImportFilter.h"
#include "plotdata/CPlot.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string missingLibrary = "/nonexistent-folder/Import.so";

// Installs hooks that record the message boxes and the wait cursor, and keeps the test filter loaded so
// that its call counter survives the loads and unloads of the code under test.
class ImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::Hooks hooks;
        hooks.messageBox = [this](const std::string& text, const std::string&, unsigned type) {
            boxes.push_back(text);
            boxTypes.push_back(type);
            return platform::IDOK;
        };
        hooks.beginWaitCursor = [this] { ++cursorDepth, ++cursorShown; };
        hooks.endWaitCursor = [this] { --cursorDepth; };
        platform::installHooks(hooks);

        filter = platform::loadLibrary(TEST_FILTER_PATH);
        ASSERT_NE(filter, nullptr) << platform::lastLibraryError();
        calls = static_cast<int*>(platform::findSymbol(filter, "TestFilterCalls"));
        lastScale = static_cast<float*>(platform::findSymbol(filter, "TestFilterLastScale"));
        lastReserved = static_cast<std::uint32_t*>(platform::findSymbol(filter, "TestFilterLastReserved"));
        ASSERT_TRUE(calls && lastScale && lastReserved);
        *calls = 0;
    }
    void TearDown() override
    {
        platform::resetHooks();
        if (filter != nullptr)
            platform::freeLibrary(filter);
    }

    int load(std::unique_ptr<CPlot>& plot, const std::string& mode,
             const std::string& library = TEST_FILTER_PATH)
    {
        return loadPlot(plot, mode, library);
    }

    std::vector<std::string> boxes;
    std::vector<unsigned> boxTypes;
    int cursorDepth = 0;
    int cursorShown = 0;
    platform::LibraryHandle filter = nullptr;
    int* calls = nullptr;
    float* lastScale = nullptr;
    std::uint32_t* lastReserved = nullptr;
};

} // namespace

// Short texts are shown whole. In long ones the path gives way to the reason; both are cut at character
// boundaries, and the end of the path, which names the library, is what stays.
TEST(LoadFailureMessage, ShortTextsAreShownWholeAndLongOnesCutToFit)
{
    EXPECT_EQ(formatLoadFailure("Import.dll", "No such file"), " [Import.dll] 打开失败!\nNo such file");

    std::string path = "/";
    while (path.size() < 300)
        path += "目录/";
    path += "Import.dll";
    const std::string text = formatLoadFailure(path, "无" + std::string(150, 'r'));

    EXPECT_LE(text.size(), LOAD_FAILURE_MESSAGE_SIZE - 1);
    EXPECT_GE(text.size(), LOAD_FAILURE_MESSAGE_SIZE - 1 - 2);
    const std::string tail = "/Import.dll] 打开失败!\n无" + std::string(LOAD_FAILURE_REASON_MAX - 3, 'r');
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.substr(0, 5), " [...");
    EXPECT_NE(static_cast<unsigned char>(text[5]) & 0xC0, 0x80);

    EXPECT_EQ(formatLoadFailure("a.dll", std::string(98, 'x') + "无"),
              " [a.dll] 打开失败!\n" + std::string(98, 'x'));
}

TEST_F(ImportTest, LoaderLoadsResolvesAndReplacesItsLibrary)
{
    CDllLoader loader;
    ASSERT_NE(loader.load(TEST_FILTER_PATH), nullptr);
    EXPECT_EQ(loader.path(), TEST_FILTER_PATH);
    EXPECT_NE(loader.resolve("NFilterRead"), nullptr);
    EXPECT_EQ(loader.resolve("GetVersion"), nullptr);

    ASSERT_NE(loader.load(NO_ENTRY_MODULE_PATH), nullptr);
    EXPECT_EQ(loader.path(), NO_ENTRY_MODULE_PATH);
    EXPECT_EQ(loader.resolve("NFilterRead"), nullptr);
    EXPECT_NE(loader.resolve("NotAFilter"), nullptr);

    // A failed load leaves nothing loaded, not the previous library, and says so once.
    EXPECT_EQ(loader.load(missingLibrary), nullptr);
    EXPECT_EQ(loader.resolve("NotAFilter"), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind(" [" + missingLibrary + "] 打开失败!\n", 0), 0u) << boxes[0];
    EXPECT_EQ(boxTypes[0], platform::MB_OK);
}

TEST_F(ImportTest, FilterBindsItsEntryPointsWithoutReportingMissingOnes)
{
    CImportFilter importFilter;
    EXPECT_EQ(importFilter.library().path(), "Import.dll");
    ASSERT_NE(importFilter.bind(TEST_FILTER_PATH), nullptr);
    EXPECT_NE(importFilter.NFilterRead, nullptr);

    ASSERT_NE(importFilter.bind(NO_ENTRY_MODULE_PATH), nullptr);
    EXPECT_EQ(importFilter.NFilterRead, nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ImportTest, ValidBlockLoadsOnceWithTheFixedScale)
{
    std::unique_ptr<CPlot> plot;
    EXPECT_EQ(load(plot, "valid"), RESULT_OK);
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->count(), 1);
    EXPECT_EQ(*calls, 1);
    EXPECT_EQ(*lastScale, 0.025f);
    EXPECT_EQ(*lastReserved, 0u);

    const CPlot* first = plot.get();
    EXPECT_EQ(load(plot, "valid"), RESULT_OK);
    EXPECT_EQ(plot.get(), first);
    EXPECT_EQ(*calls, 1);

    EXPECT_EQ(cursorShown, 2);
    EXPECT_EQ(cursorDepth, 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ImportTest, FailuresOfTheFilterAndItsBlockAreResultCodes)
{
    struct Case {
        const char* mode;
        int result;
    };
    for (const Case& c :
         {Case{"no-marker", RESULT_DATA_BUILD_FAILED}, Case{"truncated", RESULT_DATA_BUILD_FAILED},
          Case{"null", RESULT_FILTER_READ_FAILED}}) {
        std::unique_ptr<CPlot> plot;
        EXPECT_EQ(load(plot, c.mode), c.result) << c.mode;
        EXPECT_FALSE(plot) << c.mode;
    }
    EXPECT_EQ(*calls, 3);
    EXPECT_EQ(cursorDepth, 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ImportTest, UnusableLibraryIsReportedAndTheFilterNotCalled)
{
    for (const std::string& library : {missingLibrary, std::string(NO_ENTRY_MODULE_PATH)}) {
        boxes.clear();
        std::unique_ptr<CPlot> plot;
        EXPECT_EQ(load(plot, "valid", library), RESULT_LIBRARY_FAILED) << library;
        EXPECT_FALSE(plot);
        ASSERT_EQ(boxes.size(), 1u) << library;
        EXPECT_EQ(boxes[0].rfind(" [" + library + "] 打开失败!\n", 0), 0u) << boxes[0];
    }
    EXPECT_EQ(*calls, 0);
    EXPECT_EQ(cursorDepth, 0);
}

#pragma once

#include "MissingInput.h"

#include "plotdata/CPlot.h"
#include "plotdata/LoadPlot.h"
#include "plotdata/ResultCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The names of the real plot files (the folder's notes aside), sorted; none when the folder is missing.
inline std::vector<std::string> realPlotFiles()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const std::filesystem::directory_entry& entry :
         std::filesystem::directory_iterator(MARQUILL_PLOTS_DIR, error))
        if (entry.path().extension() != ".md")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A test run once for every real plot file, which SetUp reads through the import filter into plot.
class RealPlotTest : public testing::TestWithParam<std::string> {
protected:
    const std::filesystem::path filter = std::filesystem::path(MARQUILL_BIN_DIR) / "Import.so";
    std::unique_ptr<CPlot> plot;

    void SetUp() override
    {
        if (!std::filesystem::exists(filter))
            SKIP_WITHOUT_INPUT("no import filter " << filter);
        ASSERT_EQ(loadPlot(plot, (std::filesystem::path(MARQUILL_PLOTS_DIR) / GetParam()).string(),
                           filter.string()),
                  RESULT_OK);
        ASSERT_TRUE(plot);
    }
};

// A test's name for a real plot file: the file's name with every character but letters and digits as '_'.
inline std::string realPlotTestName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& c : name)
        if (std::isalnum(static_cast<unsigned char>(c)) == 0)
            c = '_';
    return name;
}

// Runs the tests of a RealPlotTest suite once for every real plot file.
#define INSTANTIATE_REAL_PLOT_TESTS(suite)                                                                   \
    INSTANTIATE_TEST_SUITE_P(RealPlots, suite, testing::ValuesIn(realPlotFiles()), realPlotTestName)

#pragma once

#include "jobs/ContentStamp.h"
#include "jobs/CopyEstimate.h"
#include "plotdata/CPlot.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct ServerSettings;

// One plot file known to the server: a row of the automatic or the manual list owns it.
struct CPlotJob {
    // Queue states; the row drawing and the run test these exact values.
    static constexpr std::uint16_t STATE_WAITING = 1;
    static constexpr std::uint16_t STATE_STANDBY = 2;
    static constexpr std::uint16_t STATE_FAILED = 0x4000;
    static constexpr std::uint16_t STATE_FINISHED = 0x8000;

    // Bits of options.
    static constexpr std::uint16_t OPTION_AUTO_FEED = 0x01;
    static constexpr std::uint16_t OPTION_ROTATE = 0x02;
    static constexpr std::uint16_t OPTION_MIRROR = 0x04;
    static constexpr std::uint16_t OPTION_HALF_CUT = 0x08;

    // Room of the path field, terminator included: longer paths cannot be jobs.
    static constexpr std::size_t PATH_SIZE = 300;

    std::uint16_t state = 0;
    // The file read into memory; empty until the job is first measured or plotted, and again once finished.
    std::unique_ptr<CPlot> plot;
    char path[PATH_SIZE] = {};
    std::int32_t copies = 1;
    std::int32_t copiesDone = 0;
    std::uint16_t options = OPTION_AUTO_FEED;
    // Millimetres along the media's length where plotting starts.
    std::uint32_t startOffset = 0;
    // Millimetres of one section; 0 plots the whole job as one section.
    std::uint32_t sectionLength = 500;
    std::uint32_t overlap = 10;
    // Measured extent in whole millimetres along x (the media's length) and y; length 0 = not measured.
    std::int32_t length = 0;
    std::int32_t width = 0;
    // Sections to plot; 0 = all.
    std::uint32_t sectionLimit = 0;
    // String id of the last copy's result; 0 = none.
    std::int32_t messageId = 0;
    // The result text filled in with what it names (the port that could not be opened); empty when the
    // text of messageId says it all.
    std::string messageText;
    // The file as its plot was loaded, and the journal's delivery of that content (0: none recorded).
    ContentStamp stamp;
    std::int64_t delivery = 0;
    // The estimate of the next copy last made for the job, and what it was made from (see jobEstimate).
    CopyEstimate estimate;
    std::string estimateKey;

    // A job for the file with the initial values the settings give (Section, OverLap, MirrorY, DashPlot).
    // Null when the path does not fit the path field.
    static std::unique_ptr<CPlotJob> create(std::string_view filePath, std::uint16_t initialState,
                                            const ServerSettings& settings);

    static bool pathFits(std::string_view filePath) { return filePath.size() < PATH_SIZE; }
};

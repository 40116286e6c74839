#pragma once

#include <QString>

#include <functional>

struct CPlotJob;

// Where the automatic list draws a row, from the row's left edge in pixels: the run-mode icon (running row
// only), the state icon, the half-cut icon and the feed icon, each 16 pixels wide, and the label that holds
// the path. A press on the icons between ICON_STATE and the label's left + 48 toggles the job's options.
namespace rowlayout {

constexpr int ICON_SIZE = 16;
constexpr int ICON_RUN_MODE = 0;
constexpr int ICON_STATE = 16;
constexpr int ICON_HALF_CUT = 32;
constexpr int ICON_AUTO_FEED = 50;
// The label starts after the state image; the path is drawn from 50 pixels into it.
constexpr int LABEL_LEFT = 18;
constexpr int PATH_INDENT = 50;
// Columns 1 to 4 are drawn from their left edge plus this margin.
constexpr int TEXT_MARGIN = 2;

// Indices of the 13 list icons: run modes 0 to 4, then the states, half cut and feed.
constexpr int ICON_INDEX_STANDBY = 5;
constexpr int ICON_INDEX_WAITING = 6;
constexpr int ICON_INDEX_FAILED = 7;
constexpr int ICON_INDEX_FINISHED = 8;
constexpr int ICON_INDEX_FEED_CLEAR = 9;
constexpr int ICON_INDEX_FEED_SET = 10;
constexpr int ICON_INDEX_HALF_CUT_SET = 11;
constexpr int ICON_INDEX_HALF_CUT_CLEAR = 12;
constexpr int LIST_ICON_COUNT = 13;

// The icon of a job's state: waiting, failed and finished have their own, any other state standby's.
int stateIconIndex(const CPlotJob& job);
int halfCutIconIndex(const CPlotJob& job);
int autoFeedIconIndex(const CPlotJob& job);

// The text as drawn in room pixels: unchanged when it fits, else characters are taken from its end until
// the rest followed by "..." fits. widthOf measures a text in pixels.
QString shortenedText(const QString& text, int room, const std::function<int(const QString&)>& widthOf);

} // namespace rowlayout

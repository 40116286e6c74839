#pragma once

#include <QRect>
#include <QSize>

#include <optional>

class CProfile;
class QMainWindow;
class QSplitter;

// Where the operator left the window: its place and size, whether it was maximised, the splitters and
// the size of the detail preview, kept in the [Window] section of Server.INI. The section is ours; the
// described settings do not know it.
class WindowPlacement {
public:
    static constexpr const char* SECTION = "Window";
    // The size of a first start, held to the screen.
    static constexpr int FIRST_WIDTH = 1024;
    static constexpr int FIRST_HEIGHT = 700;

    explicit WindowPlacement(CProfile& serverFile) : serverFile_(serverFile) {}

    // Places the window as it was left, or at the first start's size on the screen it opens on.
    void restoreWindow(QMainWindow& window) const;
    // The splitters' first sizes as they were left; false when none were kept.
    bool restoreSplitters(QSplitter& outer, QSplitter& inner) const;
    // Keeps the window's normal place and size, its maximised state and the splitters. False when
    // Server.INI could not be written.
    bool saveWindow(const QMainWindow& window, const QSplitter& outer, const QSplitter& inner) const;

    std::optional<QSize> previewSize() const;
    bool savePreviewSize(QSize size) const;

private:
    int read(const char* key) const;
    CProfile& serverFile_;
};

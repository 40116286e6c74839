#include "app/WindowPlacement.h"

#include "platform/CProfile.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSplitter>

namespace {

// What no kept value reads as.
constexpr int NONE = -1;

} // namespace

int WindowPlacement::read(const char* key) const { return serverFile_.getInt(SECTION, key, NONE); }

void WindowPlacement::restoreWindow(QMainWindow& window) const
{
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 700);
    const QRect kept(read("Left"), read("Top"), read("Width"), read("Height"));
    // A place kept on a screen that is no longer there opens on this one at the kept size.
    if (kept.width() > 0 && kept.height() > 0) {
        const QSize size = kept.size().boundedTo(available.size());
        bool onScreen = false;
        for (const QScreen* each : QGuiApplication::screens())
            onScreen = onScreen || each->availableGeometry().intersects(QRect(kept.topLeft(), size));
        window.resize(size);
        window.move(onScreen ? kept.topLeft() : available.topLeft());
        if (read("Maximized") == 1)
            window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    window.resize(QSize(FIRST_WIDTH, FIRST_HEIGHT).boundedTo(available.size()));
}

bool WindowPlacement::restoreSplitters(QSplitter& outer, QSplitter& inner) const
{
    const int top = read("TopRow");
    const int bottom = read("BottomRow");
    const int left = read("LeftColumn");
    const int right = read("RightColumn");
    if (top <= 0 || bottom <= 0 || left <= 0 || right <= 0)
        return false;
    outer.setSizes({top, bottom});
    inner.setSizes({left, right});
    return true;
}

bool WindowPlacement::saveWindow(const QMainWindow& window, const QSplitter& outer,
                                 const QSplitter& inner) const
{
    const QRect normal = window.normalGeometry();
    bool written = true;
    const auto write = [this, &written](const char* key, int value) {
        written = serverFile_.setInt(SECTION, key, value) && written;
    };
    write("Left", normal.x());
    write("Top", normal.y());
    write("Width", normal.width());
    write("Height", normal.height());
    write("Maximized", window.isMaximized() ? 1 : 0);
    const QList<int> rows = outer.sizes();
    const QList<int> columns = inner.sizes();
    if (rows.size() == 2 && columns.size() == 2) {
        write("TopRow", rows[0]);
        write("BottomRow", rows[1]);
        write("LeftColumn", columns[0]);
        write("RightColumn", columns[1]);
    }
    return written;
}

std::optional<QSize> WindowPlacement::previewSize() const
{
    const QSize size(read("PreviewWidth"), read("PreviewHeight"));
    if (size.width() <= 0 || size.height() <= 0)
        return std::nullopt;
    return size;
}

bool WindowPlacement::savePreviewSize(QSize size) const
{
    const bool width = serverFile_.setInt(SECTION, "PreviewWidth", size.width());
    return serverFile_.setInt(SECTION, "PreviewHeight", size.height()) && width;
}

#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
struct CopyProgress;

// The status bar's pane for the copy in output, read at a glance: which copy of how many, the per cent
// of its stream sent as a bar, and the plotting time left. Hidden while no copy runs.
class CCopyProgressPane : public QWidget {
    Q_OBJECT
public:
    explicit CCopyProgressPane(QWidget* parent = nullptr);

    // Shows the copy's progress, or hides the pane once the copy is over.
    void showProgress(const CopyProgress& progress);

    QString copyText() const;
    int percent() const;
    QString timeLeftText() const;

private:
    QLabel* copy_;
    QProgressBar* sent_;
    QLabel* left_;
};

#pragma once

#include "ui/views/CJobListWidget.h"

class CAutoJobList;

// The automatic list, the plotting queue: owner-drawn rows with the run-mode, state, half-cut and feed
// icons. A press on the state, half-cut or feed icon of a row that is not running toggles the job's option
// and leaves the selection where it is.
class CAutoChildView : public CJobListWidget {
    Q_OBJECT
public:
    CAutoChildView(CAutoJobList& list, CJobListModel& model, QWidget* parent = nullptr);

    // The left edge of the row's label, in viewport coordinates.
    int labelLeft(int row) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void refreshRow(int row) override;

private:
    bool isOnToggle(const QPoint& point) const;

    CAutoJobList& list_;
};

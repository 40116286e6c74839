#pragma once

#include "jobs/CopyProgress.h"

#include <string>

// What a job list tells the window that shows it. The window draws from the list; the command-line tool
// and the tests implement only what they need. Every notification does nothing unless overridden.
class CJobListView {
public:
    virtual ~CJobListView() = default;

    // Told before and after rows are inserted or removed, so that an item model can follow the list.
    virtual void rowsAboutToBeInserted(int /*first*/, int /*count*/) {}
    virtual void rowsInserted(int /*first*/, int /*count*/) {}
    virtual void rowsAboutToBeRemoved(int /*first*/, int /*count*/) {}
    // The row's record or texts changed: redraw it.
    virtual void rowChanged(int /*row*/) {}
    virtual void rowsRemoved(int /*first*/, int /*count*/) {}
    // The selected row, -1 for none.
    virtual void selectionChanged(int /*row*/) {}
    // The running row's progress text changed; the window repaints it at once, in the middle of a copy.
    virtual void progressText(int /*row*/, const std::string& /*text*/) {}
    // The device has taken nothing for a while in the running row's copy; the text, which is also the
    // row's progress text, says how much of the copy is out.
    virtual void deviceStalled(int /*row*/, const std::string& /*text*/) {}
    // How far the running row's copy is: told when it starts (nothing sent yet), as it goes on, and once
    // more with running false when it is over.
    virtual void copyProgress(int /*row*/, const CopyProgress& /*progress*/) {}
    // The row's job did not fit on the media left on the roll and waits in standby.
    virtual void mediaShort(int /*row*/) {}
    // The remaining-media text of the status bar.
    virtual void statusText(const std::string& /*text*/) {}
    virtual void bringToTop() {}
    virtual void beep() {}
    // Queues a command for the list, handled after the current message returns.
    virtual void postCommand(int /*id*/) {}
};

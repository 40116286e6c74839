#include "ui/delegates/RowLayout.h"

#include "jobs/CPlotJob.h"

namespace rowlayout {

int stateIconIndex(const CPlotJob& job)
{
    switch (job.state) {
    case CPlotJob::STATE_WAITING:
        return ICON_INDEX_WAITING;
    case CPlotJob::STATE_FAILED:
        return ICON_INDEX_FAILED;
    case CPlotJob::STATE_FINISHED:
        return ICON_INDEX_FINISHED;
    default:
        return ICON_INDEX_STANDBY;
    }
}

int halfCutIconIndex(const CPlotJob& job)
{
    return (job.options & CPlotJob::OPTION_HALF_CUT) ? ICON_INDEX_HALF_CUT_SET : ICON_INDEX_HALF_CUT_CLEAR;
}

int autoFeedIconIndex(const CPlotJob& job)
{
    return (job.options & CPlotJob::OPTION_AUTO_FEED) ? ICON_INDEX_FEED_SET : ICON_INDEX_FEED_CLEAR;
}

QString shortenedText(const QString& text, int room, const std::function<int(const QString&)>& widthOf)
{
    if (widthOf(text) <= room)
        return text;
    static const QString ellipsis = QStringLiteral("...");
    // Cut whole characters only: a surrogate pair is never split.
    QString rest = text;
    while (!rest.isEmpty()) {
        rest.chop(rest.size() >= 2 && rest.back().isLowSurrogate() ? 2 : 1);
        if (widthOf(rest + ellipsis) <= room)
            break;
    }
    return rest + ellipsis;
}

} // namespace rowlayout

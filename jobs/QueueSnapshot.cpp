#include "jobs/QueueSnapshot.h"

#include "jobs/CAutoJobList.h"
#include "output/ServerSettings.h"

QueueSnapshot takeSnapshot(const CAutoJobList& list, const ServerSettings& settings,
                           const std::string& device)
{
    QueueSnapshot snapshot;
    snapshot.device = device;
    snapshot.mediaLeft = settings.REMAINMEDIALENGTH;
    snapshot.inchUnits = settings.unit == 1;
    snapshot.taken = std::time(nullptr);
    snapshot.jobs.reserve(static_cast<std::size_t>(list.rowCount()));
    for (int row = 0; row < list.rowCount(); ++row) {
        const CPlotJob* job = list.jobAt(row);
        if (job == nullptr)
            continue;
        snapshot.jobs.push_back({.path = job->path,
                                 .stateText = list.stateColumnText(row),
                                 .state = job->state,
                                 .running = row == list.runningJob(),
                                 .copies = job->copies,
                                 .copiesDone = job->copiesDone,
                                 .length = job->length,
                                 .width = job->width});
    }
    return snapshot;
}

void SharedQueueSnapshot::publish(QueueSnapshot snapshot)
{
    auto published = std::make_shared<const QueueSnapshot>(std::move(snapshot));
    const std::lock_guard lock(mutex_);
    latest_ = std::move(published);
}

std::shared_ptr<const QueueSnapshot> SharedQueueSnapshot::latest() const
{
    const std::lock_guard lock(mutex_);
    return latest_;
}

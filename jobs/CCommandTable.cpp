#include "jobs/CCommandTable.h"

#include "jobs/CAutoJobList.h"
#include "jobs/CIntake.h"
#include "jobs/CPlotRun.h"
#include "jobs/JobCommandIds.h"
#include "output/CPlotterDevice.h"

#include <algorithm>

void CCommandTable::add(JobCommand command) { commands_.push_back(std::move(command)); }

void CCommandTable::setHandler(int id, std::function<void()> handler)
{
    const auto found =
        std::find_if(commands_.begin(), commands_.end(), [id](const JobCommand& c) { return c.id == id; });
    if (found != commands_.end())
        found->handler = std::move(handler);
}

const JobCommand* CCommandTable::find(int id) const
{
    const auto found =
        std::find_if(commands_.begin(), commands_.end(), [id](const JobCommand& c) { return c.id == id; });
    return found == commands_.end() ? nullptr : &*found;
}

bool CCommandTable::handles(int id) const
{
    const JobCommand* command = find(id);
    return command != nullptr && command->handler != nullptr;
}

bool CCommandTable::isCommandEnabled(int id) const
{
    const JobCommand* command = find(id);
    return command != nullptr && command->handler != nullptr &&
           (!command->enableRule || command->enableRule());
}

bool CCommandTable::execute(int id) const
{
    if (!isCommandEnabled(id))
        return false;
    // The handler may change the table's owner; run a copy of it.
    const std::function<void()> handler = find(id)->handler;
    handler();
    return true;
}

CCommandTable automaticListCommands(CAutoJobList& list, CPlotRun& run, CIntake& intake,
                                    const CPlotterDevice& device)
{
    const auto modeIsNot = [&list](int mode) { return [&list, mode] { return list.runMode() != mode; }; };
    const auto rowSelected = [&list] { return list.selectedRow() >= 0; };

    CCommandTable table;
    table.add({ID_PLOT_START, ID_PLOT_START, [&run] { run.startOneJob(); }, modeIsNot(RUN_ONE_JOB)});
    table.add({ID_PLOT_START_PAGE_PAUSE, ID_PLOT_START_PAGE_PAUSE, [&run] { run.startWithPagePause(); },
               modeIsNot(RUN_PAGE_PAUSE)});
    table.add({ID_PLOT_AUTOMATIC, ID_PLOT_AUTOMATIC, [&run] { run.startAutomaticSequence(); },
               modeIsNot(RUN_AUTOMATIC)});
    table.add({ID_PLOT_PAUSE, ID_PLOT_PAUSE, [&run] { run.pause(); }, {}});
    table.add({ID_PLOT_STOP, ID_PLOT_STOP, [&run] { run.stop(); }, {}});
    table.add({ID_RUN, 0, [&run] { run.run(); }, {}});
    table.add({ID_JOB_DELETE, ID_JOB_DELETE, [&list] { list.deleteSelectedJob(); }, rowSelected});
    table.add({ID_JOB_DELETE_ALL, ID_JOB_DELETE_ALL, [&run] { run.deleteAllJobs(); },
               [&list] { return list.rowCount() > 0; }});
    table.add({ID_ADD_COPY, ID_ADD_COPY, [&list] { list.addCopy(); }, rowSelected});
    table.add({ID_REMOVE_COPY, ID_REMOVE_COPY, [&list] { list.removeCopy(); },
               [&list] {
                   const CPlotJob* job = list.jobAt(list.selectedRow());
                   return job != nullptr && job->copiesDone < job->copies;
               }});
    table.add({ID_FIND_PLOT_DATA, ID_FIND_PLOT_DATA, [&intake] { intake.pollAutomatic(); }, {}});
    table.add({ID_CLEAN_TEMPORARY, 0, [&list] { cleanTemporary(list); }, {}});
    table.add({ID_PATH_SETTINGS, ID_PATH_SETTINGS, {}, {}});
    table.add({ID_RELOAD_MEDIA, 0, {}, {}});
    // Also refused while a stopped copy is still unwinding: its settings are in use until it returns.
    table.add({ID_OUTPUT_SETTINGS, 0, {}, [&list, &device] {
                   return list.runningJob() < 0 && !device.isOutputting();
               }});
    return table;
}

CCommandTable manualListCommands(CIntake& intake)
{
    CCommandTable table;
    table.add({ID_SEND_TO_AUTOMATIC, ID_SEND_TO_AUTOMATIC, [&intake] { intake.sendToAutomatic(); }, {}});
    table.add({ID_FIND_PLOT_DATA, ID_FIND_PLOT_DATA, [&intake] { intake.pollManual(); }, {}});
    return table;
}

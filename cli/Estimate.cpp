#include "cli/Estimate.h"

#include "cli/ConsoleView.h"
#include "cli/Options.h"
#include "jobs/CAutoJobList.h"
#include "jobs/CopyEstimate.h"
#include "jobs/JobPlot.h"
#include "jobs/JobTexts.h"
#include "jobs/StartupSettings.h"
#include "output/PlotTimeMeter.h"
#include "plotdata/ResultCodes.h"
#include "ports/CPlotPort.h"

#include <string>

int printEstimates(CAutoJobList& list, StartupSettings& settings, const PlotOptions& options, std::FILE* out)
{
    const std::string portName = options.port.empty() ? std::string(settings.cutInfo.Port) : options.port;
    CPlotPort& port = *settings.device.port;
    port.SelectPort(portName.c_str());
    const PlotTimeModel model = plotTimeModel(settings.device, settings.cutInfo, port.settings, portName);
    int status = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        CPlotJob* job = list.jobAt(row);
        if (job == nullptr)
            continue;
        const int loaded = loadJobPlot(*job);
        if (loaded != RESULT_OK || !job->plot) {
            job->messageId = loaded != RESULT_OK ? loaded : RESULT_DATA_BUILD_FAILED;
            job->state = CPlotJob::STATE_FAILED;
            std::fprintf(stderr, "marquill-plot: %s: %s\n", printableName(job->path).c_str(),
                         printableName(stateText(*job)).c_str());
            status = 1;
            continue;
        }
        const CopyEstimate estimate =
            estimateCopy(*job, settings.server, settings.cutInfo, settings.device, model);
        if (!estimate.valid) {
            std::fprintf(stderr, "marquill-plot: %s: nothing of it lies on the media\n",
                         printableName(job->path).c_str());
            status = 1;
            continue;
        }
        std::string line = printableName(job->path) + ": " + plotTimeText(estimate.seconds);
        if (copiesToPlot(*job) > 1)
            line += " a copy, " + plotTimeText(jobSeconds(*job, estimate)) + " for " +
                    std::to_string(copiesToPlot(*job)) + " copies";
        line += " (" + std::to_string(estimate.bytes) + " bytes; line " + plotTimeText(estimate.lineSeconds) +
                ", pen " + plotTimeText(estimate.mechanismSeconds) + ")";
        std::fprintf(out, "%s\n", line.c_str());
    }
    return status;
}

// The server's side of a device that is off or unplugged: the jobs it could not take wait for it, and the
// port is tried again at every scan.

#include "cli/CPlotServer.h"
#include "cli/OutputFolderPort.h"
#include "cli/ServerLog.h"
#include "platform/PathMapping.h"
#include "plotdata/ResultCodes.h"
#include "ports/PortKind.h"

#include <sys/stat.h>

namespace {

// Whether the port names a device (a COM or LPT port, or a path that is no regular file: a device node,
// also one that went with its unplugged adapter) rather than a file: a file that cannot be written (a
// full disk) is a failure of the job, a device that is gone is not.
bool namesDevice(const char* portName)
{
    const int kind = classifyPortName(portName);
    if (kind == kFilePort)
        return false;
    if (kind != kOtherPort)
        return true;
    struct stat status = {};
    return ::stat(platform::toFileSystemPath(portName).c_str(), &status) != 0 || !S_ISREG(status.st_mode);
}

} // namespace

// A copy that could not open the port, or whose device hung up, leaves its job waiting for the device with
// the reason as its text, instead of failing it for good. True when a job was held: the run ended there,
// and the other waiting jobs would meet the same port.
bool CPlotServer::holdJobsForDevice()
{
    bool held = false;
    for (int row = 0; row < list_.rowCount(); ++row) {
        CPlotJob* job = list_.jobAt(row);
        if (job == nullptr || job->state != CPlotJob::STATE_FAILED)
            continue;
        const bool portFailed =
            job->messageId == RESULT_PORT_OPEN_FAILED ||
            (job->messageId == RESULT_PORT_WRITE_FAILED && namesDevice(port_->portName()));
        if (!portFailed)
            continue;
        job->state = CPlotJob::STATE_STANDBY;
        seen_[row] = {job->state, job->messageId};
        list_.refreshRow(row);
        held = true;
        portOffline_ = true;
        // Said once for as long as the device stays away for the same reason.
        std::string& said = deviceWaits_[job->path];
        if (said != job->messageText) {
            logEvent(std::string("job waiting for the device, tried again at every scan: ") + job->path +
                     ": " + job->messageText);
            readFailures();
        }
        said = job->messageText;
    }
    return held;
}

void CPlotServer::retryJobsForDevice()
{
    for (int row = 0; row < list_.rowCount(); ++row) {
        CPlotJob* job = list_.jobAt(row);
        if (job == nullptr || deviceWaits_.count(job->path) == 0)
            continue;
        if (job->state != CPlotJob::STATE_STANDBY ||
            (job->messageId != RESULT_PORT_OPEN_FAILED && job->messageId != RESULT_PORT_WRITE_FAILED)) {
            deviceWaits_.erase(job->path);
            continue;
        }
        job->state = CPlotJob::STATE_WAITING;
        seen_[row] = {job->state, job->messageId};
        list_.refreshRow(row);
    }
}

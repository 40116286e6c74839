#include "net/IppPrinter.h"

#include "net/ReceivedFile.h"
#include "net/SignIn.h"
#include "plotdata/HpglSniff.h"

#include <fcntl.h>
#include <unistd.h>

#include <pappl/pappl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <optional>
#include <vector>

namespace {

constexpr const char* NOT_HPGL_FORMAT = "application/x-not-hpgl";
constexpr const char* DRIVER_NAME = "hpgl";
constexpr int MAX_WAITING_JOBS = 500;

// The documents of a job are handed to the queue as they are: the printer's own format is HP-GL. The job
// is processing until the queue has plotted it.
bool printFile(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*)
{
    pappl_pr_driver_data_t data = {};
    papplPrinterGetDriverData(papplJobGetPrinter(job), &data);
    auto* printer = static_cast<IppPrinter*>(data.extension);
    const char* name = papplJobGetName(job);
    const char* document = papplJobGetFilename(job);
    // A job canceled as its processing began has no document any more.
    if (document == nullptr || papplJobIsCanceled(job))
        return false;
    if (const auto earlier = printer->takeUpAgain(job))
        return printer->follow(job, earlier->path, earlier->copies);
    std::string why;
    const std::string path = printer->deliver(document, name != nullptr ? name : "", why);
    if (path.empty()) {
        papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
        printer->keepEndMessage(job, "Not plotted: " + why);
        return false;
    }
    ipp_attribute_t* copies = papplJobGetAttribute(job, "copies");
    return printer->follow(job, path, copies != nullptr ? std::max(ippGetInteger(copies, 0), 1) : 1);
}

// The system asks every printer for raster callbacks. A plotter takes no raster: a raster or image job
// ends aborted.
bool refuseRaster(pappl_job_t*, pappl_pr_options_t*, pappl_device_t*) { return false; }
bool refuseRasterPage(pappl_job_t*, pappl_pr_options_t*, pappl_device_t*, unsigned) { return false; }
bool refuseRasterLine(pappl_job_t*, pappl_pr_options_t*, pappl_device_t*, unsigned, const unsigned char*)
{
    return false;
}

// Every undeclared document is typed here, so that the system never takes one for an image of its own
// accord: anything not HP-GL gets a type that no filter takes, and its job ends.
const char* detectFormat(const unsigned char* header, std::size_t size, void*)
{
    return looksLikeHpgl(header, size) ? IppPrinter::HPGL_FORMAT : NOT_HPGL_FORMAT;
}

// The system's own image filters would make raster of a declared JPEG or PNG document; these filters to
// the printer's own format come first and end such a job at once. (The PNG filter of the library's
// version 1.3 never ends on a damaged file.)
bool refuseImage(pappl_job_t* job, pappl_device_t*, void*)
{
    papplJobSetMessage(job, "Not plotted: images are not HP-GL.");
    return false;
}

// With a PAM service set, submitting and looking stay open to anyone, as on a network printer; what the
// system keeps for the administrators' group needs a member of it who signs in. (Left to itself the
// library would ask every client to sign in, submitting jobs too.)
http_status_t authorize(pappl_client_t* client, const char* group, gid_t groupId, void* pamService)
{
    if (group == nullptr || *group == '\0')
        return HTTP_STATUS_CONTINUE;
    const char* header = httpGetField(papplClientGetHTTP(client), HTTP_FIELD_AUTHORIZATION);
    const std::optional<Credentials> credentials = basicCredentials(header != nullptr ? header : "");
    if (!credentials || !pamAccepts(*static_cast<const std::string*>(pamService), *credentials))
        return HTTP_STATUS_UNAUTHORIZED;
    return isGroupMember(credentials->user, groupId) ? HTTP_STATUS_CONTINUE : HTTP_STATUS_FORBIDDEN;
}

bool describeDriver(pappl_system_t*, const char*, const char*, const char*, pappl_pr_driver_data_t* data,
                    ipp_t**, void* printer)
{
    data->extension = printer;
    data->printfile_cb = printFile;
    data->rstartjob_cb = refuseRaster;
    data->rendjob_cb = refuseRaster;
    data->rstartpage_cb = refuseRasterPage;
    data->rendpage_cb = refuseRasterPage;
    data->rwriteline_cb = refuseRasterLine;
    data->raster_types = PAPPL_PWG_RASTER_TYPE_BLACK_1;
    data->format = IppPrinter::HPGL_FORMAT;
    std::strncpy(data->make_and_model, "Marquill HP-GL plotter", sizeof data->make_and_model - 1);
    data->kind = PAPPL_KIND_LARGE_FORMAT;
    // A plot is drawn in its own coordinates; IPP/1.1 clients still expect one of the four orientations.
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->ppm = 1;
    data->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_MONOCHROME;
    data->color_default = PAPPL_COLOR_MODE_MONOCHROME;
    data->num_resolution = 1;
    data->x_resolution[0] = data->y_resolution[0] = 1016;
    data->x_default = data->y_default = 1016;
    data->num_media = 1;
    data->media[0] = "roll_max_36x1000in";
    data->num_source = 1;
    data->source[0] = "main-roll";
    std::strncpy(data->media_default.size_name, "roll_max_36x1000in",
                 sizeof data->media_default.size_name - 1);
    std::strncpy(data->media_default.source, "main-roll", sizeof data->media_default.source - 1);
    data->media_default.size_width = 91440;
    data->media_default.size_length = 2540000;
    data->num_type = 1;
    data->type[0] = "continuous";
    std::strncpy(data->media_default.type, "continuous", sizeof data->media_default.type - 1);
    data->media_ready[0] = data->media_default;
    return true;
}

} // namespace

IppPrinter::IppPrinter(Setup setup, NetLog log) : setup_(std::move(setup)), log_(std::move(log)) {}

IppPrinter::~IppPrinter()
{
    // A job waiting for the queue lets go, so that the system can end.
    if (setup_.board != nullptr)
        setup_.board->shut();
    if (thread_.joinable()) {
        papplSystemShutdown(system_);
        thread_.join();
    }
    if (system_ != nullptr)
        papplSystemDelete(system_);
}

bool IppPrinter::start(std::string& error)
{
    // Errors of the system go to standard error; the server's own log tells of the jobs. No web pages and
    // no TLS yet: there is no authentication to guard the pages' settings.
    system_ = papplSystemCreate(PAPPL_SOPTIONS_NO_TLS, "Marquill", setup_.port, nullptr,
                                setup_.spoolFolder.c_str(), "-", PAPPL_LOGLEVEL_ERROR,
                                setup_.pamService.empty() ? nullptr : setup_.pamService.c_str(), false);
    if (system_ == nullptr) {
        error = "cannot make the IPP system";
        return false;
    }
    if (!setup_.adminGroup.empty())
        papplSystemSetAdminGroup(system_, setup_.adminGroup.c_str());
    if (!setup_.pamService.empty())
        papplSystemSetAuthCallback(system_, "Basic", authorize, &setup_.pamService);
    if (!papplSystemAddListeners(system_, setup_.address.c_str())) {
        error = "cannot listen on " + setup_.address + ":" + std::to_string(setup_.port);
        return false;
    }
    pappl_pr_driver_t driver = {DRIVER_NAME, "HP-GL plotter", nullptr, nullptr};
    papplSystemSetPrinterDrivers(system_, 1, &driver, nullptr, nullptr, describeDriver, this);
    papplSystemSetMIMECallback(system_, detectFormat, this);
    for (const char* image : {"image/jpeg", "image/png"})
        papplSystemAddMIMEFilter(system_, image, IppPrinter::HPGL_FORMAT, refuseImage, nullptr);
    printer_ = papplPrinterCreate(system_, 0, setup_.printerName.c_str(), DRIVER_NAME,
                                  "MFG:Marquill;MDL:HP-GL plotter;CMD:HPGL;", "file:///dev/null");
    if (printer_ == nullptr) {
        error = "cannot make the IPP printer " + setup_.printerName;
        return false;
    }
    // Jobs wait in the system while the queue plots the one before them (the library's default takes one
    // at a time and answers busy to the next client); beyond this many a client is told to come back.
    papplPrinterSetMaxActiveJobs(printer_, MAX_WAITING_JOBS);
    if (!setup_.journalFolder.empty())
        journal_ = std::make_unique<NetworkJobJournal>(setup_.journalFolder);
    if (addPages_)
        addPages_(system_);
    // The timer runs in the system's loop, first after the system has set up its signal handlers, then
    // every second so that the loop notices a shutdown at once rather than at its next half-minute wake-up.
    papplSystemAddTimerCallback(
        system_, 0, 1,
        [](pappl_system_t*, void* printer) {
            static_cast<IppPrinter*>(printer)->noteRunning();
            static_cast<IppPrinter*>(printer)->showPrinterState();
            static_cast<IppPrinter*>(printer)->showEndMessages();
            return true;
        },
        this);
    std::future<void> runs = running_.get_future();
    // A stop signal that reaches the system as it starts ends it before its first timer: the wait ends
    // then too, rather than after its ten seconds.
    thread_ = std::thread([this] {
        papplSystemRun(system_);
        if (!runningNoted_.exchange(true)) {
            stoppedAsItStarted_ = true;
            running_.set_value();
        }
    });
    if (runs.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        error = "the IPP system did not start";
        return false;
    }
    if (stoppedAsItStarted_) {
        error = "the IPP system was stopped as it started";
        return false;
    }
    return true;
}

void IppPrinter::noteRunning()
{
    if (runningNoted_.exchange(true))
        return;
    // Jobs are taken up again once the system processes jobs, before the server goes on.
    restoreJobs();
    running_.set_value();
}

std::string IppPrinter::deliver(const std::string& documentPath, const std::string& jobName, std::string& why)
{
    const int in = ::open(documentPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        why = "the document cannot be read.";
        log_("IPP job lost: cannot read " + documentPath);
        return "";
    }
    ReceivedFile file(setup_.receiveFolder);
    std::vector<unsigned char> buffer(64 * 1024);
    ssize_t got = 0;
    std::uint64_t total = 0;
    bool first = true;
    while ((got = ::read(in, buffer.data(), buffer.size())) > 0) {
        if (first && !looksLikeHpgl(buffer.data(), static_cast<std::size_t>(got))) {
            ::close(in);
            why = "the document is not HP-GL.";
            log_("IPP job refused: not HP-GL: " + jobName);
            return "";
        }
        first = false;
        total += static_cast<std::uint64_t>(got);
        if (setup_.maxJobBytes > 0 && total > setup_.maxJobBytes) {
            ::close(in);
            why = "the document is larger than the " + std::to_string(setup_.maxJobBytes) + " bytes allowed.";
            log_("IPP job refused: larger than the limit: " + jobName);
            return "";
        }
        if (!file.write(buffer.data(), static_cast<std::size_t>(got)))
            break;
    }
    ::close(in);
    std::string path = got == 0 ? file.deliver(jobName) : "";
    if (path.empty())
        why = "the job could not be written into the receive folder.";
    log_(path.empty() ? "IPP job lost: cannot write it into " + setup_.receiveFolder
                      : "IPP job received: " + path);
    return path;
}

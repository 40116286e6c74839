#include "res/strings/EnglishStrings.h"

#include <algorithm>

namespace strings {
namespace {

// clang-format off
constexpr StringEntry table[] = {
    // Window titles of the editions and of the application
    {128, "Plotter Output Manager V0.05"},
    {129, "Kestrava Output Center V0.05"},
    {130, "Lunetto Plot Output Center V0.05"},
    {131, "Vestora Output Manager V0.05"},
    {57344, "Plot Manager"},
    // Status bar
    {20600, "Ready"},
    {20601, "The plotter is receiving data: stop the output before closing"},
    {20602, "The plotter is receiving data: stop the output before switching the language"},
    {20603, "The main window could not be created"},
    {20604, "Marquill is already running: the settings folder %s is in use by process %s."},
    {20605, "%s cannot be written: the settings were not saved!"},
    {20606, "Not enough media: reload the roll now?"},
    {20607, "Media left: %s"},
    {20608, "Copy %d of %d"},
    {20609, "%s left"},
    // Status-bar prompts of the commands, under the command ids
    {32771, "Start plotting, pause after one job"},
    {32786, "Start plotting, pause between pages"},
    {32787, "Start plotting without pauses"},
    {32772, "Pause plotting"},
    {32773, "Stop plotting"},
    {32774, "Stop plotting and delete the current plot data"},
    {32775, "Stop plotting and delete all plot jobs"},
    {32782, "One more copy"},
    {32783, "One copy less"},
    {32778, "Find plot data not yet plotted"},
    {32790, "Set the file paths"},
    {32796, "Send the selected manual job to the automatic queue"},
    {32797, "Show the program in English; it starts again"},
    {32798, "Show the program in Chinese; it starts again"},
    {57664, "Show the program information, version number and copyright"},
    {57665, "Quit the application"},
    {59392, "Show or hide the toolbar"},
    // List column titles
    {20000, "Automatic Plot"},
    {20001, "Manual Plot"},
    {20002, "Path"},
    {20003, "Length"},
    {20004, "Section"},
    {20005, "Copies"},
    {20006, "State"},
    // Job states and the progress of a copy
    {20011, "Waiting"},
    {20012, "Finished"},
    {20013, "Plotting region %d - %dmm"},
    {20014, "Standby"},
    // Remaining media in the status bar
    {20500, "Remaining media:%d mm"},
    {20501, "Remaining media:%d Inch"},
    // Results of a copy, shown as the job's state
    {32779, "Not enough media left for this plot!"},
    {32780, "The plot data could not be built (program error)!"},
    {32781, "The import filter could not read the file!"},
    {32784, "The import library could not be called / was not found!"},
    {32788, "Empty job item!"},
    {20100, "The port %s could not be opened: %s"},
    {20101, "Stopped"},
    {20102, "%s cannot be written: the remaining media length was not saved!"},
    {20103, "The device is not accepting data; %d bytes of this copy are out"},
    {20104, "Output to the port %s failed: %s"},
    {20105, "Nothing of the drawing lies on the media!"},
    {20106, "%s is in use by another program."},
    {20107, "%s: permission denied. The user must be a member of the group that owns the device%s, typically dialout for serial ports or lp for printer ports; log in again after joining it."},
    {20108, "%s: no device stands behind this port name. Connect one, or name it in the [PortMap] section of Port.INI."},
    {20109, "No output file was chosen."},
    {20110, "%s is a plot file or a settings file of this program and is not written over."},
    {20111, "the device hung up"},
    {20112, "the device does not answer the buffer query; choose another handshake in Plot Setup"},
    {20113, "the device's answer to a query cannot be read (%s); choose another handshake in Plot Setup"},
    {20114, "sent; the device is drawing"},
    {20115, "the view button is pressed: the device is paused"},
    {20116, "the paper lever is up"},
    {20117, "the device reports a buffer overflow (error 16)"},
    {20118, "the device reports a transmission error on the line (error 15): check the speed and parity in the port settings"},
    {20119, "the device reports an error in a device-control instruction (error %d)"},
    {20120, "the device reports HP-GL error %d"},
    {20121, "The device identifies itself (OI) as %s"},
    {20122, "Buffer of %d bytes, %d free"},
    {20123, "The device is ready"},
    {20124, "The device answers the buffer query: choose the handshake \"buffer query\" (Handshake=1)."},
    {20125, "The device answers nothing: choose no handshake (Handshake=0) and, in the port settings, a flow control the cable carries (XON/XOFF or RTS/CTS)."},
    {20126, "The device does not answer the buffer query: choose no handshake (Handshake=0) and, in the port settings, a flow control the cable carries (XON/XOFF or RTS/CTS)."},
    {20140, "%s cannot be written (%s): this job is not recorded in the plot journal!"},
    // File errors, one per kind; %1 is the file's path
    {61857, "An unexpected error occurred while accessing %1."},
    {61858, "%1 was not found."},
    {61859, "%1 contains an invalid path."},
    {61860, "%1 could not be opened because too many files are open."},
    {61861, "Access to %1 was denied."},
    {61862, "An invalid file handle was associated with %1."},
    {61863, "%1 could not be removed because it is the current folder."},
    {61864, "%1 could not be created because the folder is full."},
    {61865, "A seek failed on %1."},
    {61866, "A hardware input/output error occurred while accessing %1."},
    {61867, "A sharing violation occurred while accessing %1."},
    {61868, "A locking violation occurred while accessing %1."},
    {61869, "The disk is full while accessing %1."},
    {61870, "An attempt was made to access %1 past its end."},
};
// clang-format on

} // namespace

std::span<const StringEntry> englishTable() { return table; }

const char* englishString(unsigned id)
{
    const auto entry = std::find_if(std::begin(table), std::end(table),
                                    [id](const StringEntry& e) { return static_cast<unsigned>(e.id) == id; });
    return entry == std::end(table) ? nullptr : entry->text;
}

} // namespace strings

#include "res/strings/StringTable.h"

namespace strings {
namespace {

// clang-format off
constexpr StringEntry table[] = {
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

} // namespace strings

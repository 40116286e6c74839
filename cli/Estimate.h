#pragma once

#include <cstdio>

class CAutoJobList;
struct PlotOptions;
struct StartupSettings;

// --estimate: for every job of the list, one line on out with the file and its estimated plotting time
// through the device and port of the run, a copy and all its copies, with the bytes it sends. A file
// that cannot be read or sends nothing gets its reason on standard error. Returns 0 when every file was
// estimated, else 1.
int printEstimates(CAutoJobList& list, StartupSettings& settings, const PlotOptions& options, std::FILE* out);

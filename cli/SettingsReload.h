#pragma once

#include <string>

struct StartupSettings;

// Reads the settings again for a running server, as start-up reads them, except that a device the
// device-profile file does not list (a typo in [CutInfo] Device) is refused as start-up refuses it: it
// would have no command templates, and every job would finish with nothing sent. The device, its profile
// and [CutInfo] then stay as they were; Server.INI's settings are read all the same. Returns why the
// device was refused, empty when everything was read.
std::string reloadSettings(StartupSettings& settings);

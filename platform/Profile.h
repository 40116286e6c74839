#pragma once

#include <string>
#include <string_view>
#include <vector>

// The profile functions every setting of the program goes through, with the behaviour of the Windows
// profile functions the settings files were written for (see IniDocument for the line rules). Paths may be
// in Windows form (see PathMapping). Files are UTF-8; a file that is not valid UTF-8 is read as GB18030 and
// is written back as UTF-8. A UTF-8 byte-order mark is skipped on read and kept on write. A file another
// program is saving in place meanwhile is read whole (see readSettingsFile), and a write changes the one
// key of the file as it is just before it is replaced, so that nothing the other program wrote is lost.
namespace platform {

// The value, or defaultValue without its trailing blanks when there is none.
std::string getProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                             const std::string& path);
// An optional sign and the decimal digits that follow it; 0 when the value does not start that way,
// defaultValue when the key is missing or empty. Values beyond the int range are held at its ends.
int getProfileInt(std::string_view section, std::string_view key, int defaultValue, const std::string& path);
// The key names of the section in file order.
std::vector<std::string> getProfileKeyNames(std::string_view section, const std::string& path);

// Sets key in section to value, creating the file and the section as needed. Refused (false, file
// unchanged) when a name or the value holds a line break, the key holds '=' or starts with '[' or ';', the
// section holds ']', or the existing file cannot be read.
bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);
bool deleteProfileKey(std::string_view section, std::string_view key, const std::string& path);
bool deleteProfileSection(std::string_view section, const std::string& path);

} // namespace platform

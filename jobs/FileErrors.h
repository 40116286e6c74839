#pragma once

#include <string>

// The file-error message box: one text per kind of failure (strings 61857 to 61870), with the file's
// path in place of %1.

// The string id of the text for a system error number.
int fileErrorStringId(int error);
// The text for the error, in the current language.
std::string fileErrorText(int error, const std::string& path);
void reportFileError(int error, const std::string& path);

// Deletes a job's file (path as the job holds it, possibly in Windows form); a failure is reported. A file
// that does not exist counts as deleted.
bool deleteJobFile(const std::string& path);

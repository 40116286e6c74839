#pragma once

#include <cstdio>
#include <ctime>
#include <string>

// Prints the copies the plot journal of the settings folder records, begun at or after since: a table
// for people, or comma-separated values with a header line. Returns the exit status: 0, or 1 when the
// journal cannot be read.
int printHistory(const std::string& home, std::time_t since, bool csv, std::FILE* out);

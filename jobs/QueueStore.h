#pragma once

#include <string>

class CAutoJobList;

// The queue kept across a restart: for each job of the automatic list its file, state, copies ordered and
// done, options, section settings, measured size and the result of its last copy, one section [JobN] each
// in a file of the settings folder. Written whole, through a new file renamed over the old one.
namespace queuestore {

constexpr const char* FILE_NAME = "Queue.INI";

// Writes every job of the list (rows without a record, and paths with line breaks, are left out). False
// when the file could not be written.
bool save(const std::string& file, const CAutoJobList& list);

// Lists the kept jobs whose files are still there, as they were kept, in their order; jobs already listed
// and files gone are left out. A missing or unreadable file lists nothing. Returns how many were listed.
int restore(const std::string& file, CAutoJobList& list);

} // namespace queuestore

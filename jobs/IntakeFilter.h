#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

class CJobList;

// Why a file of a receive folder is not taken as a job.
enum class LeftOutReason {
    NotAPlotFile,    // its first bytes are no HP-GL plot
    PathTooLong,     // its path does not fit a job's 300 bytes
    OtherLetterCase, // another file of the folder, named the same but for letter case, is listed
    FolderUnreadable // the folder itself cannot be read; detail says why
};

struct LeftOutFile {
    std::string path;
    LeftOutReason reason;
    // The listed file of another letter case, or why the folder cannot be read.
    std::string detail;
};

// What a receive folder holds beside its jobs, checked at every scan: files that do not start as a plot,
// paths too long to be a job, files listed under another letter case, and a folder that cannot be read
// are left out and said so (leftOut()); the settings folder's own files (INI files, the journal, the
// lock, their temporary files) are never jobs and are left out silently, so that a receive folder set
// to the settings folder never plots, marks or deletes them.
class IntakeFilter {
public:
    // The folder of Server.INI (a file-system path); empty when unknown.
    void setSettingsFolder(std::string folder) { settingsFolder_ = std::move(folder); }

    // Starts a scan of the folder (in the form the settings give it): notes a folder that cannot be read
    // and the paths too long to be jobs.
    void beginScan(const std::string& folder);
    // Whether a file the scan found ready is to be listed: false for a settings file and for a file whose
    // first bytes are no plot, which is noted. A file that cannot be read is listed, so that its load
    // says why.
    bool accept(const std::string& path);
    // Ends the scan once its files are listed: notes the files that the list holds under another letter
    // case only.
    void endScan(const CJobList& list);

    // The files the last scan left out, and why, in name order.
    const std::vector<LeftOutFile>& leftOut() const { return leftOut_; }
    // Whether the path is one a scan leaves out whatever it holds or was left out by the last scan: no
    // file to wait for.
    bool isLeftOut(const std::string& path) const;
    // Whether the file name, in the folder given, is one of the settings folder's own files.
    bool isSettingsFile(const std::string& folder, const std::string& name) const;

    // Whether the file's first bytes start an HP-GL plot; true when it cannot be read.
    static bool startsAsPlot(const std::string& fileSystemPath);

private:
    struct FileState {
        std::int64_t size;
        std::int64_t modifiedNs;
        bool operator==(const FileState&) const = default;
    };

    std::string settingsFolder_;
    std::string folder_;
    bool inSettingsFolder_ = false;
    std::vector<std::string> names_;
    std::vector<LeftOutFile> leftOut_;
    std::set<std::string> leftOutPaths_;
    // Files found to be no plot, with what they were then, so that they are read again only once changed.
    std::map<std::string, FileState> notPlots_;
};

#pragma once

#include "jobs/ContentStamp.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// The record of every job plotted from one settings folder: Journal.db beside Server.INI, an SQLite
// database in WAL mode with synchronous=NORMAL: a committed row survives the program being killed at any
// point; a power cut may lose the last commits (those since the last checkpoint) but never leaves the
// database torn.
// The window, marquill-plot and marquill-server write it through this class, one program at a time
// under the settings folder's lock; other processes may read it meanwhile.
//
// A delivery is a file's content as it was loaded; a copy belongs to a delivery and ends with one of the
// results below. Every step is an event of its own, committed when it happens: a copy's "sent" is in the
// journal before the file gets the plotted mark and before the next copy begins. A write that fails
// leaves writeFailed() set until one succeeds, and never stops the plotting.
class PlotJournal {
public:
    // The kinds of event, as stored.
    static constexpr const char* STARTED = "started";
    static constexpr const char* SECTION = "section";
    static constexpr const char* SENT = "sent";
    static constexpr const char* CONFIRMED = "confirmed";
    static constexpr const char* FAILED = "failed";
    static constexpr const char* STOPPED = "stopped";
    static constexpr const char* MEDIA_LEFT = "media left";
    static constexpr const char* DELETED = "deleted";
    static constexpr const char* SAME_CONTENT = "same content";

    // Opens, and makes when missing, folder/Journal.db; a journal that cannot be opened writes nothing and
    // reports every write as failed.
    explicit PlotJournal(const std::string& folder);
    ~PlotJournal();
    PlotJournal(const PlotJournal&) = delete;
    PlotJournal& operator=(const PlotJournal&) = delete;

    const std::string& path() const { return path_; }
    bool writeFailed() const { return writeFailed_; }
    const std::string& lastError() const { return lastError_; }

    // Returns the new delivery's id, 0 when it could not be written.
    std::int64_t addDelivery(const std::string& userPath, const std::string& fileSystemPath,
                             const ContentStamp& stamp);
    // Copy number of copies of the delivery begins; returns its id, 0 when it could not be written.
    std::int64_t beginCopy(std::int64_t delivery, int number, int copies);
    // A section of the copy was sent, using this many millimetres of media; with the media left on the roll
    // after it, the roll count now owed to Server.INI is recorded with it (see unsavedRoll).
    void sectionCharged(std::int64_t copy, std::int64_t media, std::optional<std::int64_t> mediaLeft = {});
    // The copy ended: kind is SENT, FAILED or STOPPED; text says why it failed; output is where a file
    // port wrote it. The media the copy used and the media left on the roll are recorded with it. media is
    // what passes delivered whole at the copy's end used: charged as one section, together with the end.
    void endCopy(std::int64_t copy, const char* kind, const std::string& text, std::int64_t mediaLeft,
                 const std::string& output = {}, std::int64_t media = 0);
    // Removes a copy that sent nothing, with its events: a port tried again for a device that stays away.
    void discardCopy(std::int64_t copy);

    // The roll count charged in the journal and not yet known to be in Server.INI: the file held `before`
    // and is to hold `after`. A program killed between the two finds it here at its next start.
    struct RollChange {
        std::int64_t before = 0;
        std::int64_t after = 0;
    };
    std::optional<RollChange> unsavedRoll() const;
    // Server.INI holds the roll count charged last.
    void rollSaved();
    // Whether the copy begun last has ended (as sent, failed or stopped); true without copies.
    bool lastCopyEnded() const;
    // An event of a delivery without a copy: DELETED by the clean-up, SAME_CONTENT when a file was found
    // whose content had been plotted already.
    void deliveryEvent(std::int64_t delivery, const char* kind, const std::string& text);
    std::int64_t deliveryOf(const std::string& fileSystemPath, const std::string& sha256) const;

    // Whether a delivery of this content from this file-system path had its last copy sent; with an inode,
    // a delivery of the same file under another name (renamed since) counts as well.
    bool wasPlotted(const std::string& sha256, const std::string& fileSystemPath,
                    std::uint64_t inode = 0) const;

    // One copy as --history shows it.
    struct CopyRecord {
        std::string userPath;
        std::string sha256;
        int number = 0;
        int copies = 0;
        std::time_t started = 0;
        std::time_t ended = 0;
        std::string result;
        std::string text;
        std::int64_t media = 0;
        std::string output;
    };
    // Every copy begun at or after since, oldest first.
    std::vector<CopyRecord> history(std::time_t since) const;
    // The last copies that failed, newest first, at most limit of them.
    std::vector<CopyRecord> lastFailures(int limit) const;

private:
    bool execute(const std::string& sql);
    bool recordRoll(std::int64_t before, std::int64_t after);
    void noteResult(bool ok);

    std::string path_;
    sqlite3* db_ = nullptr;
    bool writeFailed_ = false;
    std::string lastError_;
};

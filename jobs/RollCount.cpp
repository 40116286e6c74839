#include "jobs/RollCount.h"

#include "output/ServerFileKeys.h"
#include "output/ServerSettings.h"
#include "platform/CProfile.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>

RollCount::RollCount(CProfile& serverFile, ServerSettings& settings)
    : serverFile_(serverFile), settings_(settings)
{
}

RollCount::FileStamp RollCount::stampNow() const
{
    struct stat status = {};
    if (::stat(serverFile_.path(), &status) != 0)
        return {};
    return {status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec, status.st_size};
}

void RollCount::remember()
{
    stamp_ = stampNow();
    lastMet_ = settings_.REMAINMEDIALENGTH;
}

bool RollCount::sync()
{
    // Stamped before reading: a change made after the read shows at the next meeting.
    const FileStamp before = stampNow();
    const bool fileChanged = !(before == stamp_);
    // A file that names no count (an editor's save caught half way) says nothing about the roll: the
    // default is no count anyone set.
    const std::int32_t named =
        fileChanged ? readSetting(serverFile_, withDefault(SystemKeys::REMAINMEDIALENGTH, INT_MIN))
                    : lastMet_;
    const std::int32_t inFile = named == INT_MIN ? lastMet_ : named;
    // The run may already have written the count it holds: the media it used is in the file then.
    const bool holdsOurCount = fileChanged && inFile == settings_.REMAINMEDIALENGTH;
    const std::int64_t used = holdsOurCount ? 0 : std::int64_t{lastMet_} - settings_.REMAINMEDIALENGTH;
    const bool changedByOthers = fileChanged && !holdsOurCount && inFile != lastMet_;
    const auto count = static_cast<std::int32_t>(std::clamp<std::int64_t>(inFile - used, INT_MIN, INT_MAX));
    settings_.REMAINMEDIALENGTH = count;
    lastMet_ = count;
    stamp_ = before;
    writeFailed_ = false;
    if (count == inFile && before.size >= 0)
        return changedByOthers;
    writeFailed_ = !writeSetting(serverFile_, SystemKeys::REMAINMEDIALENGTH, count);
    if (writeFailed_) {
        // The file still holds what it held: the next meeting writes the count again.
        lastMet_ = inFile;
        return changedByOthers;
    }
    stamp_ = stampNow();
    // Someone who wrote the file right after us is heard at the next meeting.
    if (readSetting(serverFile_, SystemKeys::REMAINMEDIALENGTH) != count)
        stamp_ = {};
    return changedByOthers;
}

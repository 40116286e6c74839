#include "jobs/PlotJournal.h"

#include "jobs/SqlStatement.h"

#include <sqlite3.h>

#include <chrono>

namespace {

// The copies and events of a delivery refer to it; a copy's media is the sum of its sections.
constexpr const char* SCHEMA = R"(
PRAGMA journal_mode=WAL;
PRAGMA synchronous=NORMAL;
CREATE TABLE IF NOT EXISTS delivery(
  id INTEGER PRIMARY KEY, user_path TEXT NOT NULL, file_path TEXT NOT NULL, size INTEGER NOT NULL,
  modified_ns INTEGER NOT NULL, inode INTEGER NOT NULL, sha256 TEXT NOT NULL, loaded_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS copy(
  id INTEGER PRIMARY KEY, delivery INTEGER NOT NULL REFERENCES delivery(id), number INTEGER NOT NULL,
  copies INTEGER NOT NULL, started_at INTEGER NOT NULL, ended_at INTEGER, result TEXT NOT NULL,
  text TEXT NOT NULL DEFAULT '', media INTEGER NOT NULL DEFAULT 0, output TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS event(
  id INTEGER PRIMARY KEY, delivery INTEGER NOT NULL REFERENCES delivery(id), copy INTEGER REFERENCES copy(id),
  at INTEGER NOT NULL, kind TEXT NOT NULL, media INTEGER NOT NULL DEFAULT 0, text TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS roll(
  id INTEGER PRIMARY KEY CHECK (id = 1), before INTEGER NOT NULL, after INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS delivery_sha256 ON delivery(sha256);
CREATE INDEX IF NOT EXISTS copy_delivery ON copy(delivery);
)";

// Milliseconds since the epoch, as the times are stored.
std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

PlotJournal::PlotJournal(const std::string& folder)
{
    path_ = folder.empty() || folder.back() == '/' ? folder + "Journal.db" : folder + "/Journal.db";
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        lastError_ = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        writeFailed_ = true;
        return;
    }
    // Readers in other processes hold the database only for a moment.
    sqlite3_busy_timeout(db_, 2000);
    noteResult(execute(SCHEMA));
}

PlotJournal::~PlotJournal() { sqlite3_close(db_); }

bool PlotJournal::execute(const std::string& sql)
{
    if (db_ == nullptr)
        return false;
    char* message = nullptr;
    const bool ok = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
    sqlite3_free(message);
    return ok;
}

void PlotJournal::noteResult(bool ok)
{
    writeFailed_ = !ok;
    if (!ok)
        lastError_ = db_ != nullptr ? sqlite3_errmsg(db_) : lastError_;
}

std::int64_t PlotJournal::addDelivery(const std::string& userPath, const std::string& fileSystemPath,
                                      const ContentStamp& stamp)
{
    SqlStatement insert(
        db_, "INSERT INTO delivery(user_path, file_path, size, modified_ns, inode, sha256, loaded_at) "
             "VALUES(?, ?, ?, ?, ?, ?, ?)");
    insert.bind(userPath).bind(fileSystemPath).bind(stamp.size).bind(stamp.modifiedNs);
    insert.bind(static_cast<std::int64_t>(stamp.inode)).bind(stamp.sha256);
    const bool ok = insert.bind(nowMs()).run();
    noteResult(ok);
    return ok ? sqlite3_last_insert_rowid(db_) : 0;
}

std::int64_t PlotJournal::beginCopy(std::int64_t delivery, int number, int copies)
{
    const std::int64_t now = nowMs();
    bool ok = execute("BEGIN");
    SqlStatement insert(
        db_, "INSERT INTO copy(delivery, number, copies, started_at, result) VALUES(?, ?, ?, ?, ?)");
    ok = ok && insert.bind(delivery).bind(number).bind(copies).bind(now).bind(std::string(STARTED)).run();
    const std::int64_t copy = ok ? sqlite3_last_insert_rowid(db_) : 0;
    SqlStatement event(db_, "INSERT INTO event(delivery, copy, at, kind) VALUES(?, ?, ?, ?)");
    ok = ok && event.bind(delivery).bind(copy).bind(now).bind(std::string(STARTED)).run();
    ok = execute(ok ? "COMMIT" : "ROLLBACK") && ok;
    noteResult(ok);
    return ok ? copy : 0;
}

// A charge not yet saved keeps the count the file held before it: the file is behind by both.
bool PlotJournal::recordRoll(std::int64_t before, std::int64_t after)
{
    SqlStatement upsert(db_,
                        "INSERT INTO roll(id, before, after) VALUES(1, ?, ?) ON CONFLICT(id) DO UPDATE SET "
                        "before = CASE WHEN roll.before != roll.after THEN roll.before ELSE excluded.before "
                        "END, after = excluded.after");
    return upsert.bind(before).bind(after).run();
}

void PlotJournal::sectionCharged(std::int64_t copy, std::int64_t media, std::optional<std::int64_t> mediaLeft)
{
    // The event, the copy's media and the roll count owed go together.
    bool ok = execute("BEGIN");
    SqlStatement event(db_, "INSERT INTO event(delivery, copy, at, kind, media) "
                            "SELECT delivery, id, ?, ?, ? FROM copy WHERE id = ?");
    ok = ok && event.bind(nowMs()).bind(std::string(SECTION)).bind(media).bind(copy).run();
    SqlStatement update(db_, "UPDATE copy SET media = media + ? WHERE id = ?");
    ok = ok && update.bind(media).bind(copy).run();
    ok = ok && (!mediaLeft || recordRoll(*mediaLeft + media, *mediaLeft));
    ok = execute(ok ? "COMMIT" : "ROLLBACK") && ok;
    noteResult(ok);
}

std::optional<PlotJournal::RollChange> PlotJournal::unsavedRoll() const
{
    SqlStatement query(db_, "SELECT before, after FROM roll WHERE id = 1 AND before != after");
    if (query.step() != SQLITE_ROW)
        return std::nullopt;
    return RollChange{query.integer(0), query.integer(1)};
}

void PlotJournal::rollSaved() { noteResult(execute("UPDATE roll SET before = after WHERE before != after")); }

bool PlotJournal::lastCopyEnded() const
{
    SqlStatement query(db_, "SELECT result FROM copy ORDER BY id DESC LIMIT 1");
    return query.step() != SQLITE_ROW || query.text(0) != STARTED;
}

void PlotJournal::endCopy(std::int64_t copy, const char* kind, const std::string& text,
                          std::int64_t mediaLeft, const std::string& output, std::int64_t media)
{
    const std::int64_t now = nowMs();
    bool ok = execute("BEGIN");
    if (media != 0) {
        SqlStatement section(db_, "INSERT INTO event(delivery, copy, at, kind, media) "
                                  "SELECT delivery, id, ?, ?, ? FROM copy WHERE id = ?");
        ok = ok && section.bind(now).bind(std::string(SECTION)).bind(media).bind(copy).run();
        SqlStatement charge(db_, "UPDATE copy SET media = media + ? WHERE id = ?");
        ok = ok && charge.bind(media).bind(copy).run();
        ok = ok && recordRoll(mediaLeft + media, mediaLeft);
    }
    SqlStatement update(db_, "UPDATE copy SET ended_at = ?, result = ?, text = ?, output = ? WHERE id = ?");
    ok = ok && update.bind(now).bind(std::string(kind)).bind(text).bind(output).bind(copy).run();
    SqlStatement event(db_, "INSERT INTO event(delivery, copy, at, kind, text) "
                            "SELECT delivery, id, ?, ?, ? FROM copy WHERE id = ?");
    ok = ok && event.bind(now).bind(std::string(kind)).bind(text).bind(copy).run();
    SqlStatement left(db_, "INSERT INTO event(delivery, copy, at, kind, media) "
                           "SELECT delivery, id, ?, ?, ? FROM copy WHERE id = ?");
    ok = ok && left.bind(now).bind(std::string(MEDIA_LEFT)).bind(mediaLeft).bind(copy).run();
    ok = execute(ok ? "COMMIT" : "ROLLBACK") && ok;
    noteResult(ok);
}

void PlotJournal::discardCopy(std::int64_t copy)
{
    bool ok = execute("BEGIN");
    SqlStatement events(db_, "DELETE FROM event WHERE copy = ?");
    ok = ok && events.bind(copy).run();
    SqlStatement row(db_, "DELETE FROM copy WHERE id = ?");
    ok = ok && row.bind(copy).run();
    ok = execute(ok ? "COMMIT" : "ROLLBACK") && ok;
    noteResult(ok);
}

void PlotJournal::deliveryEvent(std::int64_t delivery, const char* kind, const std::string& text)
{
    SqlStatement event(db_, "INSERT INTO event(delivery, at, kind, text) VALUES(?, ?, ?, ?)");
    noteResult(event.bind(delivery).bind(nowMs()).bind(std::string(kind)).bind(text).run());
}

std::int64_t PlotJournal::deliveryOf(const std::string& fileSystemPath, const std::string& sha256) const
{
    SqlStatement query(db_,
                       "SELECT id FROM delivery WHERE file_path = ? AND sha256 = ? ORDER BY id DESC LIMIT 1");
    query.bind(fileSystemPath).bind(sha256);
    return query.step() == SQLITE_ROW ? query.integer(0) : 0;
}

bool PlotJournal::wasPlotted(const std::string& sha256, const std::string& fileSystemPath,
                             std::uint64_t inode) const
{
    if (sha256.empty())
        return false;
    SqlStatement query(db_, "SELECT 1 FROM copy JOIN delivery ON delivery.id = copy.delivery "
                            "WHERE delivery.sha256 = ? AND (delivery.file_path = ? OR delivery.inode = ?) "
                            "AND copy.number >= copy.copies AND copy.result IN (?, ?) LIMIT 1");
    // Inode 0 is no file's.
    query.bind(sha256).bind(fileSystemPath).bind(inode != 0 ? static_cast<std::int64_t>(inode) : -1);
    query.bind(std::string(SENT)).bind(std::string(CONFIRMED));
    return query.step() == SQLITE_ROW;
}

namespace {

constexpr const char* COPY_COLUMNS =
    "SELECT delivery.user_path, delivery.sha256, copy.number, copy.copies, copy.started_at, "
    "IFNULL(copy.ended_at, 0), copy.result, copy.text, copy.media, copy.output "
    "FROM copy JOIN delivery ON delivery.id = copy.delivery ";

std::vector<PlotJournal::CopyRecord> readCopies(SqlStatement& query)
{
    std::vector<PlotJournal::CopyRecord> records;
    while (query.step() == SQLITE_ROW) {
        PlotJournal::CopyRecord record;
        record.userPath = query.text(0);
        record.sha256 = query.text(1);
        record.number = static_cast<int>(query.integer(2));
        record.copies = static_cast<int>(query.integer(3));
        record.started = static_cast<std::time_t>(query.integer(4) / 1000);
        record.ended = static_cast<std::time_t>(query.integer(5) / 1000);
        record.result = query.text(6);
        record.text = query.text(7);
        record.media = query.integer(8);
        record.output = query.text(9);
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace

std::vector<PlotJournal::CopyRecord> PlotJournal::history(std::time_t since) const
{
    SqlStatement query(db_,
                       (std::string(COPY_COLUMNS) + "WHERE copy.started_at >= ? ORDER BY copy.id").c_str());
    query.bind(std::int64_t{since} * 1000);
    return readCopies(query);
}

std::vector<PlotJournal::CopyRecord> PlotJournal::lastFailures(int limit) const
{
    SqlStatement query(
        db_, (std::string(COPY_COLUMNS) + "WHERE copy.result = ? ORDER BY copy.id DESC LIMIT ?").c_str());
    query.bind(std::string(FAILED)).bind(std::int64_t{limit});
    return readCopies(query);
}

#include "jobs/NetworkJobJournal.h"

#include "jobs/PlotJournal.h"
#include "jobs/SqlStatement.h"

#include <sqlite3.h>

namespace {

constexpr const char* SCHEMA = R"(
PRAGMA journal_mode=WAL;
PRAGMA synchronous=NORMAL;
CREATE TABLE IF NOT EXISTS network_job(
  id INTEGER PRIMARY KEY, path TEXT NOT NULL, name TEXT NOT NULL, user TEXT NOT NULL, copies INTEGER NOT NULL,
  received_at INTEGER NOT NULL, ended_at INTEGER, state TEXT NOT NULL DEFAULT '',
  message TEXT NOT NULL DEFAULT '');
)";

constexpr const char* JOB_COLUMNS = "SELECT id, path, name, user, copies, received_at, IFNULL(ended_at, 0), "
                                    "state, message FROM network_job ";

std::vector<NetworkJobJournal::Job> readJobs(SqlStatement& query)
{
    std::vector<NetworkJobJournal::Job> jobs;
    while (query.step() == SQLITE_ROW) {
        jobs.push_back({.id = static_cast<int>(query.integer(0)),
                        .path = query.text(1),
                        .name = query.text(2),
                        .user = query.text(3),
                        .copies = static_cast<int>(query.integer(4)),
                        .received = static_cast<std::time_t>(query.integer(5)),
                        .ended = static_cast<std::time_t>(query.integer(6)),
                        .state = query.text(7),
                        .message = query.text(8)});
    }
    return jobs;
}

} // namespace

NetworkJobJournal::NetworkJobJournal(const std::string& folder)
{
    const std::string path =
        folder.empty() || folder.back() == '/' ? folder + "Journal.db" : folder + "/Journal.db";
    bool ok =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) == SQLITE_OK;
    if (ok) {
        // The queue's own connection writes the same database meanwhile.
        sqlite3_busy_timeout(db_, 2000);
        ok = sqlite3_exec(db_, SCHEMA, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (!ok) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

NetworkJobJournal::~NetworkJobJournal() { sqlite3_close(db_); }

void NetworkJobJournal::received(const Job& job)
{
    const std::lock_guard lock(mutex_);
    SqlStatement insert(db_, "INSERT OR IGNORE INTO network_job(id, path, name, user, copies, received_at) "
                             "VALUES(?, ?, ?, ?, ?, ?)");
    insert.bind(job.id).bind(job.path).bind(job.name).bind(job.user).bind(job.copies);
    insert.bind(static_cast<std::int64_t>(job.received != 0 ? job.received : std::time(nullptr))).run();
}

void NetworkJobJournal::ended(int id, const char* state, const std::string& message)
{
    const std::lock_guard lock(mutex_);
    SqlStatement update(db_, "UPDATE network_job SET ended_at = ?, state = ?, message = ? WHERE id = ?");
    update.bind(static_cast<std::int64_t>(std::time(nullptr)))
        .bind(std::string(state))
        .bind(message)
        .bind(id);
    update.run();
}

std::vector<NetworkJobJournal::Job> NetworkJobJournal::unended() const
{
    const std::lock_guard lock(mutex_);
    SqlStatement query(db_, (std::string(JOB_COLUMNS) + "WHERE ended_at IS NULL ORDER BY id").c_str());
    return readJobs(query);
}

std::vector<NetworkJobJournal::Job> NetworkJobJournal::recent(int limit) const
{
    const std::lock_guard lock(mutex_);
    SqlStatement query(db_, (std::string(JOB_COLUMNS) + "ORDER BY id DESC LIMIT ?").c_str());
    query.bind(limit);
    return readJobs(query);
}

int NetworkJobJournal::highestId() const
{
    const std::lock_guard lock(mutex_);
    SqlStatement query(db_, "SELECT IFNULL(MAX(id), 0) FROM network_job");
    return query.step() == SQLITE_ROW ? static_cast<int>(query.integer(0)) : 0;
}

bool NetworkJobJournal::plottedSince(const std::string& path, std::time_t since) const
{
    const std::lock_guard lock(mutex_);
    // The plot journal's tables may not be there yet in a folder where nothing was plotted.
    SqlStatement query(db_, "SELECT 1 FROM copy JOIN delivery ON delivery.id = copy.delivery "
                            "WHERE delivery.file_path = ? AND copy.started_at >= ? "
                            "AND copy.number >= copy.copies AND copy.result IN (?, ?) LIMIT 1");
    query.bind(path).bind(static_cast<std::int64_t>(since) * 1000);
    query.bind(std::string(PlotJournal::SENT)).bind(std::string(PlotJournal::CONFIRMED));
    return query.step() == SQLITE_ROW;
}

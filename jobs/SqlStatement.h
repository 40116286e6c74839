#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>

// One prepared statement; its values are bound in order.
class SqlStatement {
public:
    SqlStatement(sqlite3* db, const char* sql)
    {
        if (db != nullptr)
            sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~SqlStatement() { sqlite3_finalize(statement_); }
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    SqlStatement& bind(std::int64_t value)
    {
        sqlite3_bind_int64(statement_, ++bound_, value);
        return *this;
    }
    SqlStatement& bind(const std::string& value)
    {
        sqlite3_bind_text(statement_, ++bound_, value.c_str(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return statement_ != nullptr ? sqlite3_step(statement_) : SQLITE_MISUSE; }
    bool run() { return step() == SQLITE_DONE; }
    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) const
    {
        const unsigned char* value = sqlite3_column_text(statement_, column);
        return value != nullptr ? reinterpret_cast<const char*>(value) : "";
    }

private:
    sqlite3_stmt* statement_ = nullptr;
    int bound_ = 0;
};

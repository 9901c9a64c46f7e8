#pragma once

// The bare-SQLite side of the benchmarks: the plain C interface, with nothing of the
// program's own storage layer, so that the ratios compare the program with the engine.
#include "StoredLines.h"

#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace bare {

inline void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

// A statement with "%1" for the table of stored lines, whose name the ledger keeps.
inline std::string lines(const char* sql)
{
    return QString::fromUtf8(sql).arg(ledger::kLinesTable).toStdString();
}

inline void run(sqlite3* db, const char* sql)
{
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

// Opens the work file as the program does: logging ahead, no sync at commit.
inline sqlite3* openWorkFile(const std::string& path)
{
    sqlite3* work = nullptr;
    check(sqlite3_open_v2(path.c_str(), &work, SQLITE_OPEN_READWRITE, nullptr), work, "open work");
    run(work, "PRAGMA main.journal_mode = WAL");
    run(work, "PRAGMA main.synchronous = NORMAL");
    return work;
}

struct Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt(sqlite3* db, const char* sql) { check(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), db, sql); }
    ~Stmt() { sqlite3_finalize(s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    void text(int i, const std::string& v) { sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT); }
    void integer(int i, sqlite3_int64 v) { sqlite3_bind_int64(s, i, v); }
    void value(int i, sqlite3_value* v) { sqlite3_bind_value(s, i, v); }
    bool step() { return sqlite3_step(s) == SQLITE_ROW; }
    void done()
    {
        sqlite3_step(s);
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
};

} // namespace bare

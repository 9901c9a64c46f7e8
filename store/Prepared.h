#pragma once

#include "Sql.h"

#include <QByteArrayView>

#include <memory>

struct sqlite3_stmt;

namespace store {

// One statement prepared once and run many times with fresh bound values: the one way the
// program reads rows and writes a line at a time. The statements a connection runs again
// and again come from its cache (see Prepared::reuse), so they are prepared once a run.
// Failures throw DbError naming the statement.
class Prepared {
public:
    Prepared(SQLite::Database& db, const QString& sql);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    // Binds the values and runs the statement to its end; returns the changed rows.
    int exec(const QVariantList& values);

    // The same in parts, without building a list: bind (1-based), then run() for a
    // statement that writes, or next() row by row for a query.
    void bind(int index, const QVariant& value);
    void bind(int index, qint64 value);
    void bind(int index, const QString& text);
    void bindNull(int index);
    // Text given as UTF-8 bytes.
    void bindUtf8(int index, QByteArrayView text);
    int run();
    bool next();
    // Columns of the current row (0-based).
    int columnCount() const;
    qint64 integer(int column) const;
    // The engine's type of a column (SQLITE_INTEGER, SQLITE_NULL, ...) and its value.
    int columnType(int column) const;
    QVariant value(int column) const;
    // A text column's bytes as stored (UTF-8), without making a copy; valid until the next
    // step of the statement.
    QByteArrayView utf8(int column) const;
    // A text column as text (the empty text for null).
    QString text(int column) const { return QString::fromUtf8(utf8(column)); }
    // Whether a text column is null or the empty text.
    bool isBlank(int column) const;
    // Finishes the query and makes the statement ready for new values.
    void reset();

    // A statement of the connection's cache, ready for new values, and reset again when the
    // returned handle goes: for statements a command runs many times. A connection without
    // a cache (see StatementCache), or a statement already in use further up the stack, gets
    // a statement of its own.
    class Use;
    static Use reuse(SQLite::Database& db, const QString& sql);

private:
    friend class StatementCache;
    [[noreturn]] void fail(int code);

    SQLite::Database& db_;
    QString sql_;
    sqlite3_stmt* statement_ = nullptr;
    bool fresh_ = true;
    bool inUse_ = false;
};

class Prepared::Use {
public:
    Use(Prepared* cached, std::unique_ptr<Prepared> own);
    ~Use();
    Use(Use&& other) noexcept;
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    Use& operator=(Use&&) = delete;
    Prepared* operator->() const { return statement_; }
    Prepared& operator*() const { return *statement_; }

private:
    Prepared* statement_;
    std::unique_ptr<Prepared> own_;
};

// The prepared statements of one connection, kept while the connection is open: the session
// makes one for each of its connections and drops it before closing them.
class StatementCache {
public:
    explicit StatementCache(SQLite::Database& db);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // Whether a statement of the cache is in use (a command up the stack runs it).
    bool inUse() const;

private:
    friend class Prepared;
    SQLite::Database& db_;
    std::vector<std::unique_ptr<Prepared>> statements_;
};

} // namespace store

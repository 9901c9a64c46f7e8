#pragma once

#include "Sql.h"

#include <memory>
#include <optional>

namespace store {

// One statement prepared once and run many times with fresh bound values, for the loops
// that read or write a line at a time (the sheet reset, the month copy, the balance runs).
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
    int run();
    bool next();
    // Columns of the current row (0-based).
    qint64 integer(int column) const;
    // The engine's type of a column (SQLITE_INTEGER, SQLITE_NULL, ...) and its value.
    int columnType(int column) const;
    QVariant value(int column) const;
    // A text column's bytes as stored (UTF-8), without making a QString.
    QByteArray utf8(int column) const;
    // Whether a text column is null or the empty text.
    bool isBlank(int column) const;
    // Finishes the query and makes the statement ready for new values.
    void reset();

private:
    [[noreturn]] void fail(int code, const char* message);

    SQLite::Database& db_;
    QString sql_;
    std::unique_ptr<SQLite::Statement> statement_;
    bool fresh_ = true;
};

} // namespace store

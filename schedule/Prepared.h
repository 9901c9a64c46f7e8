#pragma once

#include "Amount.h"
#include "Skip.h"
#include "Sql.h"

#include <memory>
#include <optional>

namespace schedule {

// One statement prepared once and run many times with fresh bound values, for the loops
// that read or write a line at a time (the sheet reset, the month copy, the balance runs).
// Failures throw store::DbError naming the statement.
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
    // An amount column: null gives nothing, an integer is ten-thousandths, anything else
    // is read as the stored value would be (store::Amount::fromVariant).
    std::optional<store::Amount> amount(int column) const;
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

// Whether the connection is inside an open transaction. A failed statement normally
// undoes only itself; a few engine errors end the whole transaction, after which the
// remaining steps of an operation must not run outside it.
bool inTransaction(SQLite::Database& db);

// One skippable write of a loop inside an open transaction: a refused statement undoes
// only itself, is logged and skipped, and the loop goes on; when the engine has ended the
// whole transaction, the loop stops with store::DbError.
template <class F>
bool writeStep(SQLite::Database& db, const QString& what, F&& body)
{
    if (store::skipOnFailure(what, std::forward<F>(body)))
        return true;
    if (!inTransaction(db))
        throw store::DbError(what, QStringLiteral("the transaction ended"), 0);
    return false;
}

} // namespace schedule

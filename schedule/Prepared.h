#pragma once

#include "Sql.h"

#include <memory>

namespace schedule {

// One statement prepared once and run many times with fresh bound values, for the loops
// that write a line at a time (the sheet reset, the month copy, the balance runs).
// Failures throw store::DbError naming the statement.
class Prepared {
public:
    Prepared(SQLite::Database& db, const QString& sql);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    // Binds the values and runs the statement to its end; returns the changed rows.
    int exec(const QVariantList& values);

private:
    SQLite::Database& db_;
    QString sql_;
    std::unique_ptr<SQLite::Statement> statement_;
};

// Whether the connection is inside an open transaction. A failed statement normally
// undoes only itself; a few engine errors end the whole transaction, after which the
// remaining steps of an operation must not run outside it.
bool inTransaction(SQLite::Database& db);

} // namespace schedule

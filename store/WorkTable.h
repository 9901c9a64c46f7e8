#pragma once

#include "Sql.h"

#include <QStringList>

#include <utility>

namespace store {

// One table of a data file read and written line by line by its rowid, for a grid's data
// source: its columns, its rows in the order they were added (rowid order), a new row with
// the columns' defaults, a changed row and a deleted one. Each write is a transaction of
// its own; failures throw DbError.
class WorkTable {
public:
    // A row with its rowid.
    using Line = std::pair<qint64, Row>;

    WorkTable(SQLite::Database& db, const QString& table);

    const QString& name() const { return table_; }
    QStringList fields();
    std::vector<Line> lines();
    // Adds a row of defaults and answers it as stored.
    Line append();
    // Writes the values into the named columns of the row.
    void write(qint64 rowId, const QStringList& fields, const QVariantList& values);
    void remove(qint64 rowId);

private:
    SQLite::Database& db_;
    QString table_;
};

} // namespace store

#include "WorkTable.h"

#include "Transaction.h"

#include <SQLiteCpp/Database.h>

namespace store {

WorkTable::WorkTable(SQLite::Database& db, const QString& table)
    : db_(db)
    , table_(table)
{
}

QStringList WorkTable::fields()
{
    QStringList fields;
    for (const Row& column : queryRows(db_, QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {table_}))
        fields << column.at(0).toString();
    return fields;
}

std::vector<WorkTable::Line> WorkTable::lines()
{
    std::vector<Line> lines;
    const auto rows = queryRows(db_, QStringLiteral("SELECT rowid, * FROM ") + quoteIdentifier(table_) + QStringLiteral(" ORDER BY rowid"));
    lines.reserve(rows.size());
    for (const Row& row : rows)
        lines.emplace_back(row.front().toLongLong(), Row(row.begin() + 1, row.end()));
    return lines;
}

WorkTable::Line WorkTable::append()
{
    Transaction tx(db_);
    exec(db_, QStringLiteral("INSERT INTO ") + quoteIdentifier(table_) + QStringLiteral(" DEFAULT VALUES"));
    const qint64 rowId = db_.getLastInsertRowid();
    tx.commit();
    const auto read = queryRows(db_, QStringLiteral("SELECT * FROM ") + quoteIdentifier(table_) + QStringLiteral(" WHERE rowid = ?"), {rowId});
    return {rowId, read.empty() ? Row() : read.front()};
}

void WorkTable::write(qint64 rowId, const QStringList& fields, const QVariantList& values)
{
    if (fields.isEmpty())
        return;
    QStringList sets;
    for (const QString& field : fields)
        sets << quoteIdentifier(field) + QStringLiteral(" = ?");
    QVariantList bound = values;
    bound << rowId;
    Transaction tx(db_);
    exec(db_, QStringLiteral("UPDATE ") + quoteIdentifier(table_) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?"), bound);
    tx.commit();
}

void WorkTable::remove(qint64 rowId)
{
    Transaction tx(db_);
    exec(db_, QStringLiteral("DELETE FROM ") + quoteIdentifier(table_) + QStringLiteral(" WHERE rowid = ?"), {rowId});
    tx.commit();
}

} // namespace store

#include "StoredLines.h"

#include "Calendar.h"
#include "Prepared.h"

#include <sqlite3.h>

namespace ledger {

std::optional<Amount> amountAt(const store::Prepared& query, int column)
{
    switch (query.columnType(column)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return Amount::fromUnits(query.integer(column));
    default:
        return Amount::fromVariant(query.value(column));
    }
}

std::vector<StoredLine> monthLines(SQLite::Database& db, const QDate& month, int limit)
{
    const QDate first = calendar::firstOfMonth(month);
    store::Prepared query(db,
        QStringLiteral("SELECT rowid, 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM %1 "
                       "WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid LIMIT ?")
            .arg(kLinesTable));
    query.bind(1, QVariant(calendar::toStoredText(first)));
    query.bind(2, QVariant(calendar::toStoredText(first.addMonths(1))));
    query.bind(3, qint64(limit));
    std::vector<StoredLine> lines;
    while (query.next()) {
        StoredLine line;
        line.rowId = query.integer(0);
        line.date = calendar::fromStoredText(query.value(1).toString().left(10));
        line.lineNumber = query.integer(2);
        line.payee = query.isBlank(3) ? QString() : query.value(3).toString();
        line.scheduled = amountAt(query, 4);
        line.paid = amountAt(query, 5);
        line.balance = amountAt(query, 6);
        lines.push_back(std::move(line));
    }
    query.reset();
    return lines;
}

int monthLineCount(SQLite::Database& db, const QDate& month)
{
    const QDate first = calendar::firstOfMonth(month);
    store::Prepared query(db, QStringLiteral("SELECT count(*) FROM %1 WHERE 日付 >= ? AND 日付 < ?").arg(kLinesTable));
    query.bind(1, QVariant(calendar::toStoredText(first)));
    query.bind(2, QVariant(calendar::toStoredText(first.addMonths(1))));
    const int count = query.next() ? static_cast<int>(query.integer(0)) : 0;
    query.reset();
    return count;
}

} // namespace ledger

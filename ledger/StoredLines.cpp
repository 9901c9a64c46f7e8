#include "StoredLines.h"

#include "Calendar.h"
#include "Prepared.h"

#include <sqlite3.h>

namespace ledger {

QDate dateAt(const store::Prepared& query, int column)
{
    return storedDate(query.utf8(column));
}

QDate storedDate(QByteArrayView text)
{
    const auto digits = [&](qsizetype at, qsizetype count) {
        int value = 0;
        for (qsizetype i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return calendar::fromStoredText(QString::fromUtf8(text).left(10));
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    return year < 0 || month < 0 || day < 0 ? QDate() : QDate(year, month, day);
}

void bindAmount(store::Prepared& statement, int index, const std::optional<Amount>& amount)
{
    if (amount)
        statement.bind(index, qint64(amount->units()));
    else
        statement.bindNull(index);
}

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
    static const QString sql = QStringLiteral("SELECT rowid, 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM %1 "
                                              "WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid LIMIT ?")
                                   .arg(kLinesTable);
    auto use = store::Prepared::reuse(db, sql);
    store::Prepared& query = *use;
    query.bind(1, QVariant(calendar::toStoredText(first)));
    query.bind(2, QVariant(calendar::toStoredText(first.addMonths(1))));
    query.bind(3, qint64(limit));
    std::vector<StoredLine> lines;
    while (query.next()) {
        StoredLine line;
        line.rowId = query.integer(0);
        line.date = dateAt(query, 1);
        line.lineNumber = query.integer(2);
        line.payee = query.text(3);
        line.scheduled = amountAt(query, 4);
        line.paid = amountAt(query, 5);
        line.balance = amountAt(query, 6);
        lines.push_back(std::move(line));
    }
    return lines;
}

int monthLineCount(SQLite::Database& db, const QDate& month)
{
    const QDate first = calendar::firstOfMonth(month);
    static const QString sql = QStringLiteral("SELECT count(*) FROM %1 WHERE 日付 >= ? AND 日付 < ?").arg(kLinesTable);
    auto use = store::Prepared::reuse(db, sql);
    store::Prepared& query = *use;
    query.bind(1, QVariant(calendar::toStoredText(first)));
    query.bind(2, QVariant(calendar::toStoredText(first.addMonths(1))));
    return query.next() ? static_cast<int>(query.integer(0)) : 0;
}

} // namespace ledger

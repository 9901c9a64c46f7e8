#include "PreviousMonth.h"

#include "Calendar.h"
#include "Prepared.h"
#include "Sql.h"
#include "Transaction.h"

#include <algorithm>

namespace schedule {

namespace {

// The sheet lines after the last one that holds a date, a payee, an amount or a stored original.
std::vector<qint64> emptyTail(SQLite::Database& work)
{
    const auto rows = store::queryRows(work,
        QStringLiteral("SELECT rowid, coalesce(支払先名, '') <> '' OR 日付 IS NOT NULL OR coalesce(表示日付, '') <> '' "
                       "OR coalesce(予定額, 0) <> 0 OR coalesce(支払額, 0) <> 0 OR 元日付 IS NOT NULL FROM InpWork ORDER BY 行番号, rowid"));
    std::vector<qint64> tail;
    for (const store::Row& row : rows) {
        if (row[1].toLongLong() != 0)
            tail.clear();
        else
            tail.push_back(row[0].toLongLong());
    }
    return tail;
}

} // namespace

CopyOutcome copyPreviousMonthLines(SQLite::Database& main, SQLite::Database& work, const QDate& month)
{
    const QDate first = calendar::firstOfMonth(month);
    const QDate before = first.addMonths(-1);
    const auto stored = store::queryRows(main,
        QStringLiteral("SELECT 日付, 支払先名, 予定額 FROM 支払予定表 WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid"),
        {calendar::toStoredText(before), calendar::toStoredText(first)});
    if (stored.empty())
        return {CopyOutcome::NothingStored, 0};
    store::Transaction tx(work);
    const std::vector<qint64> empty = emptyTail(work);
    if (empty.size() < stored.size())
        return {CopyOutcome::NoRoom, static_cast<int>(stored.size() - empty.size())};
    store::Prepared fill(work,
        QStringLiteral("UPDATE InpWork SET 日付 = ?, 表示日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = 0, 残高 = NULL WHERE rowid = ?"));
    for (size_t i = 0; i < stored.size(); ++i) {
        const QDate was = calendar::fromStoredText(stored[i][0].toString());
        const int day = std::min(was.isValid() ? was.day() : 1, first.daysInMonth());
        const QDate date(first.year(), first.month(), day);
        const QVariant scheduled = stored[i][2].isNull() ? QVariant(qlonglong(0)) : stored[i][2];
        fill.exec({calendar::toStoredText(date), QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')), stored[i][1], scheduled, empty[i]});
    }
    tx.commit();
    return {CopyOutcome::Copied, static_cast<int>(stored.size())};
}

} // namespace schedule

#include "SheetLines.h"

#include "Balances.h"
#include "Calendar.h"
#include "GridEditing.h"
#include "MonthSheet.h"
#include "Prepared.h"
#include "Sql.h"
#include "Transaction.h"

namespace schedule {

using namespace calendar;

namespace {

// The columns that make a sheet line worth keeping.
const char* const kHoldsData =
    "coalesce(支払先名, '') <> '' OR 日付 IS NOT NULL OR coalesce(表示日付, '') <> '' "
    "OR coalesce(予定額, 0) <> 0 OR coalesce(支払額, 0) <> 0 OR 元日付 IS NOT NULL";

} // namespace

InsertOutcome InsertLine(SQLite::Database& work, qint64 n)
{
    store::Transaction tx(work);
    // The lines that would be pushed out: all after the first 199 in sheet order.
    const QVariant pushedOut = store::scalar(work,
        QStringLiteral("SELECT count(*) FROM (SELECT * FROM InpWork ORDER BY 行番号, rowid LIMIT -1 OFFSET ?) WHERE ")
            + QString::fromUtf8(kHoldsData),
        {kSheetLines - 1});
    if (pushedOut.toLongLong() > 0)
        return InsertOutcome::NoRoom;
    // All or nothing: a step that failed half-way would lose the sheet's lines.
    store::exec(work, QStringLiteral("DELETE FROM InpWorkSort"));
    store::exec(work, QStringLiteral("INSERT INTO InpWorkSort SELECT * FROM InpWork ORDER BY 行番号, rowid"));
    store::exec(work, QStringLiteral("DELETE FROM InpWork"));
    store::exec(work, QStringLiteral("INSERT INTO InpWork SELECT * FROM InpWorkSort WHERE 行番号 < ? ORDER BY 行番号, rowid"), {n});
    store::exec(work, QStringLiteral("INSERT INTO InpWork (行番号) VALUES (?)"), {n});
    store::exec(work, QStringLiteral("INSERT INTO InpWork SELECT * FROM InpWorkSort WHERE 行番号 >= ? ORDER BY 行番号, rowid"), {n});
    // Renumber in the order the lines came back.
    store::exec(work, QStringLiteral("UPDATE InpWork SET 行番号 = r.n FROM (SELECT rowid AS id, row_number() OVER (ORDER BY rowid) AS n FROM InpWork) AS r "
                                     "WHERE InpWork.rowid = r.id"));
    store::exec(work, QStringLiteral("DELETE FROM InpWork WHERE 行番号 > ?"), {kSheetLines});
    tx.commit();
    return InsertOutcome::Inserted;
}

std::optional<StoredOriginal> storedOriginal(SQLite::Database& work, qint64 rowId)
{
    const auto rows = store::queryRows(work, QStringLiteral("SELECT 元日付, 元行番号, 元支払先名 FROM InpWork WHERE rowid = ?"), {rowId});
    if (rows.empty())
        return std::nullopt;
    const store::Row& line = rows.front();
    if (line[0].isNull() || line[1].isNull() || line[2].isNull())
        return std::nullopt;
    const QDate day = fromStoredText(line[0].toString());
    if (!day.isValid())
        return std::nullopt;
    return StoredOriginal{day, line[1].toLongLong(), line[2].toString()};
}

namespace {

// Deletes the stored original and repairs the stored balances after it.
bool deleteStoredOriginal(SQLite::Database& db, const StoredOriginal& original)
{
    const QString day = toStoredText(original.date);
    // The stored line before the deleted one: the last of an earlier date.
    const auto before = store::queryRows(db,
        QStringLiteral("SELECT 日付, 行番号 FROM 支払予定表 WHERE 日付 < ? ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1"), {day});
    const bool deleted = store::exec(db, QStringLiteral("DELETE FROM 支払予定表 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ?"),
                             {day, original.lineNumber, original.payee})
        > 0;
    const QDate beforeDate = before.empty() ? QDate() : fromStoredText(before.front()[0].toString());
    if (beforeDate.isValid())
        Calc残高for削除(db, beforeDate, before.front()[1].toLongLong());
    else
        Calc残高(db, original.date, store::Amount()); // nothing before it: the rest runs from 0
    return deleted;
}

} // namespace

bool LineDelete(SQLite::Database& work, qint64 rowId, store::Amount carry)
{
    try {
        store::Transaction tx(work);
        const std::optional<StoredOriginal> original = storedOriginal(work, rowId);
        const bool deleted = original && deleteStoredOriginal(work, *original);
        store::exec(work, QStringLiteral("DELETE FROM InpWork WHERE rowid = ?"), {rowId});
        ReCalc残高(work, carry);
        tx.commit();
        return deleted;
    } catch (const store::DbError&) {
        throw;
    } catch (const std::exception& e) {
        throw store::DbError(QStringLiteral("LineDelete"), QString::fromUtf8(e.what()), 0);
    }
}

} // namespace schedule

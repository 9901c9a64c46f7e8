#include "SheetLines.h"

#include "Balances.h"
#include "Calendar.h"
#include "GridEditing.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "Prepared.h"
#include "Skip.h"
#include "Transaction.h"
#include "WorkTableModel.h"

namespace schedule {

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

bool lineHoldsData(const store::WorkTableModel& sheet, int row)
{
    const auto text = [&](int column) { return !sheet.value(row, column).toString().isEmpty(); };
    const auto amount = [&](int column) {
        const auto value = store::Amount::fromVariant(sheet.value(row, column));
        return value && !value->isZero();
    };
    return text(kCol支払先名) || !sheet.value(row, kCol日付).isNull() || text(kCol表示日付) || amount(kCol予定額) || amount(kCol支払額)
        || !sheet.value(row, kCol元日付).isNull();
}

std::optional<StoredOriginal> storedOriginal(const store::WorkTableModel& sheet, int row)
{
    const QVariant date = sheet.value(row, kCol元日付);
    const QVariant number = sheet.value(row, kCol元行番号);
    const QVariant payee = sheet.value(row, kCol元支払先名);
    if (date.isNull() || number.isNull() || payee.isNull())
        return std::nullopt;
    const QDate day = fromStoredText(date.toString());
    if (!day.isValid())
        return std::nullopt;
    return StoredOriginal{day, number.toLongLong(), payee.toString()};
}

bool LineDelete(store::WorkTableModel& sheet, int row, store::Amount carry)
{
    SQLite::Database* db = sheet.database();
    if (!db || row < 0 || row >= sheet.storedRowCount())
        return false;
    const std::optional<StoredOriginal> original = storedOriginal(sheet, row);
    bool deleted = false;
    try {
        store::Transaction tx(*db);
        if (original) {
            const QString day = toStoredText(original->date);
            // The stored line before the deleted one: the last of an earlier date.
            std::optional<std::pair<QDate, qint64>> before;
            const auto found = store::queryRows(*db,
                QStringLiteral("SELECT 日付, 行番号 FROM 支払予定表 WHERE 日付 < ? ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1"), {day});
            if (!found.empty())
                before = std::make_pair(fromStoredText(found.front()[0].toString()), found.front()[1].toLongLong());
            deleted = store::exec(*db, QStringLiteral("DELETE FROM 支払予定表 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ?"),
                          {day, original->lineNumber, original->payee})
                > 0;
            if (before && before->first.isValid())
                Calc残高for削除(*db, before->first, before->second);
            else
                Calc残高(*db, original->date, store::Amount()); // nothing before it: the rest runs from 0
        }
        sheet.removeLine(row);
        ReCalc残高(*db, carry);
        tx.commit();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("LineDelete"), e);
        store::skipOnFailure(QStringLiteral("LineDelete re-read"), [&] { sheet.refresh(); });
        if (const auto* dbError = dynamic_cast<const store::DbError*>(&e))
            throw *dbError;
        throw store::DbError(QStringLiteral("LineDelete"), QString::fromUtf8(e.what()), 0);
    }
    return deleted;
}

void AllDelete(SQLite::Database& main)
{
    store::Transaction tx(main);
    StepSavepoint step(main);
    for (const char* table : {"支払先マスタ", "支払予定表", "自社情報"}) {
        const QString name = QString::fromUtf8(table);
        step.run(QStringLiteral("AllDelete ") + name, [&] { store::exec(main, QStringLiteral("DELETE FROM ") + store::quoteIdentifier(name)); });
    }
    tx.commit();
}

} // namespace schedule

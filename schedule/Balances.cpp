#include "Balances.h"

#include "Calendar.h"
#include "Prepared.h"
#include "Skip.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <stdexcept>

namespace schedule {

namespace {

using store::Amount;

LineBalance exactBalance(Amount before, Amount scheduled, Amount paid)
{
    const auto raised = before.plus(scheduled);
    const auto result = raised ? raised->minus(paid) : std::nullopt;
    if (!result)
        return {LineBalance::Overflow, Amount()};
    return {LineBalance::Value, *result};
}

bool isBlankText(const QVariant& value)
{
    return value.isNull() || !value.isValid() || value.toString().isEmpty();
}

// The stop test of the grid pass: only a number equal to 0 counts, an empty cell does not.
bool isNumberZero(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong() == 0;
    case QMetaType::Double:
        return value.toDouble() == 0.0;
    default:
        return false;
    }
}

Amount orZero(const QVariant& value)
{
    return Amount::fromVariant(value).value_or(Amount());
}

void logOutOfRange(const QString& what)
{
    store::logSkipped(what, std::runtime_error("balance does not fit in 64 bits; line left as it was"));
}

// One write of a balance run inside its transaction. A refused statement undoes only
// itself and the run goes on; when the engine ended the whole transaction, the run stops.
template <class F>
bool writeStep(SQLite::Database& db, const QString& what, F&& body)
{
    if (store::skipOnFailure(what, std::forward<F>(body)))
        return true;
    if (!inTransaction(db))
        throw store::DbError(what, QStringLiteral("the transaction ended"), 0);
    return false;
}

Amount sheetSum(SQLite::Database& work, const QString& sql)
{
    return orZero(store::scalar(work, sql));
}

} // namespace

LineBalance balanceAfter(Amount before, const QVariant& scheduled, const QVariant& paid)
{
    const auto plan = Amount::fromVariant(scheduled);
    const auto pay = Amount::fromVariant(paid);
    if (!plan || !pay)
        return {LineBalance::Empty, Amount()};
    return exactBalance(before, *plan, *pay);
}

Amount 予定額月計(SQLite::Database& work)
{
    return sheetSum(work, QStringLiteral("SELECT sum(予定額) AS total FROM InpWork"));
}

Amount 支払額月計(SQLite::Database& work)
{
    return sheetSum(work, QStringLiteral("SELECT sum(支払額) AS total FROM InpWork"));
}

BalanceRun Calc残高(SQLite::Database& main, const QDate& start, Amount carry)
{
    BalanceRun run;
    if (!start.isValid())
        return run;
    store::Transaction tx(main);
    const auto lines = store::queryRows(main,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額 FROM 支払予定表 WHERE 日付 >= ? ORDER BY 日付, 行番号"),
        {toStoredText(start)});
    if (!lines.empty()) {
        Prepared update(main, QStringLiteral("UPDATE 支払予定表 SET 残高 = ? WHERE rowid = ?"));
        Amount running = carry;
        for (const store::Row& line : lines) {
            if (isBlankText(line[1]))
                break;
            const LineBalance balance = balanceAfter(running, line[2], line[3]);
            if (balance.kind == LineBalance::Overflow) {
                logOutOfRange(QStringLiteral("Calc残高"));
                ++run.skipped;
                continue;
            }
            const QVariant stored = balance.kind == LineBalance::Value ? balance.value.toVariant() : QVariant();
            if (writeStep(main, QStringLiteral("Calc残高 line"), [&] { update.exec({stored, line[0]}); }))
                ++run.rewritten;
            else
                ++run.skipped;
            if (balance.kind == LineBalance::Value)
                running = balance.value;
        }
    }
    tx.commit();
    return run;
}

BalanceRun Calc残高for削除(SQLite::Database& main, const QDate& date, std::optional<qint64> lineNumber)
{
    BalanceRun run;
    if (!date.isValid() || !lineNumber)
        return run;
    const QString day = toStoredText(date);
    store::Transaction tx(main);
    const auto lines = store::queryRows(main,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 "
                       "WHERE 日付 >= ? AND (日付 > ? OR 行番号 >= ?) ORDER BY 日付, 行番号"),
        {day, day, *lineNumber});
    if (!lines.empty()) {
        Prepared update(main, QStringLiteral("UPDATE 支払予定表 SET 残高 = ? WHERE rowid = ?"));
        // The first line is the one before the deleted line; it is taken as it stands.
        Amount running = orZero(lines.front()[4]);
        for (size_t i = 1; i < lines.size(); ++i) {
            const store::Row& line = lines[i];
            if (isBlankText(line[1]))
                break;
            const LineBalance balance = balanceAfter(running, line[2], line[3]);
            if (balance.kind == LineBalance::Overflow) {
                logOutOfRange(QStringLiteral("Calc残高for削除"));
                ++run.skipped;
                continue;
            }
            const QVariant stored = balance.kind == LineBalance::Value ? balance.value.toVariant() : QVariant();
            if (writeStep(main, QStringLiteral("Calc残高for削除 line"), [&] { update.exec({stored, line[0]}); }))
                ++run.rewritten;
            else
                ++run.skipped;
            running = balance.kind == LineBalance::Value ? balance.value : Amount();
        }
    }
    tx.commit();
    return run;
}

BalanceRun ReCalc残高(SQLite::Database& work, Amount carry)
{
    BalanceRun run;
    store::Transaction tx(work);
    const auto lines = store::queryRows(work, QStringLiteral("SELECT rowid, 日付, 支払先名, 予定額, 支払額 FROM InpWork ORDER BY 行番号"));
    if (!lines.empty()) {
        Prepared update(work, QStringLiteral("UPDATE InpWork SET 残高 = ? WHERE rowid = ?"));
        Amount running = carry;
        for (const store::Row& line : lines) {
            if (isBlankText(line[1]) || isBlankText(line[2]))
                continue;
            const LineBalance balance = balanceAfter(running, line[3], line[4]);
            if (balance.kind == LineBalance::Overflow) {
                logOutOfRange(QStringLiteral("ReCalc残高"));
                ++run.skipped;
                continue;
            }
            const QVariant stored = balance.kind == LineBalance::Value ? balance.value.toVariant() : QVariant();
            if (writeStep(work, QStringLiteral("ReCalc残高 line"), [&] { update.exec({stored, line[0]}); }))
                ++run.rewritten;
            else
                ++run.skipped;
            if (balance.kind == LineBalance::Value)
                running = balance.value;
        }
    }
    tx.commit();
    return run;
}

BalanceRun Calc行残高(store::WorkTableModel& sheet, int currentRow, Amount carry)
{
    BalanceRun run;
    SQLite::Database* db = sheet.database();
    const int rows = sheet.storedRowCount();
    const int planColumn = sheet.fieldIndex(QStringLiteral("予定額"));
    const int paidColumn = sheet.fieldIndex(QStringLiteral("支払額"));
    const int balanceColumn = sheet.fieldIndex(QStringLiteral("残高"));
    if (!db || currentRow < 0 || currentRow >= rows || planColumn < 0 || paidColumn < 0 || balanceColumn < 0)
        return run;
    try {
        store::Transaction tx(*db);
        // A line still held in the buffer is written first, as moving off it would.
        sheet.commit();
        for (int row = currentRow; row < rows;) {
            const Amount before = row == 0 ? carry : orZero(sheet.value(row - 1, balanceColumn));
            const LineBalance balance = exactBalance(before, orZero(sheet.value(row, planColumn)), orZero(sheet.value(row, paidColumn)));
            if (balance.kind == LineBalance::Value) {
                const bool written = writeStep(*db, QStringLiteral("Calc行残高 line"), [&] {
                    try {
                        sheet.setValue(row, balanceColumn, balance.value.toVariant());
                        sheet.commit();
                    } catch (...) {
                        sheet.discardPending();
                        throw;
                    }
                });
                ++(written ? run.rewritten : run.skipped);
            } else {
                logOutOfRange(QStringLiteral("Calc行残高"));
                ++run.skipped;
            }
            ++row;
            if (row < rows && isNumberZero(sheet.value(row, planColumn)) && isNumberZero(sheet.value(row, paidColumn)))
                break;
        }
        tx.commit();
    } catch (const store::DbError& e) {
        store::logSkipped(QStringLiteral("Calc行残高"), e);
        run.rewritten = 0;
        store::skipOnFailure(QStringLiteral("Calc行残高 re-read"), [&] { sheet.refresh(); });
    }
    return run;
}

} // namespace schedule

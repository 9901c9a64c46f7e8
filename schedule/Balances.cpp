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

namespace {

// One line of a balance run, read at once so that the statement is finished before the
// first write.
struct RunLine {
    qint64 rowId = 0;
    bool noPayee = false;
    bool noDate = false;
    std::optional<Amount> scheduled;
    std::optional<Amount> paid;
    std::optional<Amount> balance;
};

enum class Extra { None, Balance, Date };

// Reads rowid, 支払先名, 予定額, 支払額 and, as fifth column, 残高 or 日付.
std::vector<RunLine> readRun(SQLite::Database& db, const QString& sql, const QVariantList& values, Extra extra)
{
    Prepared query(db, sql);
    for (int i = 0; i < values.size(); ++i)
        query.bind(i + 1, values.at(i));
    std::vector<RunLine> lines;
    while (query.next()) {
        RunLine line;
        line.rowId = query.integer(0);
        line.noPayee = query.isBlank(1);
        line.scheduled = query.amount(2);
        line.paid = query.amount(3);
        if (extra == Extra::Balance)
            line.balance = query.amount(4);
        else if (extra == Extra::Date)
            line.noDate = query.isBlank(4);
        lines.push_back(line);
    }
    query.reset();
    return lines;
}

LineBalance balanceOf(Amount before, const RunLine& line)
{
    if (!line.scheduled || !line.paid)
        return {LineBalance::Empty, Amount()};
    return exactBalance(before, *line.scheduled, *line.paid);
}

// Writes one balance (null for an empty one) by rowid as a skippable step.
bool writeBalance(SQLite::Database& db, Prepared& update, const QString& what, const LineBalance& balance, qint64 rowId)
{
    return writeStep(db, what, [&] {
        if (balance.kind == LineBalance::Value)
            update.bind(1, balance.value.units());
        else
            update.bind(1, QVariant());
        update.bind(2, rowId);
        update.run();
    });
}

} // namespace

BalanceRun Calc残高(SQLite::Database& main, const QDate& start, Amount carry)
{
    BalanceRun run;
    if (!start.isValid())
        return run;
    store::Transaction tx(main);
    const auto lines = readRun(main,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額 FROM 支払予定表 WHERE 日付 >= ? ORDER BY 日付, 行番号, rowid"),
        {toStoredText(start)}, Extra::None);
    if (!lines.empty()) {
        Prepared update(main, QStringLiteral("UPDATE 支払予定表 SET 残高 = ? WHERE rowid = ?"));
        Amount running = carry;
        for (const RunLine& line : lines) {
            if (line.noPayee)
                break;
            const LineBalance balance = balanceOf(running, line);
            if (balance.kind == LineBalance::Overflow) {
                logOutOfRange(QStringLiteral("Calc残高"));
                ++run.skipped;
                continue;
            }
            ++(writeBalance(main, update, QStringLiteral("Calc残高 line"), balance, line.rowId) ? run.rewritten : run.skipped);
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
    const auto lines = readRun(main,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 "
                       "WHERE 日付 >= ? AND (日付 > ? OR 行番号 >= ?) ORDER BY 日付, 行番号, rowid"),
        {day, day, *lineNumber}, Extra::Balance);
    if (!lines.empty()) {
        Prepared update(main, QStringLiteral("UPDATE 支払予定表 SET 残高 = ? WHERE rowid = ?"));
        // The first line is the one before the deleted line; it is taken as it stands.
        Amount running = lines.front().balance.value_or(Amount());
        for (size_t i = 1; i < lines.size(); ++i) {
            const RunLine& line = lines[i];
            if (line.noPayee)
                break;
            const LineBalance balance = balanceOf(running, line);
            if (balance.kind == LineBalance::Overflow) {
                logOutOfRange(QStringLiteral("Calc残高for削除"));
                ++run.skipped;
                continue;
            }
            ++(writeBalance(main, update, QStringLiteral("Calc残高for削除 line"), balance, line.rowId) ? run.rewritten : run.skipped);
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
    const auto lines = readRun(work, QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額, 日付 FROM InpWork ORDER BY 行番号, rowid"), {}, Extra::Date);
    if (!lines.empty()) {
        Prepared update(work, QStringLiteral("UPDATE InpWork SET 残高 = ? WHERE rowid = ?"));
        Amount running = carry;
        for (const RunLine& line : lines) {
            if (line.noDate || line.noPayee)
                continue;
            const LineBalance balance = balanceOf(running, line);
            if (balance.kind == LineBalance::Overflow) {
                logOutOfRange(QStringLiteral("ReCalc残高"));
                ++run.skipped;
                continue;
            }
            ++(writeBalance(work, update, QStringLiteral("ReCalc残高 line"), balance, line.rowId) ? run.rewritten : run.skipped);
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
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("Calc行残高"), e);
        run.rewritten = 0;
        store::skipOnFailure(QStringLiteral("Calc行残高 re-read"), [&] { sheet.refresh(); });
    }
    return run;
}

} // namespace schedule

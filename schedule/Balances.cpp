#include "Balances.h"

#include "Calendar.h"
#include "Prepared.h"
#include "SaveProgress.h"
#include "Skip.h"
#include "Transaction.h"

#include <span>
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

Amount orZero(const std::optional<Amount>& value)
{
    return value.value_or(Amount());
}

void logOutOfRange(const QString& what)
{
    store::logSkipped(what, std::runtime_error("balance does not fit in 64 bits; line left as it was"));
}

Amount sheetSum(SQLite::Database& work, const QString& sql)
{
    return Amount::fromVariant(store::scalar(work, sql)).value_or(Amount());
}

// One line of a balance run, read at once so that the statement is finished before the
// first write.
struct RunLine {
    qint64 rowId = 0;
    bool blank = false; // no payee (or, on the sheet, no date): not a line of the book
    std::optional<Amount> scheduled;
    std::optional<Amount> paid;
    std::optional<Amount> balance;
};

// Reads rowid, 支払先名, 予定額, 支払額, 残高 and, as sixth column when asked, 日付.
std::vector<RunLine> readRun(SQLite::Database& db, const QString& sql, const QVariantList& values, bool withDate, ProgressSpan* progress = nullptr)
{
    store::Prepared query(db, sql);
    for (int i = 0; i < values.size(); ++i)
        query.bind(i + 1, values.at(i));
    std::vector<RunLine> lines;
    while (query.next()) {
        RunLine line;
        line.rowId = query.integer(0);
        line.blank = query.isBlank(1) || (withDate && query.isBlank(5));
        line.scheduled = query.amount(2);
        line.paid = query.amount(3);
        line.balance = query.amount(4);
        lines.push_back(line);
        if (progress)
            progress->advance(static_cast<qint64>(lines.size()));
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

// Where the runs over lines of the book differ.
struct RunPolicy {
    bool blankEndsRun;        // a blank line ends the run (stored lines) or is passed over with no balance (the sheet)
    bool emptyRestartsAtZero; // after a line with an empty amount the run goes on from 0, or from the last balance
};

// The one balance run: each line gets the running balance plus its scheduled amount
// minus its paid amount (null when an amount is null), written by rowid as a skippable
// step; a balance out of range leaves the line as it was. progress, when given, moves with
// the lines: each line done counts kWriteUnits units after the unitsBefore already done.
constexpr qint64 kWriteUnits = 2; // writing a balance costs about twice reading its line

BalanceRun runBalances(store::Transaction& tx, SQLite::Database& db, const QString& table, std::span<const RunLine> lines,
    Amount start, RunPolicy policy, const QString& what, ProgressSpan* progress = nullptr, qint64 unitsBefore = 0)
{
    BalanceRun run;
    if (lines.empty())
        return run;
    store::Prepared update(db, QStringLiteral("UPDATE %1 SET 残高 = ? WHERE rowid = ?").arg(table));
    Amount running = start;
    qint64 done = 0;
    for (const RunLine& line : lines) {
        if (progress)
            progress->advance(unitsBefore + kWriteUnits * done++);
        if (line.blank) {
            if (policy.blankEndsRun)
                break;
            // A sheet line that will not be stored shows no balance and passes the run on.
            if (line.balance)
                tx.step(what, [&] { update.exec({QVariant(), line.rowId}); }, store::Transaction::Step::OneStatement);
            continue;
        }
        const LineBalance balance = balanceOf(running, line);
        if (balance.kind == LineBalance::Overflow) {
            logOutOfRange(what);
            ++run.skipped;
            continue;
        }
        const bool written = tx.step(what, [&] {
            if (balance.kind == LineBalance::Value)
                update.bind(1, balance.value.units());
            else
                update.bind(1, QVariant());
            update.bind(2, line.rowId);
            update.run();
        }, store::Transaction::Step::OneStatement);
        ++(written ? run.rewritten : run.skipped);
        if (balance.kind == LineBalance::Value)
            running = balance.value;
        else if (policy.emptyRestartsAtZero)
            running = Amount();
    }
    return run;
}

const QString kStored = QStringLiteral("支払予定表");
const QString kSheet = QStringLiteral("InpWork");

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

BalanceRun Calc残高(SQLite::Database& main, const QDate& start, Amount carry, ProgressSpan* progress)
{
    if (!start.isValid())
        return {};
    store::Transaction tx(main);
    // With a bar, the lines are counted first (on the date index) so that it moves while
    // they are read as well as while their balances are written.
    qint64 count = 0;
    if (progress) {
        count = store::scalar(main, QStringLiteral("SELECT count(*) FROM 支払予定表 WHERE 日付 >= ?"), {calendar::toStoredText(start)}).toLongLong();
        progress->start(count * (1 + kWriteUnits));
    }
    const auto lines = readRun(main,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 WHERE 日付 >= ? ORDER BY 日付, 行番号, rowid"),
        {calendar::toStoredText(start)}, false, progress);
    const BalanceRun run = runBalances(tx, main, kStored, lines, carry, {.blankEndsRun = true, .emptyRestartsAtZero = false}, QStringLiteral("Calc残高"), progress, count);
    tx.commit();
    return run;
}

BalanceRun Calc残高for削除(SQLite::Database& main, const QDate& date, std::optional<qint64> lineNumber)
{
    if (!date.isValid() || !lineNumber)
        return {};
    const QString day = calendar::toStoredText(date);
    store::Transaction tx(main);
    const auto lines = readRun(main,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 "
                       "WHERE 日付 >= ? AND (日付 > ? OR 行番号 >= ?) ORDER BY 日付, 行番号, rowid"),
        {day, day, *lineNumber}, false);
    BalanceRun run;
    if (!lines.empty()) {
        // The first line is the one before the deleted line; it is taken as it stands.
        run = runBalances(tx, main, kStored, std::span(lines).subspan(1), orZero(lines.front().balance),
            {.blankEndsRun = true, .emptyRestartsAtZero = true}, QStringLiteral("Calc残高for削除"));
    }
    tx.commit();
    return run;
}

BalanceRun ReCalc残高(SQLite::Database& work, Amount carry)
{
    store::Transaction tx(work);
    // The order in which the save stores the lines and recomputes their balances: by
    // date, then line number; lines without a date come last.
    const auto lines = readRun(work,
        QStringLiteral("SELECT rowid, 支払先名, 予定額, 支払額, 残高, 日付 FROM InpWork ORDER BY 日付 IS NULL, 日付, 行番号, rowid"), {}, true);
    const BalanceRun run = runBalances(tx, work, kSheet, lines, carry, {.blankEndsRun = false, .emptyRestartsAtZero = false}, QStringLiteral("ReCalc残高"));
    tx.commit();
    return run;
}

} // namespace schedule

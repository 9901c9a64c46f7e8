#include "Balances.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <limits>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
};

int countCommit(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

Amount yenAmount(std::int64_t amount)
{
    return Amount::fromUnits(amount * 10000);
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

// A sheet of 200 lines in the work file; lines[i] = {予定額, 支払額, 残高} in yen for line i + 1.
void fillSheet(SQLite::Database& work, const std::vector<std::array<QVariant, 3>>& lines)
{
    store::Transaction tx(work);
    store::exec(work, "DELETE FROM InpWork");
    for (int n = 1; n <= 200; ++n) {
        const size_t i = static_cast<size_t>(n - 1);
        if (i < lines.size())
            store::exec(work, "INSERT INTO InpWork (行番号, 元行番号, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?)", {n, n, lines[i][0], lines[i][1], lines[i][2]});
        else
            store::exec(work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)", {n, n});
    }
    tx.commit();
}

} // namespace

TEST(Balances, TheBalanceRuleIsExactAndRefusesResultsBeyond64Bits)
{
    const LineBalance first = balanceAfter(yenAmount(5000), yen(10000), yen(0));
    ASSERT_EQ(first.kind, LineBalance::Value);
    EXPECT_EQ(first.value, yenAmount(15000));
    const LineBalance second = balanceAfter(first.value, yen(0), yen(3000));
    EXPECT_EQ(second.value, yenAmount(12000));
    // Ten-thousandths are kept exactly.
    EXPECT_EQ(balanceAfter(Amount::fromUnits(1), QVariant(qlonglong(2)), QVariant(qlonglong(4))).value, Amount::fromUnits(-1));
    EXPECT_EQ(balanceAfter(Amount(), QVariant(), yen(1)).kind, LineBalance::Empty);
    EXPECT_EQ(balanceAfter(Amount(), yen(1), QVariant()).kind, LineBalance::Empty);
    EXPECT_EQ(balanceAfter(Amount::fromUnits(kMax), QVariant(qlonglong(1)), QVariant(qlonglong(0))).kind, LineBalance::Overflow);
    EXPECT_EQ(balanceAfter(Amount::fromUnits(-kMax), QVariant(qlonglong(0)), QVariant(qlonglong(2))).kind, LineBalance::Overflow);
    // An intermediate sum beyond the range is refused even when the difference would fit.
    EXPECT_EQ(balanceAfter(Amount::fromUnits(kMax), QVariant(qlonglong(1)), QVariant(qlonglong(1))).kind, LineBalance::Overflow);
    const LineBalance edge = balanceAfter(Amount::fromUnits(kMax - 1), QVariant(qlonglong(1)), QVariant(qlonglong(0)));
    ASSERT_EQ(edge.kind, LineBalance::Value);
    EXPECT_EQ(edge.value.units(), kMax);
}

TEST(Balances, Calc残高RunsFromTheStartDateInDateAndLineOrderInOneTransactionAndStopsAtALineWithoutPayee)
{
    Files f;
    storeLine(f.main, "2005-02-28", 1, "before", yen(1), yen(0), yen(111));
    // Stored out of line order within one date.
    storeLine(f.main, "2005-03-05", 2, "second", yen(0), yen(300), yen(0));
    storeLine(f.main, "2005-03-05", 1, "first", yen(10000), yen(0), yen(0));
    storeLine(f.main, "2005-03-20", 1, "no amount", QVariant(), yen(50), yen(7));
    storeLine(f.main, "2005-04-02", 1, "next month", yen(1000), yen(0), yen(0));
    storeLine(f.main, "2005-04-10", 1, QVariant(), yen(1), yen(1), yen(42));
    storeLine(f.main, "2005-04-11", 1, "after the stop", yen(1), yen(0), yen(43));

    int commits = 0;
    sqlite3_commit_hook(f.main.getHandle(), &countCommit, &commits);
    const BalanceRun run = Calc残高(f.main, QDate(2005, 3, 1), yenAmount(5000));
    sqlite3_commit_hook(f.main.getHandle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(run.rewritten, 4);
    EXPECT_EQ(run.skipped, 0);

    EXPECT_EQ(inYen(storedBalance(f.main, "2005-02-28", 1)), 111);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-05", 1)), 15000);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-05", 2)), 14700);
    // A null amount gives a null balance and the running balance goes on unchanged.
    EXPECT_TRUE(storedBalance(f.main, "2005-03-20", 1).isNull());
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-04-02", 1)), 15700);
    // From the line without payee on, the stored balances stay.
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-04-10", 1)), 42);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-04-11", 1)), 43);

    // Nothing dated on or after the start, or no start: nothing changes.
    EXPECT_EQ(Calc残高(f.main, QDate(2006, 1, 1), yenAmount(1)).rewritten, 0);
    EXPECT_EQ(Calc残高(f.main, QDate(), yenAmount(1)).rewritten, 0);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-05", 1)), 15000);
}

TEST(Balances, Calc残高SkipsALineWhoseBalanceDoesNotFitAndALineTheFileRefuses)
{
    Files f;
    storeLine(f.main, "2005-03-01", 1, "huge", QVariant(qlonglong(kMax)), yen(0), yen(1));
    storeLine(f.main, "2005-03-02", 1, "refused", yen(2), yen(0), yen(2));
    storeLine(f.main, "2005-03-03", 1, "after", yen(3), yen(0), yen(3));
    store::exec(f.main, "CREATE TRIGGER no_update BEFORE UPDATE ON 支払予定表 WHEN OLD.支払先名 = 'refused' BEGIN SELECT RAISE(ABORT, 'no'); END");

    const BalanceRun run = Calc残高(f.main, QDate(2005, 3, 1), yenAmount(1));
    EXPECT_EQ(run.rewritten, 1);
    EXPECT_EQ(run.skipped, 2);
    // The out-of-range line keeps its old balance and does not move the running balance.
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-01", 1)), 1);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-02", 1)), 2);
    // The refused line's own result still carries on: 1 + 2 + 3.
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-03", 1)), 6);
}

TEST(Balances, Calc残高for削除StartsFromThePrecedingStoredLineAndRestartsAtZeroAfterANullBalance)
{
    Files f;
    storeLine(f.main, "2005-02-27", 9, "earlier", yen(1), yen(0), yen(1));
    storeLine(f.main, "2005-02-28", 2, "lower on p's day", yen(5), yen(0), yen(5));
    storeLine(f.main, "2005-02-28", 3, "p", yen(0), yen(0), yen(1000));
    storeLine(f.main, "2005-02-28", 4, "same day after p", yen(100), yen(0), yen(0));
    storeLine(f.main, "2005-03-01", 1, "next month", yen(0), yen(50), yen(0));
    storeLine(f.main, "2005-03-02", 1, "null paid", yen(10), QVariant(), yen(0));
    storeLine(f.main, "2005-03-03", 1, "after null", yen(7), yen(0), yen(0));
    storeLine(f.main, "2005-03-04", 1, "", yen(1), yen(0), yen(99));
    storeLine(f.main, "2005-03-05", 1, "after the stop", yen(1), yen(0), yen(98));

    int commits = 0;
    sqlite3_commit_hook(f.main.getHandle(), &countCommit, &commits);
    const BalanceRun run = Calc残高for削除(f.main, QDate(2005, 2, 28), 3);
    sqlite3_commit_hook(f.main.getHandle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(run.rewritten, 4);

    EXPECT_EQ(inYen(storedBalance(f.main, "2005-02-27", 9)), 1);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-02-28", 2)), 5);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-02-28", 3)), 1000);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-02-28", 4)), 1100);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-01", 1)), 1050);
    EXPECT_TRUE(storedBalance(f.main, "2005-03-02", 1).isNull());
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-03", 1)), 7);
    // An empty payee ends the run as a missing one does.
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-04", 1)), 99);
    EXPECT_EQ(inYen(storedBalance(f.main, "2005-03-05", 1)), 98);

    // No preceding line (no line number) or no date: nothing is recomputed.
    EXPECT_EQ(Calc残高for削除(f.main, QDate(2005, 2, 28), std::nullopt).rewritten, 0);
    EXPECT_EQ(Calc残高for削除(f.main, QDate(), 3).rewritten, 0);
}

TEST(Balances, ReCalc残高SkipsSheetLinesWithoutDateOrPayeeAndLeavesThemAsTheyWere)
{
    Files f;
    fillSheet(f.work, {{yen(100), yen(0), yen(0)}, {yen(999), yen(0), yen(555)}, {yen(0), yen(30), yen(0)}, {yen(1), yen(0), yen(444)}, {QVariant(), yen(5), yen(0)}, {yen(2), yen(0), yen(0)}});
    store::exec(f.work, "UPDATE InpWork SET 日付 = '2005-03-01', 支払先名 = 'p' WHERE 行番号 IN (1, 3, 5, 6)");
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = 'no date' WHERE 行番号 = 2");
    store::exec(f.work, "UPDATE InpWork SET 日付 = '2005-03-02', 支払先名 = '' WHERE 行番号 = 4");

    const BalanceRun run = ReCalc残高(f.work, yenAmount(20));
    EXPECT_EQ(run.rewritten, 4);
    EXPECT_EQ(inYen(sheetField(f.work, 1, "残高")), 120);
    EXPECT_EQ(inYen(sheetField(f.work, 2, "残高")), 555);
    EXPECT_EQ(inYen(sheetField(f.work, 3, "残高")), 90);
    EXPECT_EQ(inYen(sheetField(f.work, 4, "残高")), 444);
    EXPECT_TRUE(sheetField(f.work, 5, "残高").isNull());
    EXPECT_EQ(inYen(sheetField(f.work, 6, "残高")), 92);
    // Blank lines are not touched.
    EXPECT_EQ(store::scalar(f.work, "SELECT count(*) FROM InpWork WHERE 行番号 > 6 AND 残高 <> 0").toInt(), 0);
}

TEST(Balances, Calc行残高RunsDownToTheFirstLineWhoseTwoAmountsAreZeroInOneTransaction)
{
    Files f;
    // Lines 1-3 filled, 4 blank, 5 filled; line 7 has empty (null) amounts, which do not stop
    // a pass, and line 8 is blank again.
    fillSheet(f.work, {{yen(100), yen(0), yen(1)}, {yen(50), yen(0), yen(2)}, {yen(0), yen(20), yen(3)}, {yen(0), yen(0), yen(0)}, {yen(7), yen(0), yen(4)}});
    store::exec(f.work, "UPDATE InpWork SET 予定額 = NULL, 支払額 = NULL, 残高 = ? WHERE 行番号 = 7", {yen(77)});
    store::WorkTableModel sheet;
    sheet.bind(&f.work, "InpWork");
    sheet.refresh();

    int commits = 0;
    sqlite3_commit_hook(f.work.getHandle(), &countCommit, &commits);
    // From line 2: the balance before is line 1's shown balance (1 yen).
    BalanceRun run = Calc行残高(sheet, 1, yenAmount(1000));
    sqlite3_commit_hook(f.work.getHandle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(run.rewritten, 2);
    EXPECT_EQ(inYen(sheet.value(1, 7)), 51);
    EXPECT_EQ(inYen(sheet.value(2, 7)), 31);
    EXPECT_EQ(inYen(sheetField(f.work, 2, "残高")), 51);
    EXPECT_EQ(inYen(sheetField(f.work, 3, "残高")), 31);
    EXPECT_EQ(inYen(sheetField(f.work, 1, "残高")), 1);
    EXPECT_EQ(inYen(sheetField(f.work, 5, "残高")), 4);
    EXPECT_FALSE(sheet.hasPending());

    // From the top line the carry-over is the balance before.
    run = Calc行残高(sheet, 0, yenAmount(1000));
    EXPECT_EQ(run.rewritten, 3);
    EXPECT_EQ(inYen(sheetField(f.work, 1, "残高")), 1100);
    EXPECT_EQ(inYen(sheetField(f.work, 3, "残高")), 1130);

    // From line 5 the pass runs through line 6 (blank is the stop only as the next line:
    // line 6 is 0/0), so only line 5 is written.
    run = Calc行残高(sheet, 4, Amount());
    EXPECT_EQ(run.rewritten, 1);
    EXPECT_EQ(inYen(sheetField(f.work, 5, "残高")), 7);

    // From line 6 (blank itself) the pass goes on through line 7, whose empty amounts count
    // as 0 and do not end it, and stops before line 8.
    run = Calc行残高(sheet, 5, Amount());
    EXPECT_EQ(run.rewritten, 2);
    EXPECT_EQ(inYen(sheetField(f.work, 6, "残高")), 7);
    EXPECT_EQ(inYen(sheetField(f.work, 7, "残高")), 7);
    EXPECT_EQ(inYen(sheetField(f.work, 8, "残高")), 0);

    // A line still in the buffer is written first and counts with its new amount.
    sheet.setValue(0, 5, yen(200));
    run = Calc行残高(sheet, 0, Amount());
    EXPECT_EQ(inYen(sheetField(f.work, 1, "予定額")), 200);
    EXPECT_EQ(inYen(sheetField(f.work, 3, "残高")), 230);
}

TEST(Balances, Calc行残高LeavesALineWhoseBalanceDoesNotFitAndReReadsTheSheetWhenItsFileRefusesTheRun)
{
    Files f;
    fillSheet(f.work, {{QVariant(qlonglong(kMax)), yen(0), yen(9)}, {yen(1), yen(0), yen(8)}});
    store::WorkTableModel sheet;
    sheet.bind(&f.work, "InpWork");
    sheet.refresh();
    const BalanceRun run = Calc行残高(sheet, 0, yenAmount(1));
    EXPECT_EQ(run.skipped, 1);
    EXPECT_EQ(run.rewritten, 1);
    EXPECT_EQ(inYen(sheetField(f.work, 1, "残高")), 9);
    // The next line follows the balance shown above it.
    EXPECT_EQ(inYen(sheetField(f.work, 2, "残高")), 10);

    // With another connection writing the sheet's file nothing can be written: the
    // grid's copy goes back to what the file holds instead of showing unsaved balances.
    SQLite::Database other(f.dir.workPath().toStdString(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    sheet.setValue(1, 7, yen(12345));
    Calc行残高(sheet, 1, Amount());
    other.exec("ROLLBACK");
    EXPECT_EQ(inYen(sheet.value(1, 7)), 10);
    EXPECT_EQ(inYen(sheetField(f.work, 2, "残高")), 10);
}

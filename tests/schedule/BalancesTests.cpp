#include "Balances.h"
#include "MonthSave.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

// A sheet of 200 lines; lines[i] = {予定額, 支払額, 残高} of line i + 1, the rest blank.
void fillSheet(SQLite::Database& work, const std::vector<std::array<QVariant, 3>>& lines)
{
    store::Transaction tx(work);
    store::exec(work, "DELETE FROM InpWork");
    for (int n = 1; n <= 200; ++n) {
        const auto& l = static_cast<size_t>(n) <= lines.size() ? lines[static_cast<size_t>(n - 1)] : std::array<QVariant, 3>{yen(0), yen(0), yen(0)};
        store::exec(work, "INSERT INTO InpWork (行番号, 元行番号, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?)", {n, n, l[0], l[1], l[2]});
    }
    tx.commit();
}

QString sheetBalances(SQLite::Database& work, int upTo)
{
    return row(work, "SELECT group_concat(coalesce(残高 / 10000, '-'), ' ') FROM (SELECT 残高 FROM InpWork WHERE 行番号 <= ? ORDER BY 行番号)", {upTo});
}

} // namespace

TEST(Balances, TheRuleIsExactAndRefusesResultsBeyond64Bits)
{
    const LineBalance first = balanceAfter(*Amount::fromYen(5000), yen(10000), yen(0));
    EXPECT_EQ(first.value, *Amount::fromYen(15000));
    EXPECT_EQ(balanceAfter(first.value, yen(0), yen(3000)).value, *Amount::fromYen(12000));
    EXPECT_EQ(balanceAfter(Amount::fromUnits(1), 2LL, 4LL).value, Amount::fromUnits(-1));
    EXPECT_EQ(balanceAfter(Amount(), QVariant(), yen(1)).kind, LineBalance::Empty);
    EXPECT_EQ(balanceAfter(Amount::fromUnits(kMax - 1), 1LL, 0LL).value.units(), kMax);
    EXPECT_EQ(balanceAfter(Amount::fromUnits(-kMax), 0LL, 2LL).kind, LineBalance::Overflow);
    // An intermediate sum beyond the range is refused even where the difference would fit.
    EXPECT_EQ(balanceAfter(Amount::fromUnits(kMax), 1LL, 1LL).kind, LineBalance::Overflow);
}

TEST(Balances, Calc残高RunsInDateAndLineOrderInOneTransactionStopsAtALineWithoutPayeeAndSkipsWhatItCannotWrite)
{
    Files f;
    storeLine(f.main, "2005-02-28", 1, "before", yen(1), yen(0), yen(111));
    storeLine(f.main, "2005-03-05", 2, "second", yen(0), yen(300), yen(0));
    storeLine(f.main, "2005-03-05", 1, "first", yen(10000), yen(0), yen(0));
    storeLine(f.main, "2005-03-20", 1, "no amount", QVariant(), yen(50), yen(7));
    storeLine(f.main, "2005-04-02", 1, "next month", yen(1000), yen(0), yen(0));
    storeLine(f.main, "2005-04-10", 1, QVariant(), yen(1), yen(1), yen(42));
    storeLine(f.main, "2005-04-11", 1, "after the stop", yen(1), yen(0), yen(43));

    int commits = 0;
    sqlite3_commit_hook(f.main.getHandle(), &countCommit, &commits);
    EXPECT_EQ(Calc残高(f.main, QDate(2005, 3, 1), *Amount::fromYen(5000)).rewritten, 4);
    sqlite3_commit_hook(f.main.getHandle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);
    // A null amount gives a null balance and the run goes on from the balance before it;
    // from the line without payee on, the stored balances stay.
    EXPECT_EQ(balances(f.main, "2005-01-01", "2005-12-31"), "111 15000 14700 - 15700 42 43");

    // Nothing on or after the start, or no start: nothing changes.
    EXPECT_EQ(Calc残高(f.main, QDate(2006, 1, 1), Amount()).rewritten, 0);
    EXPECT_EQ(Calc残高(f.main, QDate(), Amount()).rewritten, 0);

    // A balance beyond 64 bits is not written and does not move the running balance; a
    // line the file refuses is skipped while its result still carries on.
    storeLine(f.main, "2006-01-01", 1, "huge", kMax, yen(0), yen(1));
    storeLine(f.main, "2006-01-02", 1, "refused", yen(2), yen(0), yen(2));
    storeLine(f.main, "2006-01-03", 1, "after", yen(3), yen(0), yen(3));
    store::exec(f.main, "CREATE TRIGGER no_update BEFORE UPDATE ON 支払予定表 WHEN OLD.支払先名 = 'refused' BEGIN SELECT RAISE(ABORT, 'no'); END");
    const BalanceRun run = Calc残高(f.main, QDate(2006, 1, 1), *Amount::fromYen(1));
    EXPECT_EQ(run.rewritten, 1);
    EXPECT_EQ(run.skipped, 2);
    EXPECT_EQ(balances(f.main, "2006-01-01", "2006-12-31"), "1 2 6");
}

TEST(Balances, Calc残高for削除StartsFromThePrecedingStoredLineAndRestartsAtZeroAfterANullBalance)
{
    Files f;
    storeLine(f.main, "2005-02-27", 9, "earlier", yen(1), yen(0), yen(1));
    storeLine(f.main, "2005-02-28", 2, "lower on p's day", yen(5), yen(0), yen(5));
    storeLine(f.main, "2005-02-28", 3, "p", yen(0), yen(0), yen(1000));
    storeLine(f.main, "2005-02-28", 4, "after p", yen(100), yen(0), yen(0));
    storeLine(f.main, "2005-03-01", 1, "next month", yen(0), yen(50), yen(0));
    storeLine(f.main, "2005-03-02", 1, "null paid", yen(10), QVariant(), yen(0));
    storeLine(f.main, "2005-03-03", 1, "after null", yen(7), yen(0), yen(0));
    storeLine(f.main, "2005-03-04", 1, "", yen(1), yen(0), yen(99));
    storeLine(f.main, "2005-03-05", 1, "after the stop", yen(1), yen(0), yen(98));

    int commits = 0;
    sqlite3_commit_hook(f.main.getHandle(), &countCommit, &commits);
    EXPECT_EQ(Calc残高for削除(f.main, QDate(2005, 2, 28), 3).rewritten, 4);
    sqlite3_commit_hook(f.main.getHandle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(balances(f.main, "2005-01-01", "2005-12-31"), "1 5 1000 1100 1050 - 7 99 98");
    // No preceding line (no line number) or no date: nothing is recomputed.
    EXPECT_EQ(Calc残高for削除(f.main, QDate(2005, 2, 28), std::nullopt).rewritten, 0);
    EXPECT_EQ(Calc残高for削除(f.main, QDate(), 3).rewritten, 0);
}

TEST(Balances, ReCalc残高ShowsWhatTheSaveStoresAndBlankLinesPassTheBalanceOn)
{
    Files f;
    // 1, 3, 5, 6 stored lines; 2 no date; 4 no payee; 7 blank with a stale balance; 8 on
    // an earlier day than line 1, so that it comes first as in storage.
    fillSheet(f.work, {{yen(100), yen(0), yen(0)}, {yen(999), yen(0), yen(555)}, {yen(0), yen(30), yen(0)}, {yen(1), yen(0), yen(444)},
                          {QVariant(), yen(5), yen(0)}, {yen(2), yen(0), yen(0)}, {yen(0), yen(0), yen(8)}, {yen(1000), yen(0), yen(0)}});
    store::exec(f.work, "UPDATE InpWork SET 日付 = '2005-03-02', 支払先名 = 'p' WHERE 行番号 IN (1, 3, 5, 6)");
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = 'no date' WHERE 行番号 = 2");
    store::exec(f.work, "UPDATE InpWork SET 日付 = '2005-03-02', 支払先名 = '' WHERE 行番号 = 4");
    store::exec(f.work, "UPDATE InpWork SET 日付 = '2005-03-01', 支払先名 = 'first' WHERE 行番号 = 8");
    EXPECT_EQ(ReCalc残高(f.work, *Amount::fromYen(20)).rewritten, 5);
    EXPECT_EQ(sheetBalances(f.work, 8), "1120 - 1090 - - 1092 - 1020");

    // The same lines saved give the same balances in storage.
    store::exec(f.work, "UPDATE InpWork SET 予定額 = 0, 支払額 = 0 WHERE 支払先名 IS NULL OR 支払先名 = '' OR 日付 IS NULL");
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = NULL WHERE 日付 IS NULL OR 支払先名 = ''");
    ReCalc残高(f.work, *Amount::fromYen(20));
    const QString onScreen = sheetBalances(f.work, 8);
    EXPECT_EQ(Entry支払予定表(f.main, f.work, QDate(2005, 3, 1), *Amount::fromYen(20)).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(row(f.main, "SELECT group_concat(残高 / 10000, ' ') FROM (SELECT 残高 FROM 支払予定表 ORDER BY 日付, 行番号)"), "1020 1120 1090 1092");
    EXPECT_EQ(onScreen, "1120 - 1090 - - 1092 - 1020");
}

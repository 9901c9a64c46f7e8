#include "FaultVfs.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <QSet>

#include <algorithm>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

const QDate kMarch(2005, 3, 10);

// Every stored line, "MM-DD #行番号 支払先名 残高" in yen, in date and line-number order.
QString stored(SQLite::Database& main)
{
    return row(main, "SELECT group_concat(line, ', ') FROM (SELECT substr(日付, 6) || ' #' || 行番号 || ' ' || 支払先名 || ' ' || "
                     "coalesce(残高 / 10000, '-') AS line FROM 支払予定表 ORDER BY 日付, 行番号, rowid)");
}

} // namespace

TEST(MonthSave, LinesAreStoredByTheirIdentityAndLinesThatCannotBeStoredRefuseTheSave)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
    storeLine(main, "2005-02-10", 1, "前月", yen(1000), yen(0), yen(1000));
    storeLine(main, "2005-03-05", 1, "A", yen(100), yen(0), yen(0));
    storeLine(main, "2005-03-06", 2, "B", yen(0), yen(10), yen(0));
    storeLine(main, "2005-03-07", 3, "C", yen(5), yen(0), yen(0));
    storeLine(main, "2005-03-08", 4, "D", yen(1), yen(0), yen(0));
    storeLine(main, "2005-04-05", 1, "四月", yen(0), yen(200), yen(0));
    loadMonthSheet(*session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-20' WHERE 行番号 = 1");           // A moves
    store::exec(work, "UPDATE InpWork SET 支払先名 = 'O''Brien' WHERE 行番号 = 2");         // B renamed
    store::exec(work, "UPDATE InpWork SET 支払先名 = NULL, 予定額 = 0 WHERE 行番号 = 3");   // C emptied
    store::exec(work, "UPDATE InpWork SET 日付 = NULL WHERE 行番号 = 4");                   // D has no date
    store::exec(work, "UPDATE InpWork SET 支払先名 = NULL, 予定額 = ? WHERE 行番号 = 6", {yen(3)}); // an amount, no payee
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-01', 支払先名 = '新', 予定額 = ? WHERE 行番号 = 7", {yen(50)});
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-09' WHERE 行番号 = 8");           // a day only: nothing to store

    // A line with a payee or an amount that cannot be stored is named; nothing is stored.
    const QString untouched = stored(main);
    const SaveResult refused = Entry支払予定表(main, work, kMarch, Amount());
    EXPECT_EQ(refused.kind, SaveResult::Kind::Incomplete);
    EXPECT_EQ(refused.incomplete, "4行目「D」、6行目「支払先なし」");
    EXPECT_EQ(stored(main), untouched);
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-08' WHERE 行番号 = 4");
    store::exec(work, "UPDATE InpWork SET 予定額 = 0 WHERE 行番号 = 6");

    int commits = 0;
    sqlite3_commit_hook(main.getHandle(), &countCommit, &commits);
    QList<int> bar;
    for (int save = 0; save < 2; ++save) {
        // The carry-over typed by the user drives this month's and every later balance.
        const SaveResult result = Entry支払予定表(main, work, kMarch, *Amount::fromYen(5000), [&](int v) { bar << v; });
        EXPECT_EQ(result.kind, SaveResult::Kind::Saved);
        EXPECT_EQ(result.stored, 4);
        EXPECT_EQ(result.replaced, save == 0 ? 1 : 0);
        EXPECT_EQ(stored(main), "02-10 #1 前月 1000, 03-01 #7 新 5050, 03-06 #2 O'Brien 5040, 03-08 #4 D 5041, 03-20 #1 A 5141, 04-05 #1 四月 4941");
    }
    EXPECT_EQ(commits, 2);
    EXPECT_EQ(bar.count(10), 2); // each save's bar runs from 10 to 100
    EXPECT_EQ(bar.count(100), 2);
    sqlite3_commit_hook(main.getHandle(), nullptr, nullptr);
    // The sheet follows what was stored, so a later deletion finds the lines.
    EXPECT_EQ(row(work, "SELECT group_concat(coalesce(元行番号, '-') || ':' || coalesce(元日付, '-'), ' ') FROM (SELECT * FROM InpWork WHERE 行番号 <= 4 ORDER BY 行番号)"),
        "1:2005-03-20 2:2005-03-06 3:- 4:2005-03-08");

    // Two bills of one payee on one day are two stored lines; changing one keeps the other.
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-06', 支払先名 = 'O''Brien', 予定額 = ? WHERE 行番号 = 9", {yen(1)});
    EXPECT_EQ(Entry支払予定表(main, work, kMarch, Amount()).kind, SaveResult::Kind::Saved);
    store::exec(work, "UPDATE InpWork SET 予定額 = ? WHERE 行番号 = 9", {yen(2)});
    EXPECT_EQ(Entry支払予定表(main, work, kMarch, Amount()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(row(main, "SELECT group_concat(行番号 || '=' || (予定額 / 10000) || '/' || (支払額 / 10000), ' ') FROM "
                        "(SELECT * FROM 支払予定表 WHERE 支払先名 = 'O''Brien' ORDER BY 行番号)"),
        "2=0/10 9=2/0");
}

TEST(MonthSave, AFailingCommitLeavesTheFileAsItWasAndTheSameSaveThenSucceeds)
{
    TempDataDir dir;
    FaultVfs vfs;
    auto session = store::Session::open(dir.path());
    storeLine(session->mainDb(), "2005-03-05", 1, "A", yen(100), yen(0), yen(100));
    loadMonthSheet(*session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    store::exec(session->workDb(), "UPDATE InpWork SET 日付 = '2005-03-06', 支払先名 = '新', 予定額 = ? WHERE 行番号 = 2", {yen(50)});
    const QByteArray before = TempDataDir::readAll(dir.mainPath());

    vfs.failAt(1, true); // every write from the next one on fails
    EXPECT_EQ(Entry支払予定表(session->mainDb(), session->workDb(), kMarch, Amount()).kind, SaveResult::Kind::Failed);
    vfs.clear();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), before);
    EXPECT_EQ(row(session->workDb(), "SELECT 支払先名, 元日付 FROM InpWork WHERE 行番号 = 2"), "新|-");
    EXPECT_EQ(Entry支払予定表(session->mainDb(), session->workDb(), kMarch, Amount()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(stored(session->mainDb()), "03-05 #1 A 100, 03-06 #2 新 150");
}

TEST(MonthSave, TheBarRisesOverTheSheetsLinesAndThenOverTheBalanceRunOfTheLaterMonths)
{
    Files files;
    // 600 later lines whose stored balances are all wrong (0): the run rewrites each.
    store::exec(files.main, "BEGIN");
    for (int i = 0; i < 600; ++i)
        storeLine(files.main, QDate(2005, 4, 1).addDays(i / 5).toString(Qt::ISODate), 1 + i % 5, "後", yen(10), yen(0), yen(0));
    store::exec(files.main, "COMMIT");
    loadMonthSheet(*files.session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    store::exec(files.work, "UPDATE InpWork SET 日付 = '2005-03-05', 支払先名 = 'A', 予定額 = ? WHERE 行番号 <= 150", {yen(1)});

    // Each value shown, with how many lines of the run (the month's 150, then the 600
    // later ones) held their new balance at that moment; the sheet stores its lines with
    // no balance, so only the run makes a balance other than 0.
    QList<int> bar;
    QList<int> rewritten;
    const auto show = [&](int value) {
        bar << value;
        rewritten << row(files.main, "SELECT count(*) FROM 支払予定表 WHERE 日付 >= '2005-03-01' AND 残高 <> 0").toInt();
    };
    ASSERT_EQ(Entry支払予定表(files.main, files.work, kMarch, Amount(), show).kind, SaveResult::Kind::Saved);
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_EQ(bar.first(), 10);
    EXPECT_EQ(bar.last(), 100);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_EQ(QSet<int>(bar.begin(), bar.end()).size(), bar.size()) << "a value is shown once";
    // The run's 750 lines count once while they are read (60 to about 73, nothing written
    // yet) and twice while their balances are written (on to 100, in proportion).
    int duringRun = 0;
    for (int i = 0; i < bar.size(); ++i) {
        if (bar[i] <= 73) {
            EXPECT_EQ(rewritten[i], 0) << bar[i] << ": the sheet's lines, then the run's reading, come first";
        }
        if (bar[i] > 74 && bar[i] < 100) {
            ++duringRun;
            EXPECT_NEAR(rewritten[i], (bar[i] - 60 - 40.0 / 3) * 750 / (40.0 * 2 / 3), 750 / 26.0) << bar[i];
        }
    }
    EXPECT_EQ(duringRun, 25);
    EXPECT_EQ(std::count_if(bar.begin(), bar.end(), [](int value) { return value > 60 && value < 73; }), 12) << "the bar moves while the run reads";
    EXPECT_EQ(rewritten.last(), 750);
}

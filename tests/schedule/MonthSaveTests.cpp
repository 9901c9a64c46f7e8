#include "FaultVfs.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

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

TEST(MonthSave, FilledLinesAreStoredOnceAtTheirPlacesReplacingChangedOriginalsAndDoublesStoreNothing)
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
    store::exec(work, "UPDATE InpWork SET 支払先名 = NULL WHERE 行番号 = 3");               // C emptied
    store::exec(work, "UPDATE InpWork SET 日付 = NULL WHERE 行番号 = 4");                   // D cannot be stored
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-01', 支払先名 = '新', 予定額 = ? WHERE 行番号 = 7", {yen(50)});
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-09' WHERE 行番号 = 8");           // no payee

    int commits = 0;
    sqlite3_commit_hook(main.getHandle(), &countCommit, &commits);
    QList<int> bar;
    for (int save = 0; save < 2; ++save) {
        // The carry-over typed by the user drives this month's and every later balance.
        const SaveResult result = Entry支払予定表(main, work, kMarch, *Amount::fromYen(5000), [&](int v) { bar << v; });
        EXPECT_EQ(result.kind, SaveResult::Kind::Saved);
        EXPECT_EQ(result.stored, 3);
        EXPECT_EQ(result.skipped, 1);
        EXPECT_EQ(result.replaced, save == 0 ? 3 : 0);
        EXPECT_EQ(stored(main), "02-10 #1 前月 1000, 03-01 #7 新 5050, 03-06 #2 O'Brien 5040, 03-08 #4 D 5041, 03-20 #1 A 5141, 04-05 #1 四月 4941");
    }
    EXPECT_EQ(commits, 2);
    EXPECT_EQ(bar.count(10), 2 + 2 * 22); // 10 at the start of each save, then 0 … 90 per line
    EXPECT_EQ(bar.at(201), 10);
    sqlite3_commit_hook(main.getHandle(), nullptr, nullptr);
    // The sheet follows what was stored, so a later deletion finds the lines.
    EXPECT_EQ(row(work, "SELECT group_concat(coalesce(元行番号, '-') || ':' || coalesce(元日付, '-'), ' ') FROM (SELECT * FROM InpWork WHERE 行番号 <= 4 ORDER BY 行番号)"),
        "1:2005-03-20 2:2005-03-06 3:- 4:2005-03-08");

    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-06', 支払先名 = 'O''Brien', 予定額 = 1 WHERE 行番号 = 9");
    const QString before = stored(main);
    const SaveResult doubled = Entry支払予定表(main, work, kMarch, Amount());
    EXPECT_EQ(doubled.kind, SaveResult::Kind::Duplicate);
    EXPECT_EQ(doubled.doubled, "2005/03/06 の「O'Brien」");
    EXPECT_EQ(stored(main), before);
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

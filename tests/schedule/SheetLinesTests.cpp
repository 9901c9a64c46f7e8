#include "FaultVfs.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "PowerCutSweep.h"
#include "SheetLines.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "Session.h"
#include "WorkTableModel.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
    store::WorkTableModel sheet;

    Files() { sheet.bind(&work, "InpWork"); }
    void load(int month)
    {
        loadMonthSheet(*session, QDate(2005, month, 1), QDate(2005, month, 1).addMonths(1).addDays(-1));
        sheet.refresh();
    }
};

// 行番号:元行番号:支払先名 of the first lines of the sheet in its order, and the line count.
QString sheetOrder(SQLite::Database& work, int lines)
{
    return row(work, "SELECT group_concat(line, ' '), (SELECT count(*) FROM InpWork) FROM (SELECT 行番号 || ':' || coalesce(元行番号, '-') || ':' || "
                     "coalesce(支払先名, '-') AS line FROM InpWork ORDER BY rowid LIMIT ?)",
        {lines});
}

QString stored(SQLite::Database& main)
{
    return row(main, "SELECT group_concat(line, ' ') FROM (SELECT 支払先名 || '=' || coalesce(残高 / 10000, '-') AS line FROM 支払予定表 ORDER BY 日付, 行番号)");
}

int countCommit(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

} // namespace

TEST(SheetLines, InsertingOpensABlankLineRenumbersAndRefusesToPushOutData)
{
    Files f;
    ClearInpWork(f.work);
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = char(96 + 行番号) WHERE 行番号 <= 3");
    EXPECT_EQ(InsertLine(f.work, 1), InsertOutcome::Inserted);
    EXPECT_EQ(sheetOrder(f.work, 4), "1:-:- 2:1:a 3:2:b 4:3:c|200");
    EXPECT_EQ(row(f.work, "SELECT max(行番号), max(元行番号), sum(行番号 = rowid) FROM InpWork"), "200|199|200");

    // After a deletion the gap closes with the next insertion and the sheet is full again.
    store::exec(f.work, "DELETE FROM InpWork WHERE 行番号 = 3");
    EXPECT_EQ(InsertLine(f.work, 2), InsertOutcome::Inserted);
    EXPECT_EQ(sheetOrder(f.work, 5), "1:-:- 2:-:- 3:1:a 4:3:c 5:4:-|200");
    EXPECT_EQ(InsertLine(f.work, 200), InsertOutcome::Inserted);
    EXPECT_EQ(row(f.work, "SELECT count(*), count(DISTINCT 行番号), max(行番号) FROM InpWork"), "200|200|200");

    // Line 200 holding an amount, a payee or a date is never pushed out; a balance alone is
    // not data (the grid writes balances into blank lines).
    store::exec(f.work, "UPDATE InpWork SET 残高 = 5 WHERE 行番号 = 200");
    EXPECT_EQ(InsertLine(f.work, 1), InsertOutcome::Inserted);
    for (const char* data : {"予定額 = 1", "支払額 = -1", "支払先名 = '最後'", "日付 = '2005-03-01'", "表示日付 = '3'"}) {
        store::exec(f.work, QString("UPDATE InpWork SET %1 WHERE 行番号 = 200").arg(data));
        const QString before = row(f.work, "SELECT group_concat(rowid || 行番号 || coalesce(支払先名, '')) FROM InpWork");
        EXPECT_EQ(InsertLine(f.work, 1), InsertOutcome::NoRoom) << data;
        EXPECT_EQ(row(f.work, "SELECT group_concat(rowid || 行番号 || coalesce(支払先名, '')) FROM InpWork"), before) << data;
        ClearInpWork(f.work);
    }
}

TEST(SheetLines, DeletingAStoredLineRepairsLaterBalancesInOneTransactionOverBothFiles)
{
    Files f;
    storeLine(f.main, "2005-02-10", 1, "前", yen(1000), yen(0), yen(1000));
    storeLine(f.main, "2005-03-05", 1, "O'Brien", yen(100), yen(0), yen(1100));
    storeLine(f.main, "2005-03-06", 2, "B", yen(0), yen(50), yen(1050));
    storeLine(f.main, "2005-04-01", 1, "後", yen(10), yen(0), yen(1060));
    f.load(3);
    int commits = 0;
    sqlite3_commit_hook(f.work.getHandle(), &countCommit, &commits);
    EXPECT_TRUE(LineDelete(f.sheet, 0, *Amount::fromYen(1000)));
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(stored(f.main), "前=1000 B=950 後=960");
    EXPECT_EQ(row(f.work, "SELECT count(*), (SELECT 残高 / 10000 FROM InpWork WHERE 支払先名 = 'B') FROM InpWork"), "199|950");
    EXPECT_EQ(f.sheet.rowCount(), 199);
    EXPECT_EQ(f.sheet.value(0, 4).toString(), "B");

    // A blank line, or one with a date but no payee, touches nothing stored.
    store::exec(f.work, "UPDATE InpWork SET 日付 = '2005-03-09' WHERE 行番号 = 4");
    f.sheet.refresh();
    EXPECT_FALSE(LineDelete(f.sheet, 2, Amount()));
    EXPECT_FALSE(LineDelete(f.sheet, 2, Amount()));
    EXPECT_EQ(stored(f.main), "前=1000 B=950 後=960");
    EXPECT_EQ(f.sheet.rowCount(), 197);

    // The first stored line of all: the remaining balances run from 0.
    f.load(2);
    EXPECT_TRUE(LineDelete(f.sheet, 0, Amount()));
    EXPECT_EQ(stored(f.main), "B=-50 後=-40");
    sqlite3_commit_hook(f.work.getHandle(), nullptr, nullptr);

    // After an insertion and a save the line is stored under a new number, and deleting
    // it before the next load still finds it.
    f.load(3);
    InsertLine(f.work, 1);
    f.sheet.refresh();
    EXPECT_EQ(Entry支払予定表(f.main, f.work, QDate(2005, 3, 1), Amount()).kind, SaveResult::Kind::Saved);
    f.sheet.refresh();
    EXPECT_EQ(row(f.main, "SELECT 行番号 FROM 支払予定表 WHERE 支払先名 = 'B'"), "2");
    EXPECT_TRUE(LineDelete(f.sheet, 1, Amount()));
    EXPECT_EQ(stored(f.main), "後=10");
}

TEST(SheetLines, AFailedDeletionChangesNeitherFileAndAPowerCutLeavesBothWholeOrOld)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        storeLine(session->mainDb(), "2005-03-05", 1, "A", yen(100), yen(0), yen(100));
        storeLine(session->mainDb(), "2005-03-06", 2, "B", yen(5), yen(0), yen(105));
        loadMonthSheet(*session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    }
    const auto state = [](store::Session& s) { return stored(s.mainDb()) + " / " + sheetOrder(s.workDb(), 2); };
    {
        FaultVfs vfs;
        auto session = store::Session::open(dir.path());
        store::WorkTableModel sheet;
        sheet.bind(&session->workDb(), "InpWork");
        sheet.refresh();
        const QString before = state(*session);
        vfs.failAt(1, true);
        EXPECT_THROW(LineDelete(sheet, 0, Amount()), store::DbError);
        vfs.clear();
        EXPECT_EQ(state(*session), before);
        EXPECT_EQ(sheet.rowCount(), 200);
        EXPECT_EQ(sheet.value(0, 4).toString(), "A");
    }
    const SweepResult sweep = sweepPowerCuts(
        dir,
        [&](const std::function<void()>& arm) {
            auto session = store::Session::open(dir.path());
            store::WorkTableModel sheet;
            sheet.bind(&session->workDb(), "InpWork");
            sheet.refresh();
            arm();
            try {
                LineDelete(sheet, 0, Amount());
            } catch (const store::DbError&) {
            }
            sheet.bind(nullptr, QString());
        },
        state);
    EXPECT_EQ(sweep.broken, 0);
    EXPECT_GT(sweep.old, 0);
    EXPECT_GT(sweep.fresh, 0);
}

TEST(SheetLines, DeletingEverythingEmptiesTheMainFileOnlyAndTheShownMonthCanBeStoredAgain)
{
    Files f;
    storeLine(f.main, "2005-03-05", 1, "A", yen(100), yen(0), yen(100));
    store::exec(f.main, "INSERT INTO 支払先マスタ VALUES ('A')");
    store::exec(f.main, "INSERT INTO 自社情報 VALUES ('和暦', 0, 255)");
    store::exec(f.work, "INSERT INTO ClHint VALUES ('FrmQuorel1', 'cmdHint', 't', 'kept')");
    f.load(3);
    {
        FaultVfs vfs;
        auto failing = store::Session::open(f.dir.path());
        vfs.failAt(1, true);
        EXPECT_THROW(AllDelete(failing->mainDb()), store::DbError);
    }
    EXPECT_EQ(row(f.main, "SELECT (SELECT count(*) FROM 支払予定表), (SELECT count(*) FROM 支払先マスタ), (SELECT count(*) FROM 自社情報)"), "1|1|1");

    AllDelete(f.main);
    EXPECT_EQ(row(f.main, "SELECT (SELECT count(*) FROM 支払予定表), (SELECT count(*) FROM 支払先マスタ), (SELECT count(*) FROM 自社情報)"), "0|0|0");
    EXPECT_EQ(row(f.work, "SELECT (SELECT count(*) FROM ClHint), (SELECT count(*) FROM InpWork WHERE 支払先名 = 'A')"), "1|1");
    EXPECT_EQ(Entry支払予定表(f.main, f.work, QDate(2005, 3, 1), Amount()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(stored(f.main), "A=100");
}

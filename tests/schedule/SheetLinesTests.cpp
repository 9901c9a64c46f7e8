#include "FaultVfs.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "Session.h"
#include "SheetLines.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

// 行番号:元行番号:支払先名 of the first lines in sheet order, and the line count.
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

} // namespace

TEST(SheetLines, InsertingOpensABlankLineRenumbersAndNeverPushesOutData)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    SQLite::Database& work = session->workDb();
    ClearInpWork(work);
    store::exec(work, "UPDATE InpWork SET 支払先名 = char(96 + 行番号) WHERE 行番号 <= 3");
    EXPECT_EQ(InsertLine(work, 1), InsertOutcome::Inserted);
    EXPECT_EQ(sheetOrder(work, 4), "1:-:- 2:1:a 3:2:b 4:3:c|200");
    store::exec(work, "DELETE FROM InpWork WHERE 行番号 = 3");
    EXPECT_EQ(InsertLine(work, 2), InsertOutcome::Inserted);
    EXPECT_EQ(InsertLine(work, 200), InsertOutcome::Inserted);
    EXPECT_EQ(sheetOrder(work, 5), "1:-:- 2:-:- 3:1:a 4:3:c 5:4:-|200");
    EXPECT_EQ(row(work, "SELECT count(DISTINCT 行番号), max(行番号) FROM InpWork"), "200|200");

    // A balance alone is no data (the grid writes balances into blank lines).
    store::exec(work, "UPDATE InpWork SET 残高 = 5 WHERE 行番号 = 200");
    EXPECT_EQ(InsertLine(work, 1), InsertOutcome::Inserted);
    for (const char* data : {"予定額 = 1", "支払先名 = '最後'", "日付 = '2005-03-01'", "表示日付 = '3'"}) {
        store::exec(work, QString("UPDATE InpWork SET %1 WHERE 行番号 = 200").arg(data));
        const QString before = sheetOrder(work, 200);
        EXPECT_EQ(InsertLine(work, 1), InsertOutcome::NoRoom) << data;
        EXPECT_EQ(sheetOrder(work, 200), before) << data;
        ClearInpWork(work);
    }
}

TEST(SheetLines, DeletingAStoredLineRepairsEveryLaterBalanceAndFindsLinesAfterASave)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
    store::WorkTableModel sheet;
    sheet.bind(&work, "InpWork");
    const auto load = [&](int month) {
        loadMonthSheet(*session, QDate(2005, month, 1), QDate(2005, month, 1).addMonths(1).addDays(-1));
        sheet.refresh();
    };
    storeLine(main, "2005-02-10", 1, "前", yen(1000), yen(0), yen(1000));
    storeLine(main, "2005-03-05", 1, "O'Brien", yen(100), yen(0), yen(1100));
    storeLine(main, "2005-03-06", 2, "B", yen(0), yen(50), yen(1050));
    storeLine(main, "2005-04-01", 1, "後", yen(10), yen(0), yen(1060));
    load(3);
    EXPECT_TRUE(LineDelete(work, sheet.rowId(0), *Amount::fromYen(1000)));
    sheet.refresh();
    EXPECT_EQ(stored(main), "前=1000 B=950 後=960");
    EXPECT_EQ(row(work, "SELECT count(*), (SELECT 残高 / 10000 FROM InpWork WHERE 支払先名 = 'B') FROM InpWork"), "199|950");

    // A blank line, or one with a date but no payee: only the sheet line goes.
    store::exec(work, "UPDATE InpWork SET 日付 = '2005-03-09' WHERE 行番号 = 4");
    sheet.refresh();
    EXPECT_FALSE(LineDelete(work, sheet.rowId(2), Amount()));
    sheet.refresh();
    EXPECT_FALSE(LineDelete(work, sheet.rowId(2), Amount()));
    sheet.refresh();
    EXPECT_EQ(stored(main), "前=1000 B=950 後=960");
    EXPECT_EQ(sheet.rowCount(), 197);

    // The first stored line of all: the remaining balances run from 0.
    load(2);
    EXPECT_TRUE(LineDelete(work, sheet.rowId(0), Amount()));
    sheet.refresh();
    EXPECT_EQ(stored(main), "B=-50 後=-40");

    // After an insertion and a save the line is stored under a new number; deleting it
    // before the next load still finds it.
    load(3);
    InsertLine(work, 1);
    EXPECT_EQ(Entry支払予定表(main, work, QDate(2005, 3, 1), Amount()).kind, SaveResult::Kind::Saved);
    sheet.refresh();
    EXPECT_TRUE(LineDelete(work, sheet.rowId(1), Amount()));
    sheet.refresh();
    EXPECT_EQ(stored(main), "後=10");
}

TEST(SheetLines, FailedDeletionsChangeNeitherFile)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        storeLine(session->mainDb(), "2005-03-05", 1, "A", yen(100), yen(0), yen(100));
        storeLine(session->mainDb(), "2005-03-06", 2, "B", yen(5), yen(0), yen(105));
        loadMonthSheet(*session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    }
    const auto state = [](store::Session& s) { return stored(s.mainDb()) + " / " + sheetOrder(s.workDb(), 2); };
    FaultVfs vfs;
    auto session = store::Session::open(dir.path());
    store::WorkTableModel sheet;
    sheet.bind(&session->workDb(), "InpWork");
    sheet.refresh();
    const QString before = state(*session);
    vfs.failAt(1, true);
    EXPECT_THROW(LineDelete(session->workDb(), sheet.rowId(0), Amount()), store::DbError);
    vfs.clear();
    sheet.refresh();
    EXPECT_EQ(state(*session), before);
    EXPECT_EQ(sheet.value(0, 4).toString(), "A"); // the grid shows the line again
}

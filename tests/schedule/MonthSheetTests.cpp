#include "Balances.h"
#include "MonthSheet.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "Transaction.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

int count(SQLite::Database& db, const char* sql)
{
    return store::scalar(db, sql).toInt();
}

} // namespace

TEST(MonthSheet, LoadCopiesTheMonthByDateThenLineNumberWithCarryOverAndCumulativeFromTheRightLines)
{
    Files f;
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 3, 1)), Amount());
    EXPECT_EQ(Get累計額(f.main), Amount()) << "an empty store gives 0, not blank";

    storeLine(f.main, "2005-02-10", 12, "early", yen(0), yen(0), yen(999));
    storeLine(f.main, "2005-02-20", 9, "late high", yen(0), yen(0), yen(250));
    storeLine(f.main, "2005-02-20", 4, "late low", yen(0), yen(0), yen(100));
    // The month, stored out of order; the 31st belongs to it, April 1st does not.
    storeLine(f.main, "2005-03-31", 7, "月末", yen(10), yen(1), yen(70));
    storeLine(f.main, "2005-03-05", 3, "O'Brien", yen(300), yen(0), QVariant());
    storeLine(f.main, "2005-03-05", 1, "五日", yen(20), yen(5), yen(60));
    storeLine(f.main, "2005-03-01", 2, "一日", yen(1000), yen(200), yen(50));
    storeLine(f.main, "2005-04-01", 1, "next month", yen(4), yen(4), yen(40));
    storeLine(f.main, "2006-01-15", 5, "latest", yen(0), yen(0), yen(888));
    storeLine(f.main, "2006-01-15", 2, "same day lower", yen(0), yen(0), yen(777));

    int commits = 0;
    sqlite3_commit_hook(f.work.getHandle(), &countCommit, &commits);
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31)), 4);
    sqlite3_commit_hook(f.work.getHandle(), nullptr, nullptr);
    EXPECT_EQ(commits, 1) << "reset and copy share one transaction";

    EXPECT_EQ(sheetLine(f.work, 1), "2|01|2005-03-01|一日|1000|200|50|2005-03-01|一日");
    EXPECT_EQ(sheetLine(f.work, 2), "1|05|2005-03-05|五日|20|5|60|2005-03-05|五日");
    EXPECT_EQ(sheetLine(f.work, 3), "3|05|2005-03-05|O'Brien|300|0|-|2005-03-05|O'Brien");
    EXPECT_EQ(sheetLine(f.work, 4), "7|31|2005-03-31|月末|10|1|70|2005-03-31|月末");
    EXPECT_EQ(sheetLine(f.work, 5), "5|-|-|-|0|0|0|-|-");
    EXPECT_EQ(row(f.work, "SELECT count(*), sum(行番号 = rowid AND 元行番号 = rowid OR 行番号 <= 4) FROM InpWork"), "200|200");
    EXPECT_EQ(予定額月計(f.work), *Amount::fromYen(1330));
    EXPECT_EQ(支払額月計(f.work), *Amount::fromYen(206));
    // The highest line number of the latest earlier date; the latest line of all.
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 3, 1)), *Amount::fromYen(250));
    EXPECT_EQ(Get累計額(f.main), *Amount::fromYen(888));
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 2, 10)), Amount());

    // Another month replaces the sheet; a null balance carries over as 0, while as the
    // latest line of all it leaves the cumulative figure blank.
    storeLine(f.main, "2007-01-01", 1, "no balance", yen(1), yen(0), QVariant());
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2007, 2, 1), QDate(2007, 2, 28)), 0);
    EXPECT_EQ(count(f.work, "SELECT count(*) FROM InpWork WHERE 支払先名 IS NOT NULL"), 0);
    EXPECT_EQ(Get繰越額(f.main, QDate(2007, 2, 1)), Amount());
    EXPECT_FALSE(Get累計額(f.main).has_value());

    // SUM over a sheet without rows is null and shows as 0; a sum beyond 64 bits is refused.
    store::exec(f.work, "DELETE FROM InpWork");
    EXPECT_EQ(予定額月計(f.work), Amount());
    const qint64 big = std::numeric_limits<qint64>::max() - 5;
    store::exec(f.work, "INSERT INTO InpWork (予定額, 支払額) VALUES (?, ?), (?, ?)", {big, -big, big, -big});
    EXPECT_THROW(予定額月計(f.work), store::DbError);
    EXPECT_THROW(支払額月計(f.work), store::DbError);
}

TEST(MonthSheet, AMonthOf201LinesLoadsTheFirst200InDateOrder)
{
    Files f;
    // Stored in reverse so that storage order cannot stand in for date order.
    store::Transaction seed(f.main);
    for (int n = 201; n >= 1; --n)
        storeLine(f.main, QStringLiteral("2005-02-%1").arg(1 + (n - 1) * 28 / 201, 2, 10, QLatin1Char('0')), n, QString::number(n), yen(1), yen(0), yen(n));
    seed.commit();

    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 2, 1), QDate(2005, 2, 28)), 200);
    EXPECT_EQ(row(f.work, "SELECT count(*), sum(元行番号 = 行番号), max(支払先名 + 0) FROM InpWork"), "200|200|200");
    EXPECT_EQ(予定額月計(f.work), *Amount::fromYen(200));
    EXPECT_EQ(count(f.main, "SELECT count(*) FROM 支払予定表"), 201);
}

TEST(MonthSheet, RefusedStepsAreSkippedAndTheRestOfTheLoadGoesOn)
{
    Files f;
    storeLine(f.main, "2005-03-01", 1, "kept", yen(1), yen(0), yen(1));
    storeLine(f.main, "2005-03-02", 2, "refused", yen(2), yen(0), yen(3));
    storeLine(f.main, "2005-03-03", 3, "also kept", yen(4), yen(0), yen(7));

    // When the sheet refuses the deletion, no blank lines are added to the lines that
    // remain, and the month fills as many of them as there are.
    store::exec(f.work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (1, 1), (2, 2)");
    store::exec(f.work, "CREATE TRIGGER no_delete BEFORE DELETE ON InpWork BEGIN SELECT RAISE(ABORT, 'kept'); END");
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31)), 2);
    EXPECT_EQ(row(f.work, "SELECT count(*), group_concat(支払先名) FROM InpWork"), "2|kept,refused");
    store::exec(f.work, "DROP TRIGGER no_delete");

    // One line the sheet refuses is skipped; the lines around it are copied.
    store::exec(f.work, "CREATE TRIGGER no_line BEFORE UPDATE ON InpWork WHEN NEW.支払先名 = 'refused' BEGIN SELECT RAISE(ABORT, 'no'); END");
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31)), 2);
    EXPECT_EQ(row(f.work, "SELECT count(*), group_concat(coalesce(支払先名, '-')) FROM (SELECT 支払先名 FROM InpWork ORDER BY 行番号 LIMIT 3)"), "3|kept,-,also kept");
    EXPECT_EQ(count(f.work, "SELECT count(*) FROM InpWork"), 200);
}

namespace {

int traceStatement(unsigned, void* statements, void* statement, void*)
{
    if (char* text = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement))) {
        static_cast<QStringList*>(statements)->append(QString::fromUtf8(text));
        sqlite3_free(text);
    }
    return 0;
}

} // namespace

TEST(MonthSheet, EveryReadOfTheStoredScheduleUsesTheDateIndexWithoutASortStep)
{
    Files f;
    store::Transaction seed(f.main);
    for (int n = 0; n < 28 * 3; ++n)
        storeLine(f.main, QStringLiteral("2005-02-%1").arg(1 + n / 3, 2, 10, QLatin1Char('0')), 1 + n % 3, "x", yen(1), yen(0), yen(1));
    seed.commit();
    // The statements actually sent, with their values, are traced and explained.
    QStringList statements;
    sqlite3_trace_v2(f.main.getHandle(), SQLITE_TRACE_STMT, &traceStatement, &statements);
    loadMonthSheet(*f.session, QDate(2005, 2, 1), QDate(2005, 2, 28));
    Get繰越額(f.main, QDate(2005, 2, 1));
    Get累計額(f.main);
    Calc残高(f.main, QDate(2005, 2, 10), Amount());
    Calc残高for削除(f.main, QDate(2005, 2, 10), 2);
    sqlite3_trace_v2(f.main.getHandle(), 0, nullptr, nullptr);

    int reads = 0;
    for (const QString& sql : statements) {
        if (!sql.startsWith("SELECT") || !sql.contains("支払予定表"))
            continue;
        ++reads;
        QString plan;
        for (const store::Row& step : store::queryRows(f.main, "EXPLAIN QUERY PLAN " + sql))
            plan += step.back().toString() + "; ";
        EXPECT_TRUE(plan.contains("INDEX 支払予定表_日付_行番号")) << sql.toStdString() << "\n" << plan.toStdString();
        EXPECT_FALSE(plan.contains("TEMP B-TREE")) << sql.toStdString() << "\n" << plan.toStdString();
        EXPECT_FALSE(sql.contains("WHERE") && plan.contains("SCAN")) << sql.toStdString() << "\n" << plan.toStdString();
    }
    EXPECT_EQ(reads, 5);
}

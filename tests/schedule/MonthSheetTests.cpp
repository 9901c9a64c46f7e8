#include "Balances.h"
#include "MonthSheet.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "Transaction.h"

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

int commitHook(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

// Counts the transactions a connection commits while the object lives.
class CommitCounter {
public:
    explicit CommitCounter(SQLite::Database& db)
        : db_(db)
    {
        sqlite3_commit_hook(db_.getHandle(), &commitHook, &count_);
    }
    ~CommitCounter() { sqlite3_commit_hook(db_.getHandle(), nullptr, nullptr); }
    int count() const { return count_; }

private:
    SQLite::Database& db_;
    int count_ = 0;
};

std::vector<store::Row> sheetLines(SQLite::Database& work)
{
    return store::queryRows(work, "SELECT 行番号, 元行番号, 表示日付, 日付, 支払先名, 予定額, 支払額, 残高, 元日付, 元支払先名 FROM InpWork ORDER BY rowid");
}

} // namespace

TEST(MonthSheet, LoadCopiesTheMonthByDateThenLineNumberWithCarryOverAndCumulativeFromTheRightLines)
{
    Files f;
    // Before the month: the carry-over is the highest line number of the latest earlier date.
    storeLine(f.main, "2005-02-10", 12, "early", yen(0), yen(0), yen(999));
    storeLine(f.main, "2005-02-20", 9, "late high", yen(0), yen(0), yen(250));
    storeLine(f.main, "2005-02-20", 4, "late low", yen(0), yen(0), yen(100));
    // The month, stored out of order; the 31st belongs to it, April 1st does not.
    storeLine(f.main, "2005-03-31", 7, "月末", yen(10), yen(1), yen(70));
    storeLine(f.main, "2005-03-05", 3, "O'Brien", yen(300), yen(0), QVariant());
    storeLine(f.main, "2005-03-05", 1, "first of the 5th", yen(20), yen(5), yen(60));
    storeLine(f.main, "2005-03-01", 2, "一日", yen(1000), yen(200), yen(50));
    storeLine(f.main, "2005-04-01", 1, "next month", yen(4), yen(4), yen(40));
    // Latest of all: the cumulative figure, whatever month is shown.
    storeLine(f.main, "2006-01-15", 5, "latest", yen(0), yen(0), yen(888));
    storeLine(f.main, "2006-01-15", 2, "same day lower", yen(0), yen(0), yen(777));
    storeLine(f.main, "2006-01-10", 9, "earlier day", yen(0), yen(0), yen(1));

    CommitCounter commits(f.work);
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31)), 4);
    EXPECT_EQ(commits.count(), 1) << "reset and copy must share one transaction";

    const auto lines = sheetLines(f.work);
    ASSERT_EQ(lines.size(), 200u);
    struct Expected {
        int 元行番号;
        const char* 表示日付;
        const char* 日付;
        const char* payee;
        qint64 plan, paid;
        QVariant balance;
    };
    const Expected expected[] = {
        {2, "01", "2005-03-01", "一日", 1000, 200, yen(50)},
        {1, "05", "2005-03-05", "first of the 5th", 20, 5, yen(60)},
        {3, "05", "2005-03-05", "O'Brien", 300, 0, QVariant()},
        {7, "31", "2005-03-31", "月末", 10, 1, yen(70)},
    };
    for (int i = 0; i < 4; ++i) {
        const store::Row& line = lines[static_cast<size_t>(i)];
        const Expected& e = expected[i];
        EXPECT_EQ(line[0].toInt(), i + 1);
        EXPECT_EQ(line[1].toInt(), e.元行番号) << i;
        EXPECT_EQ(line[2].toString(), e.表示日付) << i;
        EXPECT_EQ(line[3].toString(), e.日付) << i;
        EXPECT_EQ(line[4].toString(), QString::fromUtf8(e.payee)) << i;
        EXPECT_EQ(inYen(line[5]), e.plan) << i;
        EXPECT_EQ(inYen(line[6]), e.paid) << i;
        EXPECT_EQ(line[7].isNull(), e.balance.isNull()) << i;
        EXPECT_EQ(line[7].toLongLong(), e.balance.toLongLong()) << i;
        EXPECT_EQ(line[8].toString(), e.日付) << i;
        EXPECT_EQ(line[9].toString(), QString::fromUtf8(e.payee)) << i;
    }
    for (size_t i = 4; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i][0].toInt(), static_cast<int>(i) + 1);
        EXPECT_EQ(lines[i][1].toInt(), static_cast<int>(i) + 1);
        EXPECT_TRUE(lines[i][4].isNull());
        EXPECT_EQ(lines[i][5].toLongLong(), 0);
        EXPECT_EQ(lines[i][6].toLongLong(), 0);
    }
    EXPECT_EQ(予定額月計(f.work), Amount::fromUnits(1330 * 10000));
    EXPECT_EQ(支払額月計(f.work), Amount::fromUnits(206 * 10000));
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 3, 1)), Amount::fromUnits(250 * 10000));
    EXPECT_EQ(Get累計額(f.main), Amount::fromUnits(888 * 10000));
    // Nothing before the first stored date: no carry-over.
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 2, 10)), Amount());

    // Loading another month replaces the sheet entirely; a month without lines is blank.
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 5, 1), QDate(2005, 5, 31)), 0);
    EXPECT_EQ(store::scalar(f.work, "SELECT count(*) FROM InpWork WHERE 支払先名 IS NOT NULL").toInt(), 0);
    EXPECT_EQ(store::scalar(f.work, "SELECT count(*) FROM InpWork").toInt(), 200);
    EXPECT_EQ(予定額月計(f.work), Amount());
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 5, 1)), Amount::fromUnits(40 * 10000));
}

TEST(MonthSheet, EmptyStoreNullBalancesAndTotalsOfAnEmptySheet)
{
    Files f;
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 3, 1)), Amount());
    const auto nothingStored = Get累計額(f.main);
    ASSERT_TRUE(nothingStored.has_value());
    EXPECT_TRUE(nothingStored->isZero());

    // A null balance carries over as 0 but leaves the cumulative figure blank.
    storeLine(f.main, "2005-02-28", 1, "no balance", yen(1), yen(0), QVariant());
    EXPECT_EQ(Get繰越額(f.main, QDate(2005, 3, 1)), Amount());
    EXPECT_FALSE(Get累計額(f.main).has_value());

    // SUM over a sheet without rows is null and shows as 0; a sum beyond 64 bits is refused.
    store::exec(f.work, "DELETE FROM InpWork");
    EXPECT_EQ(予定額月計(f.work), Amount());
    EXPECT_EQ(支払額月計(f.work), Amount());
    const qlonglong big = std::numeric_limits<qint64>::max() - 5;
    store::exec(f.work, "INSERT INTO InpWork (行番号, 予定額, 支払額) VALUES (1, ?, ?), (2, ?, ?)", {big, -big, big, -big});
    EXPECT_THROW(予定額月計(f.work), store::DbError);
    EXPECT_THROW(支払額月計(f.work), store::DbError);
}

TEST(MonthSheet, AMonthOf201LinesLoadsTheFirst200InDateOrder)
{
    Files f;
    // 201 lines on days 1..28 of February 2005, stored in reverse so that storage order
    // cannot stand in for date order; the latest line (the 28th, highest number) is left out.
    std::vector<std::pair<QString, int>> keys;
    for (int n = 0; n < 201; ++n)
        keys.emplace_back(QStringLiteral("2005-02-%1").arg(1 + n * 28 / 201, 2, 10, QLatin1Char('0')), n + 1);
    store::Transaction seed(f.main);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        storeLine(f.main, it->first, it->second, QStringLiteral("p%1").arg(it->second), yen(1), yen(0), yen(it->second));
    seed.commit();
    ASSERT_EQ(keys.back().first, "2005-02-28");

    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 2, 1), QDate(2005, 2, 28)), 200);
    const auto lines = sheetLines(f.work);
    ASSERT_EQ(lines.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(lines[static_cast<size_t>(i)][1].toInt(), i + 1) << "sheet line " << i + 1;
    EXPECT_EQ(store::scalar(f.work, "SELECT count(*) FROM InpWork WHERE 支払先名 = 'p201'").toInt(), 0);
    EXPECT_EQ(予定額月計(f.work), Amount::fromUnits(200 * 10000));
    // The line that did not fit stays stored.
    EXPECT_EQ(store::scalar(f.main, "SELECT count(*) FROM 支払予定表").toInt(), 201);
}

TEST(MonthSheet, RefusedStepsAreSkippedAndTheRestOfTheLoadGoesOn)
{
    Files f;
    storeLine(f.main, "2005-03-01", 1, "kept", yen(1), yen(0), yen(1));
    storeLine(f.main, "2005-03-02", 2, "refused", yen(2), yen(0), yen(3));
    storeLine(f.main, "2005-03-03", 3, "also kept", yen(4), yen(0), yen(7));

    // The sheet refuses the deletion: the lines that remain get no blank lines added, and
    // the month fills as many of them as there are.
    store::exec(f.work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (1, 1), (2, 2)");
    store::exec(f.work, "CREATE TRIGGER no_delete BEFORE DELETE ON InpWork BEGIN SELECT RAISE(ABORT, 'kept'); END");
    ClearInpWork(f.work);
    EXPECT_EQ(store::scalar(f.work, "SELECT count(*) FROM InpWork").toInt(), 2);
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31)), 2);
    EXPECT_EQ(store::scalar(f.work, "SELECT group_concat(支払先名, '|') FROM InpWork").toString(), "kept|refused");
    store::exec(f.work, "DROP TRIGGER no_delete");

    // One line that the sheet refuses is skipped; the lines around it are copied.
    store::exec(f.work, "CREATE TRIGGER no_line BEFORE UPDATE ON InpWork WHEN NEW.支払先名 = 'refused' BEGIN SELECT RAISE(ABORT, 'no'); END");
    EXPECT_EQ(loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31)), 2);
    EXPECT_EQ(store::scalar(f.work, "SELECT count(*) FROM InpWork").toInt(), 200);
    EXPECT_EQ(sheetField(f.work, 1, "支払先名").toString(), "kept");
    EXPECT_TRUE(sheetField(f.work, 2, "支払先名").isNull());
    EXPECT_EQ(sheetField(f.work, 3, "支払先名").toString(), "also kept");
}

namespace {

std::vector<std::string>* tracedStatements = nullptr;

int traceStatement(unsigned, void*, void* statement, void*)
{
    if (char* text = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement))) {
        tracedStatements->emplace_back(text);
        sqlite3_free(text);
    }
    return 0;
}

} // namespace

TEST(MonthSheet, EveryReadOfTheStoredScheduleUsesTheDateIndexWithoutASortStep)
{
    Files f;
    store::Transaction seed(f.main);
    for (int day = 1; day <= 28; ++day) {
        for (int n = 1; n <= 3; ++n)
            storeLine(f.main, QStringLiteral("2005-02-%1").arg(day, 2, 10, QLatin1Char('0')), n, "x", yen(1), yen(0), yen(1));
    }
    seed.commit();
    std::vector<std::string> statements;
    tracedStatements = &statements;
    sqlite3_trace_v2(f.main.getHandle(), SQLITE_TRACE_STMT, &traceStatement, nullptr);
    loadMonthSheet(*f.session, QDate(2005, 2, 1), QDate(2005, 2, 28));
    Get繰越額(f.main, QDate(2005, 2, 1));
    Get累計額(f.main);
    Calc残高(f.main, QDate(2005, 2, 10), Amount());
    Calc残高for削除(f.main, QDate(2005, 2, 10), 2);
    sqlite3_trace_v2(f.main.getHandle(), 0, nullptr, nullptr);
    tracedStatements = nullptr;

    int reads = 0;
    for (const std::string& sql : statements) {
        const QString text = QString::fromStdString(sql);
        if (!text.startsWith("SELECT") || !text.contains("支払予定表"))
            continue;
        ++reads;
        QString plan;
        for (const store::Row& row : store::queryRows(f.main, "EXPLAIN QUERY PLAN " + text))
            plan += row.back().toString() + "; ";
        EXPECT_TRUE(plan.contains("INDEX 支払予定表_日付_行番号")) << sql << "\n" << plan.toStdString();
        EXPECT_FALSE(plan.contains("TEMP B-TREE")) << sql << "\n" << plan.toStdString();
        EXPECT_FALSE(plan.contains("SCAN 支払予定表") && text.contains("WHERE")) << sql << "\n" << plan.toStdString();
    }
    EXPECT_EQ(reads, 5);
}

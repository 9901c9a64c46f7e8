#include "Book.h"
#include "CarryOverTable.h"
#include "FaultVfs.h"
#include "LedgerFixture.h"
#include "MonthWrite.h"
#include "Overview.h"
#include "SaveProgress.h"
#include "StoredLines.h"
#include "Transaction.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>

using namespace ledgertest;
using ledger::Amount;
using ledger::LineKey;
using ledger::MonthWrite;
using ledger::SheetEntry;

namespace {

const QDate kMarch(2025, 3, 1);

SheetEntry entry(int position, int day, const QString& payee, qint64 scheduled, qint64 paid, std::optional<LineKey> original = std::nullopt)
{
    return {position, QDate(2025, 3, day), payee, yen(scheduled), yen(paid), std::move(original)};
}

ledger::WriteOutcome write(Files& f, const MonthWrite& month)
{
    store::Transaction tx(f.main);
    const ledger::WriteOutcome outcome = ledger::writeMonth(f.main, month);
    tx.commit();
    return outcome;
}

int traceStatement(unsigned, void* context, void* statement, void*)
{
    char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
    static_cast<QStringList*>(context)->append(QString::fromUtf8(sql));
    sqlite3_free(sql);
    return 0;
}

} // namespace

TEST(MonthWrite, LinesRewriteTheirOriginalsNewOnesAreAddedEmptiedOnesGoAndTheCarryOverIsKeptOnlyWhenItDiffers)
{
    Files f;
    f.line("2025-02-28", 1, "前月", 100, 0, units(100));
    f.line("2025-03-05", 1, "A", 10, 0, units(110));
    f.line("2025-03-05", 2, "A", 20, 0, units(130));
    f.line("2025-03-09", 3, "消す", 5, 0, units(135));
    f.line("2025-04-01", 1, "後", 1, 0, units(136));

    // Two lines of one payee on one day stay two lines; the second moves to another day.
    MonthWrite month{.month = kMarch, .carry = yen(100)};
    month.lines = {entry(1, 5, "A", 10, 0, LineKey{QDate(2025, 3, 5), 1, "A"}), entry(2, 7, "A", 25, 0, LineKey{QDate(2025, 3, 5), 2, "A"}),
        entry(4, 6, "新", 0, 3)};
    month.emptied = {LineKey{QDate(2025, 3, 9), 3, "消す"}};
    const auto outcome = write(f, month);
    EXPECT_EQ(outcome.stored, 3);
    EXPECT_EQ(outcome.removed, 1);
    EXPECT_EQ(f.lines(), "02-28 #1 前月 100, 03-05 #1 A 110, 03-06 #4 新 107, 03-07 #2 A 132, 04-01 #1 後 133");
    EXPECT_EQ(f.carries(), "") << "the carry-over shown is the one brought in";

    // A carry-over typed for the month is kept with it and the book runs on from it ...
    month.lines = {entry(1, 5, "A", 10, 0, LineKey{QDate(2025, 3, 5), 1, "A"})};
    month.emptied = {LineKey{QDate(2025, 3, 6), 4, "新"}, LineKey{QDate(2025, 3, 7), 2, "A"}};
    month.carry = yen(500000);
    write(f, month);
    EXPECT_EQ(f.carries(), "2025-03 500000");
    EXPECT_EQ(f.lines(), "02-28 #1 前月 100, 03-05 #1 A 500010, 04-01 #1 後 500011");
    // ... and typing the brought-in balance again removes it.
    month.emptied.clear();
    month.carry = yen(100);
    write(f, month);
    EXPECT_EQ(f.carries(), "");
    EXPECT_EQ(f.lines(), "02-28 #1 前月 100, 03-05 #1 A 110, 04-01 #1 後 111");
}

TEST(MonthWrite, LinesOffTheSheetAreKeptWithTheirNumbersOrDeletedAsAsked)
{
    Files f;
    for (int n = 1; n <= 3; ++n)
        f.line("2025-03-05", n, QStringLiteral("旧%1").arg(n), n, 0);
    // The sheet was cleared: a new line of the same day must not take a number they keep.
    MonthWrite month{.month = kMarch, .carry = Amount()};
    month.lines = {entry(1, 5, "新", 100, 0)};
    EXPECT_EQ(ledger::offSheetLines(f.main, kMarch, {}).size(), 3u);
    write(f, month);
    EXPECT_EQ(f.lines(), "03-05 #1 旧1 1, 03-05 #2 旧2 3, 03-05 #3 旧3 6, 03-05 #4 新 106");

    month.lines = {entry(1, 5, "新", 100, 0, LineKey{QDate(2025, 3, 5), 4, "新"})};
    month.deleteOffSheet = true;
    EXPECT_EQ(write(f, month).removed, 3);
    EXPECT_EQ(f.lines(), "03-05 #1 新 100");
}

TEST(MonthWrite, AFailingFileLeavesTheBookAsItWasAndTheBarRisesOverLinesThenTheRun)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        store::Transaction seed(session->mainDb());
        for (int i = 0; i < 600; ++i)
            store::exec(session->mainDb(), "INSERT INTO 支払予定表 VALUES (?, ?, '後', ?, 0, 0)", {QDate(2025, 4, 1).addDays(i / 5).toString(Qt::ISODate), 1 + i % 5, units(10)});
        seed.commit();
    }
    MonthWrite month{.month = kMarch, .carry = yen(7)};
    for (int i = 1; i <= 150; ++i)
        month.lines.push_back(entry(i, 5, "A", 1, 0));
    FaultVfs vfs;
    auto session = store::Session::open(dir.path());
    const QByteArray before = TempDataDir::readAll(dir.mainPath());
    vfs.failAt(1, true);
    EXPECT_ANY_THROW([&] {
        store::Transaction tx(session->mainDb());
        ledger::writeMonth(session->mainDb(), month);
        tx.commit();
    }());
    vfs.clear();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), before);

    QList<int> bar;
    const auto show = [&](int value) { bar << value; };
    ledger::ProgressSpan lines(show, ledger::kSaveBarStart, ledger::kSaveBarLinesDone);
    ledger::ProgressSpan run(show, ledger::kSaveBarLinesDone, ledger::kSaveBarDone);
    store::Transaction tx(session->mainDb());
    ledger::writeMonth(session->mainDb(), month, &lines, &run);
    tx.commit();
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_EQ(bar.first(), 10);
    EXPECT_EQ(bar.last(), 100);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
    EXPECT_GT(std::count_if(bar.begin(), bar.end(), [](int v) { return v > 10 && v < 60; }), 20) << "the sheet's lines move the bar";
    EXPECT_GT(std::count_if(bar.begin(), bar.end(), [](int v) { return v > 60 && v < 100; }), 20) << "the run moves the bar";
    EXPECT_EQ(store::scalar(session->mainDb(), "SELECT 残高 FROM 支払予定表 ORDER BY 日付 DESC, 行番号 DESC LIMIT 1").toLongLong(), units(7 + 150 + 6000).toLongLong());
}

TEST(MonthWrite, EveryReadOfTheLedgerUsesTheDateIndexWithoutASortStep)
{
    Files f;
    store::Transaction seed(f.main);
    for (int n = 0; n < 28 * 3; ++n)
        f.line(QStringLiteral("2025-02-%1").arg(1 + n / 3, 2, 10, QLatin1Char('0')), 1 + n % 3, "x", 1, 0, units(1));
    seed.commit();
    QStringList statements;
    sqlite3_trace_v2(f.main.getHandle(), SQLITE_TRACE_STMT, &traceStatement, &statements);
    {
        ledger::Book book(f.main);
        ledger::monthLines(f.main, QDate(2025, 2, 1), 200);
        book.opening(QDate(2025, 2, 1));
        book.cumulative();
        ledger::readOverview(f.main, QDate(2025, 1, 1), 3);
        store::Transaction tx(f.main);
        book.rebalanceFrom(QDate(2025, 2, 10));
        book.deleteLine({QDate(2025, 2, 10), 2, "x"});
        tx.commit();
    }
    sqlite3_trace_v2(f.main.getHandle(), 0, nullptr, nullptr);

    int reads = 0;
    for (const QString& sql : statements) {
        if (!sql.contains("FROM 支払予定表 WHERE 日付"))
            continue;
        ++reads;
        QString plan;
        for (const store::Row& step : store::queryRows(f.main, "EXPLAIN QUERY PLAN " + sql))
            plan += step.back().toString() + "; ";
        EXPECT_TRUE(plan.contains("INDEX 支払予定表_日付_行番号")) << sql.toStdString() << "\n" << plan.toStdString();
        EXPECT_FALSE(plan.contains("TEMP B-TREE")) << sql.toStdString() << "\n" << plan.toStdString();
    }
    EXPECT_GE(reads, 6);
}

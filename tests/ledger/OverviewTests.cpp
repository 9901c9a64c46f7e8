#include "Book.h"
#include "Transaction.h"
#include "Overview.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <limits>
#include <map>

using ledger::MonthFlow;
using ledger::Overview;
using ledger::Amount;

namespace {

Amount yen(qint64 value)
{
    return Amount::fromUnits(value * Amount::kScale);
}

struct Book {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();

    void line(const char* date, int number, qint64 scheduled, qint64 paid)
    {
        store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額) VALUES (?, ?, ?, ?, ?)",
            {date, number, QStringLiteral("支払先%1").arg(number), scheduled * Amount::kScale, paid * Amount::kScale});
    }
};

// October 2024 to April 2025: lines before the range, an empty December, a year boundary,
// a February that dips below zero and recovers, lines on a month's first and last day,
// lines of one day stored out of their line-number order, and lines after the range.
void fillBook(Book& b)
{
    b.line("2024-10-05", 1, 300000, 0);
    b.line("2024-10-20", 2, 0, 120000);
    b.line("2024-11-01", 1, 50000, 0);
    b.line("2024-11-15", 3, 0, 80000);
    b.line("2024-11-15", 2, 0, 30000); // stored after line 3, comes before it
    b.line("2024-11-30", 4, 10000, 5000);
    b.line("2025-01-01", 1, 0, 40000);
    b.line("2025-01-31", 2, 20000, 0);
    b.line("2025-02-03", 1, 0, 90000);
    b.line("2025-02-10", 2, 0, 20000); // below zero from here
    b.line("2025-02-10", 3, 0, 1);
    b.line("2025-02-25", 4, 150000, 0);
    b.line("2025-03-01", 1, 5000, 2000);
    b.line("2025-04-01", 1, 999999, 0);
    // The stored balances as the save of the first month would leave them.
    store::Transaction tx(b.main);
    ledger::Book(b.main).rebalanceFrom(QDate(2024, 10, 1));
    tx.commit();
}

// The months recomputed from the amounts alone, walking every stored line in date and
// line-number order from the first one.
std::map<QDate, MonthFlow> recompute(SQLite::Database& main)
{
    std::map<QDate, MonthFlow> months;
    Amount running;
    const auto rows = store::queryRows(main, "SELECT 日付, 予定額, 支払額 FROM 支払予定表 ORDER BY 日付, 行番号");
    for (const store::Row& row : rows) {
        const QDate date = QDate::fromString(row[0].toString(), Qt::ISODate);
        const QDate first(date.year(), date.month(), 1);
        auto [it, fresh] = months.try_emplace(first);
        MonthFlow& m = it->second;
        if (fresh) {
            m.month = first;
            m.繰越額 = m.月末残高 = m.最低残高 = running;
            m.最低残高日 = first;
            m.予定額計 = m.支払額計 = Amount();
        }
        const Amount plan = Amount::fromUnits(row[1].toLongLong());
        const Amount paid = Amount::fromUnits(row[2].toLongLong());
        ++m.lines;
        m.予定額計 = *m.予定額計->plus(plan);
        m.支払額計 = *m.支払額計->plus(paid);
        running = *running.plus(plan)->minus(paid);
        m.月末残高 = running;
        if (running < m.最低残高) {
            m.最低残高 = running;
            m.最低残高日 = date;
        }
    }
    return months;
}

} // namespace

TEST(CashFlow, FiguresOfEveryMonthEqualARecomputationFromTheStoredLines)
{
    Book b;
    fillBook(b);
    const auto expected = recompute(b.main);
    const Overview overview = ledger::readOverview(b.main, QDate(2024, 11, 20), 5);

    ASSERT_EQ(overview.months.size(), 5u);
    EXPECT_EQ(overview.first, QDate(2024, 11, 1));
    EXPECT_EQ(overview.end, QDate(2025, 4, 1));
    EXPECT_EQ(overview.開始残高, yen(180000));
    Amount carry = overview.開始残高;
    size_t pointCount = 0;
    for (const MonthFlow& got : overview.months) {
        SCOPED_TRACE(got.month.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(got.繰越額, carry) << "a month carries on from the one before";
        const auto it = expected.find(got.month);
        if (it == expected.end()) {
            // A month without lines shows the carried balance throughout.
            EXPECT_EQ(got.lines, 0);
            EXPECT_EQ(got.予定額計, Amount());
            EXPECT_EQ(got.支払額計, Amount());
            EXPECT_EQ(got.月末残高, carry);
            EXPECT_EQ(got.最低残高, carry);
            EXPECT_EQ(got.最低残高日, got.month);
        } else {
            const MonthFlow& want = it->second;
            EXPECT_EQ(got.lines, want.lines);
            EXPECT_EQ(got.繰越額, want.繰越額);
            EXPECT_EQ(got.予定額計, want.予定額計);
            EXPECT_EQ(got.支払額計, want.支払額計);
            EXPECT_EQ(got.月末残高, want.月末残高);
            EXPECT_EQ(got.最低残高, want.最低残高);
            EXPECT_EQ(got.最低残高日, want.最低残高日);
        }
        carry = got.月末残高;
        pointCount += static_cast<size_t>(got.lines);
    }
    EXPECT_EQ(expected.count(QDate(2024, 12, 1)), 0u) << "the fixture keeps December empty";

    // The figures that make the months red or not, and the chart's points.
    const MonthFlow& february = overview.months[3];
    EXPECT_TRUE(february.goesNegative());
    EXPECT_EQ(february.最低残高, yen(-5001));
    EXPECT_EQ(february.最低残高日, QDate(2025, 2, 10));
    EXPECT_FALSE(overview.months[2].goesNegative());
    EXPECT_EQ(overview.months[0].最低残高日, QDate(2024, 11, 15));
    ASSERT_EQ(overview.points.size(), pointCount);
    EXPECT_EQ(overview.points.back().balance, overview.months.back().月末残高);
    EXPECT_EQ(overview.points[1].balance, yen(200000)) << "line 2 of 2024-11-15 comes before line 3";
    EXPECT_EQ(overview.points.front().month, 0);
    EXPECT_EQ(overview.points.back().month, 4);
}

TEST(CashFlow, RangeIsClampedAndReadWithTheDateIndexInOrder)
{
    Book b;
    fillBook(b);
    EXPECT_EQ(ledger::readOverview(b.main, QDate(2025, 1, 1), 0).months.size(), 1u);
    const Overview longest = ledger::readOverview(b.main, QDate(2023, 1, 1), 99);
    ASSERT_EQ(longest.months.size(), size_t(ledger::kMaxMonths));
    EXPECT_EQ(longest.months.front().繰越額, Amount()) << "nothing is stored before the range";
    EXPECT_EQ(longest.months.back().month, QDate(2025, 12, 1));
    EXPECT_EQ(longest.months.back().月末残高, longest.points.back().balance) << "the months after the last line carry it on";
    EXPECT_TRUE(ledger::readOverview(b.main, QDate(), 12).months.empty());

    QStringList plan;
    for (const store::Row& row : store::queryRows(b.main, "EXPLAIN QUERY PLAN " + ledger::rangeQueryText(), {"2024-11-01", "2025-04-01"}))
        plan << row.back().toString();
    EXPECT_TRUE(plan.join('\n').contains("USING INDEX")) << plan.join('\n').toStdString();
    EXPECT_FALSE(plan.join('\n').contains("TEMP B-TREE")) << plan.join('\n').toStdString();
}

TEST(CashFlow, NullAmountsPassTheBalanceOnAndSumsPast64BitsAreUnknown)
{
    Book b;
    const qint64 huge = std::numeric_limits<qint64>::max() - 5;
    store::exec(b.main, "INSERT INTO 支払予定表 VALUES ('2025-05-01', 1, 'a', ?, 0, 100)", {huge});
    store::exec(b.main, "INSERT INTO 支払予定表 VALUES ('2025-05-02', 2, 'b', ?, NULL, NULL)", {huge});
    store::exec(b.main, "INSERT INTO 支払予定表 VALUES ('2025-06-03', 1, 'c', 70000, NULL, -70000)");
    const Overview o = ledger::readOverview(b.main, QDate(2025, 5, 1), 2);
    ASSERT_EQ(o.months.size(), 2u);
    EXPECT_FALSE(o.months[0].予定額計.has_value()) << "a sum past 64 bits is unknown, never wrapped";
    EXPECT_EQ(o.months[0].支払額計, Amount()) << "a null amount adds nothing";
    // The figures follow the book's chain, not what a line happens to keep as its balance.
    EXPECT_EQ(o.months[0].月末残高, Amount::fromUnits(huge));
    EXPECT_EQ(o.months[1].繰越額, Amount::fromUnits(huge));
    EXPECT_EQ(o.months[1].予定額計, Amount::fromUnits(70000));
    EXPECT_EQ(o.months[1].最低残高, Amount::fromUnits(huge)) << "a line without a balance passes the one before it on";
}

TEST(CashFlow, TheFirstMonthStartsFromTheCarryOverItKeepsAndEveryFigureAgrees)
{
    Book b;
    b.line("2025-01-01", 1, 100000, 0);
    b.line("2025-01-02", 2, 0, 30000);
    b.line("2025-02-10", 1, 53234, 0);
    store::exec(b.main, "INSERT INTO 繰越額 VALUES ('2025-01-01', ?)", {qint64(500000) * Amount::kScale});
    store::Transaction tx(b.main);
    ledger::Book(b.main).rebalanceFrom(QDate(2025, 1, 1));
    tx.commit();
    const Overview o = ledger::readOverview(b.main, QDate(2025, 1, 1), 2);
    EXPECT_EQ(o.開始残高, yen(500000));
    EXPECT_EQ(o.months[0].繰越額, yen(500000));
    EXPECT_EQ(o.months[0].最低残高, yen(500000)) << "the lowest balance of the month starts from its carry-over";
    EXPECT_EQ(o.months[0].月末残高, yen(570000));
    EXPECT_EQ(o.points.front().balance, yen(600000));
    EXPECT_EQ(o.months[1].繰越額, yen(570000));
    EXPECT_EQ(o.months[1].月末残高, yen(623234));
    EXPECT_EQ(o.months[1].月末残高, Amount::fromVariant(store::scalar(b.main, "SELECT 残高 FROM 支払予定表 ORDER BY 日付 DESC LIMIT 1")));
}

TEST(Overview, EachMonthListsItsScheduledPaymentsThatFallOnBankHolidays)
{
    Book b;
    b.line("2026-12-30", 1, 100, 0); // Wednesday: a business day
    b.line("2026-12-31", 2, 100, 0); // banks closed at the year's end
    b.line("2027-01-03", 1, 0, 50);  // paid only: no scheduled payment
    b.line("2027-01-11", 2, 10, 0);  // 成人の日
    b.line("2027-01-11", 3, 0, 0);   // nothing scheduled
    b.line("2027-01-16", 4, -5, 0);  // Saturday: an amount coming in is scheduled too
    const Overview overview = ledger::readOverview(b.main, QDate(2026, 12, 1), 3);
    ASSERT_EQ(overview.months.size(), 3u);
    EXPECT_EQ(overview.months[0].holidayPayments, std::vector<QDate>{QDate(2026, 12, 31)});
    EXPECT_EQ(overview.months[1].holidayPayments, (std::vector<QDate>{QDate(2027, 1, 11), QDate(2027, 1, 16)}));
    EXPECT_TRUE(overview.months[2].holidayPayments.empty());
}

#include "Book.h"
#include "ChainCheck.h"
#include "MonthController.h"
#include "MonthData.h"
#include "Overview.h"
#include "PrintCommand.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "Transaction.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>

using ledger::Amount;

namespace {

constexpr int kMonths = 6;
const QDate kFirst(2005, 1, 1);

// A stored line as the test wrote it.
struct Written {
    QString date;
    int number = 0;
    QString payee; // empty: stored as null or as an empty text
    qint64 scheduled = 0;
    qint64 paid = 0;
};

// The balances and month figures worked out here on their own, the plain way: the lines
// in (date, line number) order, each month starting from its own carry-over when it has
// one, a line without a payee taking no balance and changing nothing.
struct Expected {
    std::map<QString, std::optional<qint64>> balances; // by "yyyy-MM-dd #n"
    std::vector<qint64> openings, closings;
    std::vector<std::optional<qint64>> scheduled, paid; // nothing when the total does not fit
};

QString keyOf(const QDate& date, qint64 number)
{
    return date.toString(Qt::ISODate) + " #" + QString::number(number);
}

std::optional<qint64> sum(std::optional<qint64> total, qint64 add)
{
    qint64 result = 0;
    if (!total || __builtin_add_overflow(*total, add, &result))
        return std::nullopt;
    return result;
}

Expected expect(std::vector<Written> lines, const std::map<int, qint64>& carries)
{
    std::stable_sort(lines.begin(), lines.end(), [](const Written& a, const Written& b) { return std::pair(a.date, a.number) < std::pair(b.date, b.number); });
    Expected e;
    qint64 running = 0;
    for (int m = 0; m < kMonths; ++m) {
        const QString month = kFirst.addMonths(m).toString("yyyy-MM");
        if (carries.contains(m))
            running = carries.at(m) * Amount::kScale;
        e.openings.push_back(running);
        std::optional<qint64> scheduled = 0, paid = 0;
        for (const Written& line : lines) {
            if (!line.date.startsWith(month))
                continue;
            scheduled = sum(scheduled, line.scheduled * Amount::kScale);
            paid = sum(paid, line.paid * Amount::kScale);
            std::optional<qint64> balance;
            if (!line.payee.isEmpty())
                balance = running = running + (line.scheduled - line.paid) * Amount::kScale;
            e.balances[line.date + " #" + QString::number(line.number)] = balance;
        }
        e.scheduled.push_back(scheduled);
        e.paid.push_back(paid);
        e.closings.push_back(running);
    }
    return e;
}

// A fresh data folder whose main file the test writes straight into (amounts in yen).
struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();

    void line(const Written& line)
    {
        store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, -1)",
            {line.date, line.number, line.payee, line.scheduled * Amount::kScale, line.paid * Amount::kScale});
    }
    void carry(const QDate& month, qint64 amount)
    {
        store::exec(main, "INSERT INTO 繰越額 (年月, 繰越額) VALUES (?, ?)", {month.toString(Qt::ISODate), amount * Amount::kScale});
    }
};

std::optional<qint64> unitsOf(const std::optional<Amount>& amount)
{
    return amount ? std::optional(amount->units()) : std::nullopt;
}

} // namespace

// Random books of six months: empty months, months with a carry-over of their own, lines
// without a payee (null or empty), and lines of amounts so large that a month's totals no
// longer fit while the balances still do. After the book's balance run, the sheet, its
// printed rows, the exports, the cash-flow overview and the chain check all show the same
// balances and totals, and those are the ones worked out here the plain way.
TEST(OneFigures, TheSheetReportExportsOverviewAndChainCheckAgreeOnEveryBalanceAndTotalOfRandomBooks)
{
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        Files f;
        std::vector<Written> lines;
        std::map<int, qint64> carries;
        for (int m = 0; m < kMonths; ++m) {
            if (pick(3) == 0)
                carries[m] = (pick(2001) - 1000) * 1000;
            const int count = pick(4) == 0 ? 0 : pick(12);
            for (int n = 1; n <= count; ++n) {
                Written line{kFirst.addMonths(m).addDays(pick(28)).toString(Qt::ISODate), n,
                    pick(5) == 0 ? QString() : QStringLiteral("先%1").arg(pick(9)), pick(200000), pick(4) == 0 ? pick(200000) : 0};
                if (pick(15) == 0) // a bill and its payment as large as the book allows, twice in a month
                    line.scheduled = line.paid = std::numeric_limits<qint64>::max() / Amount::kScale / 2 + 1;
                lines.push_back(line);
                f.line(line);
                if (line.payee.isEmpty() && pick(2) == 0)
                    store::exec(f.main, "UPDATE 支払予定表 SET 支払先名 = NULL WHERE rowid = last_insert_rowid()");
            }
        }
        for (const auto& [m, carry] : carries)
            f.carry(kFirst.addMonths(m), carry);
        {
            store::Transaction tx(f.main);
            ledger::Book(f.main).rebalanceFrom(kFirst);
            tx.commit();
        }
        const Expected e = expect(lines, carries);
        EXPECT_FALSE(ledger::findChainBreak(f.main));
        const ledger::Overview overview = ledger::readOverview(f.main, kFirst, kMonths);
        ASSERT_EQ(overview.months.size(), std::size_t(kMonths));
        for (int m = 0; m < kMonths; ++m) {
            SCOPED_TRACE(m);
            const QDate month = kFirst.addMonths(m);
            const ledger::MonthFlow& flow = overview.months[static_cast<std::size_t>(m)];
            EXPECT_EQ(flow.繰越額.units(), e.openings[m]);
            EXPECT_EQ(flow.月末残高.units(), e.closings[m]);
            EXPECT_EQ(unitsOf(flow.予定額計), e.scheduled[m]);
            EXPECT_EQ(unitsOf(flow.支払額計), e.paid[m]);

            const exchange::MonthData exported = exchange::readStoredMonth(*f.session, month);
            EXPECT_EQ(unitsOf(exported.繰越額), e.openings[m]);
            EXPECT_EQ(unitsOf(exported.予定額月計), e.scheduled[m]);
            EXPECT_EQ(unitsOf(exported.支払額月計), e.paid[m]);
            EXPECT_EQ(unitsOf(exported.予定額累計), e.closings.back());

            schedule::MonthController sheet(*f.session);
            sheet.setMonth(month);
            ASSERT_TRUE(sheet.load().loaded);
            EXPECT_EQ(unitsOf(sheet.figures().繰越額), e.openings[m]);
            EXPECT_EQ(unitsOf(sheet.figures().予定額月計), e.scheduled[m]);
            EXPECT_EQ(unitsOf(sheet.figures().支払額月計), e.paid[m]);
            EXPECT_EQ(unitsOf(sheet.figures().累計), e.closings.back());
            const std::vector<report::PrintRow> printed = report::collectPrintRows(f.work);

            std::size_t row = 0;
            ASSERT_EQ(exported.lines.size(), static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const Written& w) { return w.date.startsWith(month.toString("yyyy-MM")); })));
            for (std::size_t i = 0; i < exported.lines.size(); ++i) {
                const exchange::StoredLine& line = exported.lines[i];
                const QString key = keyOf(line.日付, line.行番号);
                SCOPED_TRACE(key.toStdString());
                const std::optional<qint64> expected = e.balances.at(key);
                EXPECT_EQ(unitsOf(line.残高), expected) << "exported";
                EXPECT_EQ(unitsOf(sheet.lines()[i].balance), expected) << "on the sheet";
                if (!expected)
                    continue;
                ASSERT_LT(row, printed.size());
                EXPECT_EQ(printed[row].支払先名, line.支払先名);
                EXPECT_EQ(unitsOf(printed[row++].残高), expected) << "printed";
            }
            EXPECT_EQ(row, printed.size()) << "the report prints the lines with a payee, and only those";
        }
    }
}

#include "BalanceChain.h"
#include "Book.h"
#include "ChainCheck.h"
#include "LedgerFixture.h"
#include "Transaction.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <limits>

using namespace ledgertest;
using ledger::Amount;
using ledger::Book;

TEST(BalanceChain, TheRuleIsExactAMonthWithACarryOverOfItsOwnStartsFromItAndOverflowIsRefused)
{
    const Amount max = Amount::fromUnits(std::numeric_limits<qint64>::max());
    EXPECT_EQ(ledger::balanceAfter(yen(5000), yen(10000), yen(0)).value, yen(15000));
    EXPECT_EQ(ledger::balanceAfter(Amount::fromUnits(1), Amount::fromUnits(15000), Amount::fromUnits(3)).value, Amount::fromUnits(14'998));
    EXPECT_EQ(ledger::balanceAfter(max, yen(0), std::nullopt).kind, ledger::LineBalance::Empty);
    EXPECT_EQ(ledger::balanceAfter(max, Amount::fromUnits(1), Amount()).kind, ledger::LineBalance::Overflow);
    // 1 - (max) - 2 does not fit although 1 - max does.
    EXPECT_EQ(ledger::balanceAfter(Amount::fromUnits(-2), Amount(), max).kind, ledger::LineBalance::Overflow);

    const ledger::CarryOvers carries{{QDate(2025, 1, 1), yen(1)}, {QDate(2025, 3, 1), yen(300)}, {QDate(2025, 4, 1), yen(400)}};
    ledger::BalanceChain chain(QDate(2025, 1, 20), yen(10), carries);
    const auto line = [](QDate date, std::optional<Amount> scheduled, std::optional<Amount> paid) {
        return ledger::LineAmounts{date, true, scheduled, paid};
    };
    EXPECT_EQ(chain.next(line(QDate(2025, 1, 31), yen(5), yen(0))).value, yen(15)) << "the opening month's own carry is in the opening";
    EXPECT_EQ(chain.next(line(QDate(2025, 2, 3), yen(0), yen(20))).value, yen(-5));
    EXPECT_EQ(chain.next(line(QDate(2025, 2, 3), std::nullopt, yen(1))).kind, ledger::LineBalance::Empty);
    EXPECT_EQ(chain.next({QDate(2025, 2, 4), false, yen(7), yen(0)}).kind, ledger::LineBalance::Outside);
    EXPECT_EQ(chain.next({QDate(), true, yen(7), yen(0)}).kind, ledger::LineBalance::Outside);
    EXPECT_EQ(chain.running(), yen(-5)) << "a line without a balance or outside the chain passes the one before it on";
    // March has no line: April's own carry-over wins over March's.
    EXPECT_EQ(chain.next(line(QDate(2025, 4, 2), yen(1), yen(0))).value, yen(401));
    EXPECT_EQ(chain.enterMonth(QDate(2025, 9, 1)), yen(401));
}

TEST(Book, TheOpeningCumulativeAndRunFollowTheLinesAndTheCarryOversOfTheBook)
{
    Files f;
    Book book(f.main);
    EXPECT_EQ(book.opening(QDate(2025, 1, 1)).carry(), Amount());
    EXPECT_EQ(book.cumulative(), Amount());

    f.line("2025-01-05", 1, "一月", 100, 0);
    f.line("2025-02-10", 2, "二月b", 0, 30);
    f.line("2025-02-10", 1, "二月a", 10, 0); // stored after line 2 of the day, comes before it
    f.line("2025-04-01", 1, "四月", 5, 0);
    f.carry("2025-01-01", 500);
    f.carry("2025-03-01", 1000); // a month without lines
    store::Transaction tx(f.main);
    book.rebalanceFrom(QDate(2025, 1, 15));
    tx.commit();
    EXPECT_EQ(f.lines(), "01-05 #1 一月 600, 02-10 #1 二月a 610, 02-10 #2 二月b 580, 04-01 #1 四月 1005");
    EXPECT_EQ(book.opening(QDate(2025, 2, 1)).broughtIn, yen(600));
    EXPECT_FALSE(book.opening(QDate(2025, 2, 1)).own);
    EXPECT_EQ(book.opening(QDate(2025, 3, 1)).broughtIn, yen(580));
    EXPECT_EQ(book.opening(QDate(2025, 3, 1)).carry(), yen(1000));
    EXPECT_EQ(book.opening(QDate(2025, 4, 1)).carry(), yen(1000)) << "March keeps no line: its carry-over is what April brings in";
    EXPECT_EQ(book.cumulative(), yen(1005));
    f.carry("2025-07-01", 7);
    EXPECT_EQ(book.cumulative(), yen(7)) << "a carry-over after the last line ends the book";
    EXPECT_TRUE(book.summary().latestMonth == QDate(2025, 4, 1) && book.summary().storedLines == 4);
}

TEST(Book, ARunWritesOnlyChangedBalancesPassesOverALineWithoutPayeeAndRefusesAnOverflowBeforeWriting)
{
    Files f;
    f.line("2025-01-05", 1, "a", 100, 0, units(100));
    f.line("2025-01-06", 1, "b", 50, 0, units(999));
    f.line("2025-01-07", 1, "", 1, 0, units(7));
    f.line("2025-01-08", 1, "c", 1, 0, units(8));
    int changes = 0;
    sqlite3_update_hook(f.main.getHandle(), [](void* count, int, const char*, const char*, sqlite3_int64) { ++*static_cast<int*>(count); }, &changes);
    {
        store::Transaction tx(f.main);
        Book(f.main).rebalanceFrom(QDate(2025, 1, 1));
        tx.commit();
    }
    EXPECT_EQ(changes, 2) << "only line b's and line c's balances were wrong";
    EXPECT_EQ(f.lines(), "01-05 #1 a 100, 01-06 #1 b 150, 01-07 #1  7, 01-08 #1 c 151")
        << "the line without a payee keeps what it holds and moves nothing";
    EXPECT_FALSE(ledger::findChainBreak(f.main));
    EXPECT_EQ(Book(f.main).opening(QDate(2025, 2, 1)).carry(), yen(151));

    store::exec(f.main, "UPDATE 支払予定表 SET 予定額 = ? WHERE 支払先名 = 'a'", {std::numeric_limits<qint64>::max()});
    const QString before = f.lines();
    store::Transaction tx(f.main);
    try {
        Book(f.main).rebalanceFrom(QDate(2025, 1, 1));
        FAIL() << "an overflowing balance was stored";
    } catch (const ledger::OverflowError& e) {
        EXPECT_EQ(e.date(), QDate(2025, 1, 6));
        EXPECT_EQ(e.payee(), "b");
    }
    EXPECT_EQ(f.lines(), before);
    sqlite3_update_hook(f.main.getHandle(), nullptr, nullptr);
}

TEST(Book, DeletingALineRunsTheChainFromItsMonthAndTheCheckFindsTheFirstLineOffTheChain)
{
    Files f;
    f.line("2025-01-05", 1, "a", 100, 0);
    f.line("2025-02-05", 1, "b", 0, 30);
    f.line("2025-02-05", 2, "b", 0, 20);
    f.line("2025-03-05", 1, "c", 1, 0);
    f.carry("2025-03-01", 1000);
    Book book(f.main);
    {
        store::Transaction tx(f.main);
        book.rebalanceFrom(QDate(2025, 1, 1));
        tx.commit();
    }
    EXPECT_FALSE(ledger::findChainBreak(f.main)) << "the chain holds with a carry-over of its own";
    {
        store::Transaction tx(f.main);
        EXPECT_TRUE(book.deleteLine({QDate(2025, 2, 5), 1, "b"}));
        EXPECT_FALSE(book.deleteLine({QDate(2025, 2, 5), 1, "b"}));
        tx.commit();
    }
    EXPECT_EQ(f.lines(), "01-05 #1 a 100, 02-05 #2 b 80, 03-05 #1 c 1001");
    EXPECT_FALSE(ledger::findChainBreak(f.main));

    store::exec(f.main, "UPDATE 支払予定表 SET 残高 = 1 WHERE 支払先名 = 'c'");
    const auto broken = ledger::findChainBreak(f.main);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->date, QDate(2025, 3, 5));
    EXPECT_EQ(broken->checkedLines, 2);
    // A carry-over that was not honoured shows as a break too.
    store::exec(f.main, "UPDATE 支払予定表 SET 残高 = ? WHERE 支払先名 = 'c'", {units(81)});
    EXPECT_TRUE(ledger::findChainBreak(f.main));
}

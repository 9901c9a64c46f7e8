#include "GridEditing.h"
#include "ImeSwitch.h"
#include "SheetFixture.h"

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;

TEST(GridEditing, DaysGiveDatesOfTheShownMonthAndTheSaveProgressMovesInTenths)
{
    const QDate april(2005, 4, 20);
    EXPECT_EQ(composeDay(april, "30"), QDate(2005, 4, 30));
    EXPECT_EQ(composeDay(april, " ７ "), QDate(2005, 4, 7));
    EXPECT_EQ(composeDay(april, "5.4"), QDate(2005, 4, 5));
    for (const char* refused : {"31", "0", "-5", "100", "abc", "", "1e400"})
        EXPECT_FALSE(composeDay(april, QString::fromUtf8(refused))) << refused;
    EXPECT_FALSE(composeDay(QDate(), "5"));
    EXPECT_FALSE(composeDay(QDate(2005, 2, 1), "29"));
    EXPECT_EQ(composeDay(QDate(2005, 2, 1), "7"), QDate(2005, 2, 7));
    EXPECT_EQ(composeDay(QDate(2004, 2, 1), "29"), QDate(2004, 2, 29));

    SaveProgress month(200); // a step of 22: 10 more at 22, 44, … 198
    QList<int> seen;
    for (int c = 1; c <= 200; ++c)
        seen << month.advance(c);
    EXPECT_EQ(seen.count(0), 21);
    EXPECT_EQ(seen.mid(21, 2), (QList<int>{10, 10}));
    EXPECT_EQ(seen.last(), 90);
    SaveProgress few(4); // 4 / 9 rounds to 0, which counts as 1; never past 100
    for (int c = 1; c <= 12; ++c)
        few.advance(c);
    EXPECT_EQ(few.percent(), 100);
    EXPECT_EQ(SaveProgress(14).step(), 2);
    EXPECT_EQ(SaveProgress(0).advance(1), 0);
}

TEST(GridEditing, CellsEnterAndTheInputMethodFollowTheRulesOfTheirColumns)
{
    SheetFixture f;
    f.start(QDate(2005, 4, 1));
    f.session->settings.g支払先自動登録 = false;
    f.type(0, 2, "30");
    f.type(1, 2, "31");
    f.grid()->setCurrentCell(5, 2);
    EXPECT_EQ(sheetLine(f.work(), 1).section('|', 1, 2), "30|2005-04-30");
    EXPECT_EQ(sheetLine(f.work(), 2).section('|', 1, 2), "-|-");

    // Only amounts move totals and balances; an emptied amount is the number 0 and
    // recomputes, an emptied balance only becomes 0. Names typed stay out of the master.
    f.page->findChild<AmountField*>("num繰越額")->setAmount(store::Amount::fromYen(5000));
    f.type(0, 5, "10,000");
    f.type(1, 6, "3000");
    f.type(0, 4, "ABC");
    EXPECT_EQ(f.totals(), "10,000 | 3,000");
    EXPECT_EQ(f.shown(1, 7), "12,000");
    f.type(0, 5, "");
    EXPECT_EQ(f.sheet().value(0, 5), QVariant(qlonglong(0)));
    EXPECT_EQ(f.totals(), " | 3,000");
    EXPECT_EQ(f.shown(1, 7), "2,000");
    f.type(0, 7, "");
    EXPECT_EQ(f.sheet().value(0, 7), QVariant(qlonglong(0)));
    EXPECT_EQ(f.shown(1, 7), "2,000");
    EXPECT_EQ(row(f.main(), "SELECT count(*) FROM 支払先マスタ"), "0");

    // Enter in the balance column: next line's day cell, also from an open editor (the
    // typed balance kept), staying on the last line; elsewhere Enter does not move.
    f.type(8, 7, "12", Qt::Key_Return);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(9, 2));
    EXPECT_EQ(f.sheet().value(8, 7), QVariant(qlonglong(120000)));
    f.grid()->setCurrentCell(199, 7);
    QTest::keyClick(f.grid(), Qt::Key_Return);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(199, 2));
    f.grid()->setCurrentCell(6, 5);
    QTest::keyClick(f.grid(), Qt::Key_Enter);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(6, 5));

    // The input method: on in the payee column only, for the grid and its editors.
    f.grid()->setCurrentCell(6, 4);
    EXPECT_FALSE(imeClosedHints(f.grid()));
    f.grid()->setCurrentCell(7, 4);
    EXPECT_FALSE(imeClosedHints(f.grid()));
    f.grid()->setCurrentCell(7, 5);
    QTest::keyClick(f.grid(), Qt::Key_F2);
    EXPECT_TRUE(imeClosedHints(f.grid()));
    EXPECT_TRUE(imeClosedHints(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // Without a year-month the grid reminds and hands the focus back.
    EXPECT_TRUE(f.presenter.shown().empty());
    f.page->findChild<YearMonthEdit*>("Dt年月")->setFromText("");
    f.page->findChild<YearMonthEdit*>("Dt年月")->setFocus();
    f.grid()->setFocus();
    ASSERT_EQ(f.presenter.shown().size(), 1u);
    EXPECT_EQ(f.presenter.shown()[0].title, "年月を指定してください。");
    EXPECT_EQ(QApplication::focusWidget(), f.page->findChild<YearMonthEdit*>("Dt年月"));
}

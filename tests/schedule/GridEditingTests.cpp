#include "GridEditing.h"
#include "ImeSwitch.h"
#include "SheetFixture.h"

#include <QComboBox>
#include <QInputMethodEvent>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;

TEST(GridEditing, ADayIsADateOfTheShownMonthOrNothing)
{
    const QDate april(2005, 4, 20);
    EXPECT_EQ(composeDay(april, "30"), QDate(2005, 4, 30));
    EXPECT_EQ(composeDay(april, " ７ "), QDate(2005, 4, 7));
    EXPECT_EQ(composeDay(april, "5.4"), QDate(2005, 4, 5));
    EXPECT_EQ(composeDay(april, "0.5"), QDate(2005, 4, 1)); // rounded as "00" shows it
    for (const char* refused : {"31", "0", "-5", "100", "abc", "", "1e400", "3日"})
        EXPECT_FALSE(composeDay(april, QString::fromUtf8(refused))) << refused;
    EXPECT_FALSE(composeDay(april, QVariant()));
    EXPECT_FALSE(composeDay(QDate(), "5"));
    EXPECT_FALSE(composeDay(QDate(2005, 2, 1), "29"));
    EXPECT_EQ(composeDay(QDate(2004, 2, 1), "29"), QDate(2004, 2, 29));
    EXPECT_EQ(composeDay(QDate(2005, 2, 1), "7"), QDate(2005, 2, 7));

    // 200 lines: a step of 22, ten points at 22, 44, … 198 and never past 100.
    SaveProgress month(200);
    EXPECT_EQ(month.step(), 22);
    QList<int> seen;
    for (int c = 1; c <= 200; ++c)
        if (const int p = month.advance(c); seen.isEmpty() || seen.last() != p)
            seen << p;
    EXPECT_EQ(seen, (QList<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
    SaveProgress few(4); // 4 / 9 rounds to 0, which counts as 1
    for (int c = 1; c <= 12; ++c)
        few.advance(c);
    EXPECT_EQ(few.percent(), 100);
    EXPECT_EQ(SaveProgress(13).step(), 1);
    EXPECT_EQ(SaveProgress(14).step(), 2);
    SaveProgress none(0);
    EXPECT_EQ(none.advance(1), 0);
}

TEST(GridEditing, DayCellsFollowTheMonthAndOnlyAmountsMoveTotalsAndBalances)
{
    SheetFixture f;
    f.start(QDate(2005, 4, 1));
    f.type(0, 2, "31");
    EXPECT_EQ(sheetLine(f.work(), 1).section('|', 1, 2), "-|-");
    f.type(0, 2, "30");
    f.type(1, 2, "ab");
    f.type(2, 2, QString::fromUtf8("７"));
    f.grid()->setCurrentCell(5, 2); // leaving the line writes it
    EXPECT_EQ(sheetLine(f.work(), 1).section('|', 1, 2), "30|2005-04-30");
    EXPECT_EQ(sheetLine(f.work(), 2).section('|', 1, 2), "-|-");
    EXPECT_EQ(sheetLine(f.work(), 3).section('|', 1, 2), QString::fromUtf8("７|2005-04-07"));
    // A day that gives no date also empties a date the line had.
    f.type(0, 2, "-5");
    EXPECT_TRUE(f.sheet().value(0, 3).isNull());

    // Amounts: ASCII or full-width digits, commas and a minus sign; the totals and the
    // running balances from the carry-over follow at once and the line is written.
    f.field("num繰越額")->setAmount(store::Amount::fromYen(5000));
    f.type(0, 4, QString::fromUtf8("電気"));
    EXPECT_EQ(f.totals(), " | ");
    f.type(0, 5, "10,000");
    EXPECT_EQ(row(f.work(), "SELECT 予定額 / 10000, 残高 / 10000 FROM InpWork WHERE 行番号 = 1"), "10000|15000");
    f.type(1, 6, QString::fromUtf8("３，０００"));
    f.type(2, 5, "-500");
    f.type(2, 5, "abc"); // refused: the amount stays
    EXPECT_EQ(f.totals(), "9,500 | 3,000");
    EXPECT_EQ(QStringList({f.shown(0, 7), f.shown(1, 7), f.shown(2, 7)}).join(' '), "15,000 12,000 11,500");

    // An emptied amount is the number 0 and recomputes; an emptied balance only becomes 0.
    f.empty(0, 5);
    EXPECT_EQ(f.sheet().value(0, 5), QVariant(qlonglong(0)));
    EXPECT_EQ(f.totals(), "-500 | 3,000");
    EXPECT_EQ(QStringList({f.shown(0, 7), f.shown(1, 7), f.shown(2, 7)}).join(' '), "5,000 2,000 1,500");
    f.empty(1, 7);
    EXPECT_EQ(f.sheet().value(1, 7), QVariant(qlonglong(0)));
    EXPECT_EQ(f.shown(2, 7), "1,500");
    EXPECT_EQ(f.totals(), "-500 | 3,000");
    EXPECT_TRUE(f.presenter.shown().empty());

    // February of a common and of a leap year.
    f.monthField()->setFromText("20050201");
    f.page->Read支払予定();
    f.type(0, 2, "29");
    f.type(1, 2, "7");
    f.grid()->setCurrentCell(5, 2);
    EXPECT_EQ(row(f.work(), "SELECT group_concat(coalesce(日付, '-')) FROM (SELECT 日付 FROM InpWork WHERE 行番号 <= 2 ORDER BY 行番号)"), "-,2005-02-07");
    f.monthField()->setFromText("20040201");
    f.page->Read支払予定();
    f.type(0, 2, "29");
    f.grid()->setCurrentCell(5, 2);
    EXPECT_EQ(sheetLine(f.work(), 1).section('|', 2, 2), "2004-02-29");
}

TEST(GridEditing, EnterInTheBalanceColumnGoesToTheNextDayCellAndStaysOnTheLastLine)
{
    SheetFixture f;
    f.start(QDate(2005, 3, 1));
    f.grid()->setFocus();
    f.grid()->setCurrentCell(5, 7);
    QTest::keyClick(f.grid(), Qt::Key_Return);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(6, 2));
    f.grid()->setCurrentCell(6, 5);
    QTest::keyClick(f.grid(), Qt::Key_Enter);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(6, 5));
    // From an open editor: the typed balance is kept and the cursor moves on.
    f.type(8, 7, "12", Qt::Key_Return);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(9, 2));
    EXPECT_FALSE(f.grid()->isEditing());
    EXPECT_EQ(f.sheet().value(8, 7), QVariant(qlonglong(120000)));
    f.grid()->setCurrentCell(199, 7);
    QTest::keyClick(f.grid(), Qt::Key_Return);
    EXPECT_EQ(f.grid()->currentIndex(), f.sheet().index(199, 2));
}

TEST(GridEditing, TypedPayeesJoinTheMasterOnlyWhileAutomaticRegistrationIsOn)
{
    SheetFixture f;
    f.start(QDate(2005, 3, 1));
    const auto master = [&] { return row(f.main(), "SELECT count(*), coalesce(group_concat(支払先名, ','), '') FROM (SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid)"); };
    f.session->settings.g支払先自動登録 = true;
    f.type(0, 4, QString::fromUtf8("新規商店"));
    f.type(1, 4, QString::fromUtf8("新規商店"));
    f.type(2, 4, "O'Brien's");
    f.grid()->setCurrentCell(3, 4);
    QTest::keyClick(f.grid(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // an empty cell names nobody
    EXPECT_EQ(master(), QString::fromUtf8("2|新規商店,O'Brien's"));

    // The flag is read when editing ends: switched off, nothing more is added.
    f.session->settings.g支払先自動登録 = false;
    f.type(4, 4, QString::fromUtf8("登録しない"));
    EXPECT_EQ(f.sheet().value(4, 4).toString(), QString::fromUtf8("登録しない"));
    EXPECT_EQ(master(), QString::fromUtf8("2|新規商店,O'Brien's"));
}

TEST(GridEditing, JapaneseStartsEditingThePayeeDropDownAndTheInputMethodFollowsTheColumn)
{
    SheetFixture f;
    f.start(QDate(2005, 3, 1));
    f.session->settings.g支払先自動登録 = false;
    f.type(0, 4, "old name");
    f.grid()->setCurrentCell(0, 4);
    EXPECT_FALSE(imeClosedHints(f.grid()));
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("山田商店"));
    QCoreApplication::sendEvent(f.grid(), &commit);
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->objectName(), "DD支払先名");
    EXPECT_EQ(combo->currentText(), QString::fromUtf8("山田商店"));
    EXPECT_FALSE(imeClosedHints(combo->lineEdit()));
    QTest::keyClick(combo, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.sheet().value(0, 4).toString(), QString::fromUtf8("山田商店"));

    // Off in every other column, also for the editor opened there; on again in the payee column.
    EXPECT_EQ(f.grid()->currentColumn(), 5);
    EXPECT_TRUE(imeClosedHints(f.grid()));
    QTest::keyClick(f.grid(), Qt::Key_F2);
    EXPECT_TRUE(imeClosedHints(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    f.grid()->setCurrentCell(1, 5);
    EXPECT_TRUE(imeClosedHints(f.grid()));
    f.grid()->setCurrentCell(1, 4);
    EXPECT_FALSE(imeClosedHints(f.grid()));
}

TEST(GridEditing, TheGridRemindsOfAMissingYearMonthAndHandsTheFocusBack)
{
    SheetFixture f;
    f.start(QDate(2005, 3, 1));
    f.grid()->setFocus();
    EXPECT_TRUE(f.presenter.shown().empty());
    f.monthField()->setFocus();
    f.monthField()->setFromText("");
    f.grid()->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(f.presenter.shown().size(), 1u);
    EXPECT_EQ(f.presenter.shown()[0].title, QString::fromUtf8("年月を指定してください。"));
    EXPECT_EQ(f.presenter.shown()[0].text, QString::fromUtf8("年月を指定してください。"));
    EXPECT_EQ(f.presenter.shown()[0].kind, messages::BoxKind::Inform);
    EXPECT_EQ(QApplication::focusWidget(), f.monthField());
}

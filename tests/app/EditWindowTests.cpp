#include "MainWindowHarness.h"

#include "AmountField.h"
#include "CashFlowModel.h"
#include "GridEditing.h"
#include "GridView.h"
#include "InputMethodSwitch.h"
#include "SheetColumns.h"
#include "Msg.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace schedule;
using messages::findMessage;
using seed::StoredLine;

namespace {

QString title(messages::MsgId id)
{
    return findMessage(id).title;
}

} // namespace

TEST(EditWindow, CellsFollowTheRulesOfTheirColumnsAndAmountsMoveTotalsAndBalancesAtOnce)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0); // typed names stay out of the master
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    EXPECT_FALSE(w.find<AmountField>("num繰越額")->isReadOnly());
    for (const char* name : {"num予定額月計", "num支払額月計", "num累計"})
        EXPECT_TRUE(w.find<AmountField>(name)->isReadOnly()) << name;

    // A day gives a date of the shown month, shown as two digits; a day past its end gives
    // none and is named at once.
    w.type(0, kCol表示日付, "30");
    w.type(2, kCol表示日付, "7");
    EXPECT_EQ(w.sheet().value(0, kCol日付).toString(), "2005-04-30");
    EXPECT_EQ(w.cell(2, kCol表示日付), "07");
    w.type(1, kCol表示日付, "31");
    EXPECT_TRUE(w.sheet().value(1, kCol日付).isNull());
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, findMessage(messages::MsgId::入力_日付不正, "「31」").text);
    w.presenter.clear();

    // Balances follow the carry-over and every amount at once, on the lines the save will
    // store (a date and a payee); the others show none.
    w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(5000));
    w.type(0, kCol予定額, "10,000");
    EXPECT_EQ(w.lines(1), "30  ");
    w.type(1, kCol支払額, "３，０００"); // full-width
    w.type(0, kCol支払先名, "ABC");
    w.commitThroughInputMethod(1, kCol支払先名, "山田商店");
    EXPECT_EQ(w.lines(2), "30 ABC 15,000 /  山田商店 ");
    EXPECT_EQ(w.figures(), "5,000 | 10,000 | 3,000 | ");
    w.type(1, kCol表示日付, "1");
    EXPECT_EQ(w.lines(2), "30 ABC 12,000 / 01 山田商店 2,000");

    // A key no amount can hold is refused at once and named; the rest of the typing lands.
    w.presenter.clear();
    w.type(3, kCol予定額, "1a2");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, findMessage(messages::MsgId::入力_数字のみ, "金額").text);
    EXPECT_EQ(w.cell(3, kCol予定額), "12");
    w.type(3, kCol予定額, "");
    // An amount past the largest is refused by name; the cell keeps its value.
    w.presenter.clear();
    w.type(3, kCol予定額, "99999999999999999");
    QCoreApplication::processEvents();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, findMessage(messages::MsgId::入力_桁あふれ, "「99999999999999999」").text);
    EXPECT_EQ(w.cell(3, kCol予定額), "");
    w.presenter.clear();

    // Delete on a selected block empties it as typing it empty would: amounts become 0.
    w.type(4, kCol予定額, "500");
    w.type(5, kCol予定額, "700");
    w.grid()->setCurrentCell(4, kCol予定額);
    w.grid()->selectionModel()->select(QItemSelection(w.sheet().index(4, kCol予定額), w.sheet().index(5, kCol予定額)), QItemSelectionModel::Select);
    QTest::keyClick(w.grid(), Qt::Key_Delete);
    EXPECT_EQ(w.sheet().value(4, kCol予定額), QVariant(qlonglong(0)));
    EXPECT_EQ(w.sheet().value(5, kCol予定額), QVariant(qlonglong(0)));
    EXPECT_EQ(w.figures(), "5,000 | 10,000 | 3,000 | ");
    // The emptied block stays selected, the current cell where it was.
    EXPECT_EQ(w.grid()->selectionModel()->selectedIndexes().size(), 2);
    EXPECT_TRUE(w.grid()->selectionModel()->isSelected(w.sheet().index(4, kCol予定額)));
    EXPECT_TRUE(w.grid()->selectionModel()->isSelected(w.sheet().index(5, kCol予定額)));
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(4, kCol予定額));

    // An emptied amount is the number 0 and recomputes; the balance cannot be typed.
    w.type(0, kCol予定額, "");
    EXPECT_EQ(w.sheet().value(0, kCol予定額), QVariant(qlonglong(0)));
    EXPECT_EQ(w.figures(), "5,000 |  | 3,000 | ");
    EXPECT_EQ(w.cell(0, kCol残高), "2,000");
    EXPECT_FALSE(w.sheet().flags(w.sheet().index(0, kCol残高)) & Qt::ItemIsEditable);
    // A typed carry-over moves every balance at once.
    w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(6000));
    EXPECT_EQ(w.lines(2), "30 ABC 3,000 / 01 山田商店 3,000");
    EXPECT_TRUE(w.storedPayees().isEmpty());

    // Enter in the balance column: next line's day cell, staying on the last line;
    // elsewhere Enter commits and moves down, Shift+Enter up.
    w.grid()->setCurrentCell(8, kCol残高);
    QTest::keyClick(w.grid(), Qt::Key_Return);
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(9, kCol表示日付));
    w.grid()->setCurrentCell(kSheetLines - 1, kCol残高);
    QTest::keyClick(w.grid(), Qt::Key_Return);
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(kSheetLines - 1, kCol表示日付));
    w.grid()->setCurrentCell(8, kCol残高);
    QTest::keyClick(w.grid(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(7, kCol残高));
    w.grid()->setCurrentCell(6, kCol予定額);
    QTest::keyClick(w.grid(), Qt::Key_Enter);
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(7, kCol予定額));
    QTest::keyClick(w.grid(), Qt::Key_4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(6, kCol予定額));
    EXPECT_EQ(w.sheet().value(7, kCol予定額), QVariant(qlonglong(400000)));

    // The input method: on in the payee column only, for the grid and its editors.
    w.grid()->setCurrentCell(7, kCol支払先名);
    EXPECT_FALSE(imeClosedHints(w.grid()));
    w.grid()->setCurrentCell(7, kCol予定額);
    QTest::keyClick(w.grid(), Qt::Key_F2);
    EXPECT_TRUE(imeClosedHints(w.grid()));
    EXPECT_TRUE(imeClosedHints(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // Without a year-month the grid reminds and hands the focus back.
    EXPECT_TRUE(w.presenter.shown().empty());
    w.yearMonth()->setFromText("");
    w.yearMonth()->setFocus();
    w.grid()->setFocus();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "年月を指定してください。");
    EXPECT_EQ(QApplication::focusWidget(), w.yearMonth());
}

TEST(EditWindow, RegisterLineDeleteLineInsertAndDeleteEverythingRunFromTheirButtons)
{
    MainWindowHarness w;
    seed::storeLines(w.dir(), {StoredLine{QDate(2005, 2, 20), 1, "二月", 5000, 0, 5000}, StoredLine{QDate(2005, 4, 10), 1, "四月", 0, 1000, 0},
                                  StoredLine{QDate(2005, 5, 1), 1, "五月", 200, 0, 0}});
    ASSERT_TRUE(w.startOn(QDate(2005, 3, 1)));
    ASSERT_TRUE(w.show());
    w.type(0, kCol表示日付, "5");
    w.type(0, kCol支払先名, "山田商店");
    w.type(0, kCol予定額, "10,000");
    w.type(1, kCol表示日付, "31");
    w.type(1, kCol支払先名, "O'Brien");
    w.type(1, kCol予定額, "3000", Qt::Key_unknown); // still being edited when registering
    EXPECT_TRUE(w.presenter.shown().empty());

    // 登録 asks (No stores nothing); Yes takes the open edit, stores the lines and the
    // names, and the later months follow.
    w.click("cmd登録", false);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, title(messages::MsgId::登録_確認));
    EXPECT_EQ(w.storedLines(), "02-20 #1 二月 5000 / 04-10 #1 四月 0 / 05-01 #1 五月 0");
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedLines(), "02-20 #1 二月 5000 / 03-05 #1 山田商店 15000 / 03-31 #2 O'Brien 18000 / 04-10 #1 四月 17000 / 05-01 #1 五月 17200");
    EXPECT_EQ(w.storedPayees(), (QStringList{"山田商店", "O'Brien"}));
    w.click("cmd読込");
    EXPECT_EQ(w.lines(3), "05 山田商店 15,000 / 31 O'Brien 18,000 /   ");
    EXPECT_EQ(w.figures(), "5,000 | 13,000 |  | 17,200");

    // 行挿入 opens a blank line above the current one; 行削除 asks (default No), and
    // deleting a stored line repairs the later months at once.
    w.grid()->setCurrentCell(0, kCol支払先名);
    w.click("cmd行挿入");
    EXPECT_EQ(w.lines(3), "   / 05 山田商店 15,000 / 31 O'Brien 18,000");
    w.click("cmd行削除", true);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].kind, messages::BoxKind::AskDefaultNo);
    // The inserted line was never registered: the question does not speak of the book.
    EXPECT_EQ(w.presenter.shown()[0].text, findMessage(messages::MsgId::削除_未登録行確認, "日付なし　支払先なし　予定額 0　支払額 0").text);
    w.grid()->setCurrentCell(0, kCol支払先名);
    w.click("cmd行削除", true);
    // The stored line's question says that it leaves the book at once.
    ASSERT_FALSE(w.presenter.shown().empty());
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("登録済みの支払予定表からもすぐに削除されます")) << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(w.lines(1), "31 O'Brien 8,000");
    EXPECT_EQ(w.figures(), "5,000 | 3,000 |  | 7,200");
    EXPECT_EQ(w.storedLines(), "02-20 #1 二月 5000 / 03-31 #2 O'Brien 8000 / 04-10 #1 四月 7000 / 05-01 #1 五月 7200");
    // The cash-flow page shows the book as it is each time it opens on the same months.
    w.showPage(MainWindowHarness::CashFlow);
    auto* overview = w.window().findChild<QTableView*>("Grid資金繰り");
    EXPECT_EQ(overview->model()->index(2, cashflow::CashFlowModel::Closing).data().toString(), QStringLiteral("7,200"));
    w.showPage(MainWindowHarness::Schedule);
    // Ctrl+Z brings the stored line back to the sheet and to the book.
    QTest::keyClick(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.lines(2), "05 山田商店 15,000 / 31 O'Brien 18,000");
    EXPECT_EQ(w.storedLines(), "02-20 #1 二月 5000 / 03-05 #1 山田商店 15000 / 03-31 #2 O'Brien 18000 / 04-10 #1 四月 17000 / 05-01 #1 五月 17200");
    w.showPage(MainWindowHarness::CashFlow);
    EXPECT_EQ(overview->model()->index(2, cashflow::CashFlowModel::Closing).data().toString(), QStringLiteral("17,200"));
    w.showPage(MainWindowHarness::Schedule);

    // Delete everything: No does nothing; Yes empties lines and payees, and the page shows
    // the emptied month at once, so that registering it stores nothing again.
    w.click("cmd一括削除7", false);
    EXPECT_EQ(w.presenter.shown().back().text, findMessage(messages::MsgId::削除_確認, QString()).text);
    EXPECT_FALSE(w.storedLines().isEmpty());
    w.click("cmd一括削除7", true);
    EXPECT_EQ(w.storedLines(), "");
    EXPECT_TRUE(w.storedPayees().isEmpty());
    EXPECT_TRUE(w.cell(0, kCol支払先名).isEmpty());
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedLines(), "");
}

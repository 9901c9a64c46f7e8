// The faults a new user met in the book's figures, replayed through the main window as
// they were found: what the screen shows and what the files hold must agree.

#include "MainWindowHarness.h"

#include "AmountField.h"
#include "CashFlowModel.h"
#include "GridView.h"
#include "Msg.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace schedule;
using seed::StoredLine;

namespace {

// January 2026 as the first month of a book: 繰越額 500000, day 1 A 予定額 100000, day 2
// B 支払額 30000, registered.
void firstMonth(MainWindowHarness& w)
{
    ASSERT_TRUE(w.startOn(QDate(2026, 1, 1)));
    w.presenter.setDefaultAnswer(true);
    w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(500000));
    w.put(0, kCol表示日付, "1");
    w.put(0, kCol支払先名, "A");
    w.put(0, kCol予定額, "100000");
    w.put(1, kCol表示日付, "2");
    w.put(1, kCol支払先名, "B");
    w.put(1, kCol支払額, "30000");
    w.click("cmd登録", true);
}

} // namespace

TEST(LedgerFaults, ATypedCarryOverIsKeptShownAgainAndHonouredByTheNextEdit)
{
    MainWindowHarness w;
    firstMonth(w);
    EXPECT_EQ(w.storedLines(), "01-01 #1 A 600000 / 01-02 #2 B 570000");
    w.click("cmdMonNext", true);
    w.put(0, kCol表示日付, "5");
    w.put(0, kCol支払先名, "C");
    w.put(0, kCol予定額, "10");
    w.click("cmd登録", true);
    w.click("cmdMonBef", true);
    EXPECT_EQ(w.figures(), "500,000 | 100,000 | 30,000 | 570,010");

    w.put(0, kCol予定額, "100001");
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedLines(), "01-01 #1 A 600001 / 01-02 #2 B 570001 / 02-05 #1 C 570011");
}

TEST(LedgerFaults, ACarryOverTypedOnALaterMonthIsShownWhenItIsReopenedAndTypingTheBroughtInBalanceRemovesIt)
{
    MainWindowHarness w;
    firstMonth(w);
    w.click("cmdMonNext", true);
    w.put(0, kCol表示日付, "3");
    w.put(0, kCol支払先名, "D");
    w.put(0, kCol予定額, "1");
    w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(700000));
    w.click("cmd登録", true);
    w.click("cmdMonBef", true);
    w.click("cmdMonNext", true);
    EXPECT_EQ(w.figures().section(" | ", 0, 0), "700,000");
    EXPECT_TRUE(w.find<AmountField>("num繰越額")->toolTip().contains("570,000")) << "the balance the lines before bring is named";
    w.put(0, kCol予定額, "2");
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedLines(), "01-01 #1 A 600000 / 01-02 #2 B 570000 / 02-03 #1 D 700002");

    w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(570000));
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedLines(), "01-01 #1 A 600000 / 01-02 #2 B 570000 / 02-03 #1 D 570002");
    EXPECT_TRUE(w.find<AmountField>("num繰越額")->toolTip().isEmpty());
}

TEST(LedgerFaults, TheCashFlowPageAgreesWithItselfAndTheSheetFromTheFirstMonthOn)
{
    MainWindowHarness w;
    firstMonth(w);
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::CashFlow);
    auto* grid = w.find<QTableView>("Grid資金繰り");
    const auto shown = [&](int column) { return grid->model()->index(0, column).data().toString(); };
    EXPECT_EQ(shown(cashflow::CashFlowModel::Carry), "500,000");
    EXPECT_EQ(shown(cashflow::CashFlowModel::Closing), "570,000");
    EXPECT_EQ(shown(cashflow::CashFlowModel::Lowest), "500,000") << "the lowest balance starts from the month's carry-over";
}

TEST(LedgerFaults, AFractionOfAYenTypedOrPastedIsRefusedAndNamed)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2026, 1, 1)));
    ASSERT_TRUE(w.show());
    w.presenter.clear();
    w.type(0, kCol予定額, "1.5");
    QCoreApplication::processEvents();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::入力_端数, "「1.5」").text);
    EXPECT_EQ(w.cell(0, kCol予定額), "");

    w.presenter.clear();
    QGuiApplication::clipboard()->setText("2.5");
    w.grid()->setCurrentCell(1, kCol支払額);
    QTest::keyClick(w.grid(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("支払額「2.5」")) << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(w.cell(1, kCol支払額), "");
}

TEST(LedgerFaults, ClearThenRegisterAsksAboutTheMonthsStoredLinesAndTheSheetShowsWhatTheMonthHolds)
{
    MainWindowHarness w;
    const QDate today = QDate::currentDate();
    std::vector<StoredLine> five;
    for (int n = 1; n <= 5; ++n)
        five.push_back(StoredLine{QDate(today.year(), today.month(), 1), n, QStringLiteral("旧%1").arg(n), n, 0, n * (n + 1) / 2});
    seed::storeLines(w.dir(), five);
    ASSERT_TRUE(w.start());
    w.click("cmd履歴クリア", false);
    w.put(0, kCol表示日付, "1");
    w.put(0, kCol支払先名, "新");
    w.presenter.clear();
    w.presenter.pushAnswer(true); // 登録の確認
    w.presenter.pushAnswer(true); // the month's other lines stay
    w.click("cmd登録");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].text, messages::findMessage(messages::MsgId::登録_画面外の行, "5").text);
    EXPECT_EQ(w.lines(7).count("旧"), 5);
    EXPECT_EQ(w.cell(5, kCol支払先名), "新");
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT count(DISTINCT 行番号) FROM 支払予定表").toInt(), 6) << "no two lines of a day share a number";

    w.click("cmd履歴クリア", false);
    w.put(0, kCol表示日付, "2");
    w.put(0, kCol支払先名, "だけ");
    w.presenter.clear();
    w.presenter.pushAnswer(true);  // 登録の確認
    w.presenter.pushAnswer(false); // the other lines go ...
    w.presenter.pushAnswer(true);  // ... after a backup
    w.click("cmd登録");
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT count(*) FROM 支払予定表").toInt(), 1);
    EXPECT_EQ(w.cell(0, kCol支払先名), "だけ");
    EXPECT_TRUE(w.cell(1, kCol支払先名).isEmpty());
}

TEST(LedgerFaults, NamesOfADiscardedSheetNeverReachThePayeeMaster)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 1, 0);
    ASSERT_TRUE(w.startOn(QDate(2026, 1, 1)));
    QStringList block;
    for (int n = 0; n < 195; ++n)
        block << QStringLiteral("1\t捨てる名%1\t100").arg(n);
    QGuiApplication::clipboard()->setText(block.join("\n"));
    w.grid()->setCurrentCell(0, kCol表示日付);
    QTest::keyClick(w.grid(), Qt::Key_V, Qt::ControlModifier);
    w.put(195, kCol支払先名, "打った名");
    EXPECT_TRUE(w.storedPayees().isEmpty());
    w.presenter.clear();
    w.presenter.pushAnswer(false); // いいえ: the changes are dropped
    w.click("cmdMonNext");
    EXPECT_TRUE(w.storedPayees().isEmpty());
    // Registered, the names on the sheet join the master.
    w.put(0, kCol表示日付, "1");
    w.put(0, kCol支払先名, "残す名");
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedPayees(), QStringList{"残す名"});
}

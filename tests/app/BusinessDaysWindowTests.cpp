// Bank business days on the real window: the weekday column beside the day, the holiday
// named in the status line, 前月複写 by the payees' payment rules, the move to a business
// day from the keys and the grid's menu, the payee page's rule, the settings page's choice
// and the cash-flow page's mark.
#include "CashFlowModel.h"
#include "GridView.h"
#include "Holidays.h"
#include "MainWindowHarness.h"
#include "PayeeImportCommand.h"
#include "PaymentRules.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace schedule;
using calendar::HolidayShift;

namespace {

QString status(MainWindowHarness& w)
{
    return w.find<QLabel>("lblStatus")->text();
}

// "日 曜 支払先" of the first `count` lines, joined by " / ".
std::string weekdays(MainWindowHarness& w, int count)
{
    QStringList shown;
    for (int row = 0; row < count; ++row)
        shown << QStringList{w.cell(row, kCol表示日付), w.cell(row, kCol曜日), w.cell(row, kCol支払先名)}.join(' ');
    return shown.join(QStringLiteral(" / ")).toStdString();
}

void storeRule(MainWindowHarness& w, const QString& payee, const ledger::PaymentRule& rule)
{
    store::Transaction tx(w.mainDb());
    ledger::writePaymentRule(w.mainDb(), payee, rule);
    tx.commit();
}

} // namespace

TEST(BusinessDaysWindow, TheWeekdayStandsBesideTheDayTabPassesOverItAndAHolidayIsNamedInTheStatusLine)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    ASSERT_TRUE(w.startOn(QDate(2026, 5, 1)));
    ASSERT_TRUE(w.show());
    GridView* grid = w.grid();
    const QHeaderView* header = grid->horizontalHeader();
    EXPECT_EQ(header->visualIndex(kCol曜日), header->visualIndex(kCol表示日付) + 1);
    EXPECT_FALSE(grid->isColumnHidden(kCol曜日));
    EXPECT_EQ(w.sheet().headerData(kCol曜日, Qt::Horizontal).toString(), "曜");

    // A typed day shows its weekday at once; Tab goes from the day on to the payee.
    w.type(0, kCol表示日付, "6", Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(0, kCol支払先名));
    w.type(0, kCol支払先名, "電気", Qt::Key_Return);
    w.type(1, kCol表示日付, "7", Qt::Key_Tab);
    EXPECT_EQ(weekdays(w, 2), "06 水 電気 / 07 木 ");
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(1, kCol表示日付)) << "Shift+Tab passes over it too";
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(1, kCol支払先名)) << "and so do the arrows";
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(1, kCol表示日付));
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(1, kCol表示日付)) << "the first column is the edge";

    // The cursor on a line on a bank holiday names it in the status line; no box is shown.
    w.presenter.clear();
    grid->setCurrentCell(0, kCol予定額);
    EXPECT_EQ(status(w).toStdString(), "1行目の 2026/05/06（水・振替休日） は銀行の休業日です。Ctrl+Shift+← で前営業日へ、Ctrl+Shift+→ で翌営業日へ移せます。");
    EXPECT_TRUE(w.presenter.shown().empty());
    // On an ordinary day the holiday is no longer named.
    grid->setCurrentCell(1, kCol予定額);
    EXPECT_FALSE(status(w).contains("休業日")) << status(w).toStdString();

    // Copied without the weekday, a block pastes back into the same columns; a value pasted
    // onto the weekday is refused as computed.
    grid->setCurrentCell(0, kCol表示日付);
    grid->selectionModel()->select(QItemSelection(w.sheet().index(0, kCol表示日付), w.sheet().index(0, kCol支払先名)), QItemSelectionModel::ClearAndSelect);
    grid->selectionModel()->select(QItemSelection(w.sheet().index(0, kCol曜日), w.sheet().index(0, kCol曜日)), QItemSelectionModel::Select);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "06\t電気\n");
    grid->selectionModel()->clearSelection();
    grid->setCurrentCell(2, kCol表示日付);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(weekdays(w, 3), "06 水 電気 / 07 木  / 06 水 電気");
    QGuiApplication::clipboard()->setText("月\t水道");
    grid->selectionModel()->clearSelection();
    grid->setCurrentCell(3, kCol曜日);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.cell(3, kCol支払先名), "水道");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("計算される欄です")) << w.presenter.shown()[0].text.toStdString();

    // Leaving a holiday drops only the holiday's message: what a command said stays.
    grid->setCurrentCell(2, kCol予定額);
    EXPECT_TRUE(status(w).contains("3行目の 2026/05/06")) << status(w).toStdString();
    QTest::keyClick(grid, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    const QString moved = status(w);
    EXPECT_TRUE(moved.startsWith("前営業日へ")) << moved.toStdString();
    grid->setCurrentCell(1, kCol予定額);
    EXPECT_EQ(status(w), moved);
}

TEST(BusinessDaysWindow, RepeatingLastMonthAcrossGoldenWeekFollowsThePayeesRulesAndUndoesAsOneStep)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    seed::storeLines(w.dir(), {{QDate(2026, 4, 6), 1, "電気", 100, 0, 100}, {QDate(2026, 4, 10), 2, "通信", 200, 0, 300},
                                  {QDate(2026, 4, 24), 3, "家賃", 300, 0, 600}, {QDate(2026, 4, 15), 4, "保険", 50, 0, 650}});
    ASSERT_TRUE(w.startOn(QDate(2026, 5, 1)));
    ASSERT_TRUE(w.show());
    storeRule(w, "電気", {std::nullopt, HolidayShift::翌営業日});
    storeRule(w, "家賃", {ledger::kMonthEnd, std::nullopt});

    w.click("cmd前月複写");
    // 5/6 (振替休日) goes on to 5/7 by its rule, 5/10 (Sun) back to 5/8 by the book's
    // setting, 末日 5/31 (Sun) back to 5/29; 5/15 is a business day.
    EXPECT_EQ(weekdays(w, 4), "07 木 電気 / 08 金 通信 / 15 金 保険 / 29 金 家賃");
    EXPECT_EQ(status(w).toStdString(), "前月複写で休業日の日付を移しました：1行目 6日→7日「電気」、2行目 10日→8日「通信」、4行目 31日→29日「家賃」");
    EXPECT_TRUE(w.presenter.shown().empty());
    w.grid()->setFocus();
    QTest::keyClick(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(weekdays(w, 1), "  ") << "the whole copy is one step";
    EXPECT_FALSE(w.window().windowTitle().contains('*'));
}

TEST(BusinessDaysWindow, CtrlShiftArrowsAndTheMenuMoveTheSelectedLinesOffBankHolidaysUndoably)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    ASSERT_TRUE(w.startOn(QDate(2026, 5, 1)));
    ASSERT_TRUE(w.show());
    GridView* grid = w.grid();
    for (const auto& [row, day, payee] : std::vector<std::tuple<int, const char*, const char*>>{{0, "3", "手形"}, {1, "7", "電気"}, {2, "31", "家賃"}}) {
        ASSERT_TRUE(w.put(row, kCol表示日付, day));
        ASSERT_TRUE(w.put(row, kCol支払先名, payee));
    }
    grid->setFocus();
    grid->setCurrentCell(0, kCol支払先名);
    grid->selectionModel()->select(QItemSelection(w.sheet().index(0, kCol支払先名), w.sheet().index(2, kCol支払先名)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(weekdays(w, 3), "07 木 手形 / 07 木 電気 / 31 日 家賃");
    EXPECT_EQ(status(w).toStdString(), "翌営業日へ移しました：1行目 3日→7日「手形」　月内に営業日がなくそのまま：3行目 31日「家賃」");
    EXPECT_EQ(grid->selectedCells().size(), 3) << "the lines stay selected";

    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(weekdays(w, 1), "03 日 手形");

    // The grid's menu: 前営業日へ with its keys shown.
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        QAction* back = nullptr;
        for (QAction* entry : menu->actions())
            back = entry->objectName() == "act前営業日へ" ? entry : back;
        if (!back) {
            ADD_FAILURE() << "no 前営業日へ in the grid's menu";
            menu->close();
            return;
        }
        EXPECT_EQ(back->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left));
        back->trigger();
        menu->close();
    });
    emit grid->customContextMenuRequested(grid->visualRect(w.sheet().index(0, kCol支払先名)).center());
    EXPECT_EQ(weekdays(w, 3), "01 金 手形 / 07 木 電気 / 29 金 家賃");
    ASSERT_TRUE(w.show()) << "the window is active again after the menu";
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(weekdays(w, 3), "03 日 手形 / 07 木 電気 / 31 日 家賃");

    // Lines on business days only: nothing moves and the status line says so.
    grid->selectionModel()->select(QItemSelection(w.sheet().index(1, kCol支払先名), w.sheet().index(1, kCol支払先名)), QItemSelectionModel::ClearAndSelect);
    grid->setCurrentCell(1, kCol支払先名);
    QTest::keyClick(grid, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(status(w).toStdString(), "選んだ行に銀行の休業日にあたる日付はありません。");
    EXPECT_TRUE(w.presenter.shown().empty());
}

TEST(BusinessDaysWindow, ThePayeePageShowsAndStoresTheCurrentPayeesRuleWhichLeavesWithThePayee)
{
    MainWindowHarness w;
    seed::storePayees(w.dir(), {"電気", "家賃"});
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::Payees);
    w.click("cmd支払先読込");
    auto* grid = w.find<GridView>("Grid支払先マスタ");
    auto* day = w.find<QComboBox>("cmb支払日");
    auto* shift = w.find<QComboBox>("cmb休日");
    const int electric = w.column("Grid支払先マスタ", 1).indexOf("電気");
    ASSERT_GE(electric, 0);
    EXPECT_FALSE(day->isEnabled()) << "no line chosen yet";

    grid->setCurrentCell(electric, 1);
    EXPECT_EQ(w.find<QLabel>("lbl支払日支払先")->text(), "「電気」の支払日");
    ASSERT_TRUE(day->isEnabled());
    EXPECT_EQ(day->currentText(), "指定なし（前月の日）");
    const auto choose = [](QComboBox* box, const QString& text) {
        box->setCurrentIndex(box->findText(text));
        emit box->activated(box->currentIndex());
    };
    choose(day, "末日");
    choose(shift, "翌営業日");
    EXPECT_EQ(ledger::readPaymentRules(w.mainDb()).at("電気"), (ledger::PaymentRule{ledger::kMonthEnd, HolidayShift::翌営業日}));
    EXPECT_EQ(status(w).toStdString(), "「電気」の支払日を 末日、休業日は 翌営業日 にしました。前月複写から使われます。");

    // Another line shows its own rule; coming back shows the stored one.
    grid->setCurrentCell(1 - electric, 1);
    EXPECT_EQ(day->currentText(), "指定なし（前月の日）");
    grid->setCurrentCell(electric, 1);
    EXPECT_EQ(QStringList({day->currentText(), shift->currentText()}).join(' '), "末日 翌営業日");
    choose(shift, "設定に従う");
    EXPECT_EQ(ledger::readPaymentRules(w.mainDb()).at("電気"), (ledger::PaymentRule{ledger::kMonthEnd, std::nullopt}));

    // A name not registered yet cannot have a rule; a payee removed and registered loses it.
    w.typeInto("Grid支払先マスタ", 2, 1, "新規", Qt::Key_Return);
    grid->setCurrentCell(2, 1);
    EXPECT_FALSE(day->isEnabled());
    EXPECT_EQ(w.find<QLabel>("lbl支払日支払先")->text(), "「新規」は登録してから支払日を指定できます。");
    w.keyOn("Grid支払先マスタ", electric, 1, Qt::Key_Delete);
    w.click("cmd支払先登録", true);
    EXPECT_TRUE(ledger::readPaymentRules(w.mainDb()).empty());
    EXPECT_EQ(w.storedPayees().size(), 2);
}

TEST(BusinessDaysWindow, TheSettingsPageKeepsTheBooksChoiceForBankHolidays)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::Settings);
    auto* choice = w.find<QComboBox>("cmb休日既定");
    EXPECT_EQ(choice->currentText().toStdString(), "前営業日");
    choice->setCurrentIndex(choice->findText("翌営業日"));
    w.click("cmd設定登録", false);
    EXPECT_EQ(ledger::readDefaultShift(w.mainDb()), HolidayShift::前営業日) << "いいえ stores nothing";
    EXPECT_EQ(choice->currentText(), "前営業日") << "and the page shows what is stored";
    choice->setCurrentIndex(choice->findText("翌営業日"));
    w.click("cmd設定登録", true);
    EXPECT_EQ(ledger::readDefaultShift(w.mainDb()), HolidayShift::翌営業日);
    choice->setCurrentIndex(choice->findText("そのまま"));
    w.click("cmd設定読込");
    EXPECT_EQ(choice->currentText(), "翌営業日");
    w.click("cmd設定削除", true);
    EXPECT_EQ(choice->currentText().toStdString(), "前営業日");
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT count(*) FROM 支払日設定").toInt(), 0);

    // Deleting everything takes the rules and the setting with it.
    choice->setCurrentIndex(choice->findText("そのまま"));
    w.click("cmd設定登録", true);
    storeRule(w, "電気", {25, std::nullopt});
    w.click("cmd一括削除7", true);
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT (SELECT count(*) FROM 支払日設定) + (SELECT count(*) FROM 支払日規則)").toInt(), 0);
}

TEST(BusinessDaysWindow, TheCashFlowPageMarksMonthsWithPaymentsDueOnBankHolidays)
{
    MainWindowHarness w;
    seed::storeLines(w.dir(), {{QDate(2026, 4, 30), 1, "家賃", 100, 0, 100}, {QDate(2026, 5, 6), 1, "電気", 200, 0, 300},
                                  {QDate(2026, 5, 6), 2, "ガス", 50, 0, 350}, {QDate(2026, 5, 10), 3, "支払済", 0, 40, 310}});
    ASSERT_TRUE(w.startOn(QDate(2026, 4, 1)));
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::CashFlow);
    auto* table = w.find<QTableView>("Grid資金繰り");
    const QAbstractItemModel* model = table->model();
    EXPECT_FALSE(model->data(model->index(0, cashflow::CashFlowModel::Month), Qt::DecorationRole).isValid()) << "4/30 is a Thursday";
    EXPECT_TRUE(model->data(model->index(1, cashflow::CashFlowModel::Month), Qt::DecorationRole).isValid());
    EXPECT_EQ(model->data(model->index(1, cashflow::CashFlowModel::Month), Qt::ToolTipRole).toString().toStdString(),
        "支払予定のうち 2 件が銀行の休業日です：6日（水・振替休日） 2件") << "a line with nothing scheduled is no scheduled payment";
}

TEST(BusinessDaysWindow, APayeeListsRuleColumnsAreImportedWithItsNames)
{
    MainWindowHarness w;
    seed::storePayees(w.dir(), {"電気"});
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::Payees);
    const QString path = w.dir().filePath("payees.csv");
    {
        QFile list(path);
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(QStringLiteral("支払先名,支払日,休日\r\n電気,25,翌営業日\r\n家賃,末日,\r\n").toUtf8());
    }
    w.window().payeeImportCommand().askFile = [&](QWidget*) { return std::pair{path, exchange::TextEncoding::Detect}; };
    w.presenter.pushAnswer(true);
    w.click("cmd支払先取込");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[0].text.toStdString(), "次の支払先を追加します。よろしいですか\n\n家賃\n\n登録済みの 1 件は追加しません。\n\n支払日の指定 2 件も登録します（登録済みの支払先の指定は置き換えます）。");
    EXPECT_EQ(w.presenter.shown()[1].text.toStdString(), "支払先 1 件を追加し、支払日の指定 2 件を登録しました。");
    const ledger::PaymentRules rules = ledger::readPaymentRules(w.mainDb());
    EXPECT_EQ(rules.at("電気"), (ledger::PaymentRule{25, HolidayShift::翌営業日}));
    EXPECT_EQ(rules.at("家賃"), (ledger::PaymentRule{ledger::kMonthEnd, std::nullopt}));

    // A list with a day no month has imports nothing and names it.
    {
        QFile list(path);
        ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
        list.write(QStringLiteral("支払先名,支払日\r\n水道,32\r\n").toUtf8());
    }
    w.presenter.clear();
    w.click("cmd支払先取込");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.endsWith("「水道」の支払日「32」")) << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(w.storedPayees(), (QStringList{"電気", "家賃"}));
}

#include "AmountField.h"
#include "MainWindow.h"
#include "GridEditing.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "SheetColumns.h"
#include "Msg.h"
#include "Session.h"
#include "Sql.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QRegularExpression>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace schedule;

namespace {

std::vector<QPushButton*> buttonsTopToBottom(QWidget* page, const QStringList& names)
{
    std::vector<QPushButton*> buttons;
    for (const QString& name : names) {
        auto* button = page->findChild<QPushButton*>(name);
        EXPECT_NE(button, nullptr) << name.toStdString();
        if (button)
            buttons.push_back(button);
    }
    return buttons;
}

void expectStacked(const std::vector<QPushButton*>& buttons)
{
    for (size_t i = 1; i < buttons.size(); ++i) {
        const QPoint above = buttons[i - 1]->mapTo(buttons[i]->window(), QPoint(0, 0));
        const QPoint below = buttons[i]->mapTo(buttons[i]->window(), QPoint(0, 0));
        EXPECT_LT(above.y(), below.y()) << buttons[i - 1]->objectName().toStdString() << " above " << buttons[i]->objectName().toStdString();
    }
}

} // namespace

TEST(Startup, OpensTheMainWindowWithItsPagesControlsAndGridColumns)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.outcome().exitCode, 0);
    EXPECT_TRUE(w.presenter.shown().empty());
    ASSERT_TRUE(w.show());
    MainWindow& window = w.window();

    EXPECT_TRUE(window.windowTitle().startsWith("支払予定表 Ver "));
    const QString version = window.windowTitle().mid(QStringLiteral("支払予定表 Ver ").size());
    EXPECT_TRUE(QRegularExpression("^[0-9.]+$").match(version).hasMatch()) << version.toStdString();

    auto* tabs = window.findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), "     支 払 予 定     ");
    EXPECT_EQ(tabs->tabText(1), " 支払先保守 ");
    EXPECT_EQ(tabs->tabText(2), " 設定・情報 ");
    EXPECT_EQ(tabs->tabText(3), " 資金繰り ");
    EXPECT_EQ(tabs->currentIndex(), 0);

    for (const char* name : {"cmdMonBef", "cmdMonNext", "Dt年月", "num繰越額", "num支払額月計", "num予定額月計", "num累計", "GridInp", "Pbar", "cmdHint", "Grid支払先マスタ", "cmdHint1", "Pic罫線色", "num白紙罫線色", "Chk支払先自動登録", "cmb年号", "cmdHint2", "cmd一括削除7", "Image2", "lblInfo", "lblSupport"})
        EXPECT_NE(window.findChild<QWidget*>(QString::fromUtf8(name)), nullptr) << name;
    for (const char* name : {"datInp", "dat支払先名", "dat支払先マスタ"})
        EXPECT_NE(window.findChild<QAbstractItemModel*>(QString::fromUtf8(name)), nullptr) << name;

    const auto scheduleButtons = buttonsTopToBottom(tabs->widget(0), {"cmd履歴閉じる", "cmd読込", "cmd登録", "Cmd印刷", "cmd行削除", "cmd行挿入", "cmd履歴クリア", "cmdHint"});
    QStringList captions;
    for (QPushButton* b : scheduleButtons)
        captions << b->text();
    EXPECT_EQ(captions, (QStringList{"閉じる", "読込", "登録", "印刷", "行削除", "行挿入", "クリア", ""}));
    expectStacked(scheduleButtons);
    tabs->setCurrentIndex(1);
    const auto payeeButtons = buttonsTopToBottom(tabs->widget(1), {"cmd支払先読込", "cmd支払先登録", "cmd支払先行削除", "cmd支払先クリア", "cmd支払先削除", "cmdHint1"});
    expectStacked(payeeButtons);
    tabs->setCurrentIndex(2);
    expectStacked(buttonsTopToBottom(tabs->widget(2), {"cmd設定読込", "cmd設定登録", "cmd設定クリア", "cmd設定削除"}));
    EXPECT_EQ(window.findChild<QPushButton*>("cmd一括削除7")->text(), "実行");
    tabs->setCurrentIndex(0);

    auto* lblInfo = window.findChild<QLabel*>("lblInfo");
    EXPECT_TRUE(lblInfo->text().startsWith(window.windowTitle() + " LastUpdate"));
    EXPECT_TRUE(QRegularExpression("LastUpdate[0-9]{4}/[0-9]{2}/[0-9]{2}").match(lblInfo->text()).hasMatch());
    EXPECT_TRUE(lblInfo->text().endsWith("\r\n"));
    EXPECT_EQ(window.findChild<QLabel*>("lblSupport")->text(), "質問は下のバナーをクリックしてTOVARKフリー掲示板へ");

    auto* grid = window.findChild<QTableView*>("GridInp");
    QAbstractItemModel* model = grid->model();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->rowCount(), kSheetLines);
    for (int hidden : {kCol行番号, kCol元行番号, kCol日付})
        EXPECT_TRUE(grid->isColumnHidden(hidden)) << hidden;
    // The weekday stands beside the day, in the room the payee column gives it.
    const QStringList headings = {"日付", "曜", "支払先名", "予定額", "支払額", "総　額"};
    const int shown[] = {kCol表示日付, kCol曜日, kCol支払先名, kCol予定額, kCol支払額, kCol残高};
    // The amount columns are as wide as the widest amount needs (GridView::amountColumnWidth).
    const int amountWidth = static_cast<GridView*>(grid)->amountColumnWidth();
    EXPECT_GT(amountWidth, 93);
    const int widths[] = {40, 27, 249, amountWidth, amountWidth, amountWidth};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(grid->isColumnHidden(shown[i]));
        EXPECT_EQ(model->headerData(shown[i], Qt::Horizontal).toString(), headings[i]);
        EXPECT_EQ(grid->columnWidth(shown[i]), widths[i]) << headings[i].toStdString();
        if (i > 0) {
            EXPECT_LT(grid->horizontalHeader()->visualIndex(shown[i - 1]), grid->horizontalHeader()->visualIndex(shown[i])) << headings[i].toStdString();
        }
    }
    EXPECT_TRUE(model->data(model->index(0, kCol表示日付), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHCenter);
    for (int amount : {kCol予定額, kCol支払額, kCol残高})
        EXPECT_TRUE(model->data(model->index(0, amount), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    // Blank lines hold 0 and show empty.
    EXPECT_EQ(model->data(model->index(0, kCol予定額)).toString(), "");

    auto* payeeGrid = window.findChild<QTableView*>("Grid支払先マスタ");
    EXPECT_GE(payeeGrid->columnWidth(0), 25); // wider only when its heading needs it
    EXPECT_EQ(payeeGrid->columnWidth(1), 366);

    auto* era = window.findChild<QComboBox*>("cmb年号");
    ASSERT_EQ(era->count(), 2);
    EXPECT_EQ(era->itemText(0), "西暦");
    EXPECT_EQ(era->itemText(1), "和暦");
    EXPECT_EQ(era->currentText(), "西暦");
    EXPECT_EQ(w.yearMonth()->width(), 104);
}

TEST(Startup, QtStandardButtonsSpeakJapanese)
{
    prepareApplication();
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "はい(&Y)");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "いいえ(&N)");
}

TEST(Startup, UnsavedEditsAreRegisteredOrDroppedOnlyAsTheUserAnswers)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    const QString title = w.window().windowTitle();
    const QString question = messages::findMessage(messages::MsgId::登録_未登録確認, "支払予定表").text;
    w.type(0, kCol表示日付, "5");
    w.type(0, kCol支払先名, "unsaved");
    EXPECT_EQ(w.window().windowTitle(), "* " + title);

    // キャンセル: the window stays, with the edit.
    w.presenter.clear();
    w.presenter.pushCancel();
    w.click("cmd履歴閉じる");
    EXPECT_TRUE(w.window().isVisible());
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, question);
    EXPECT_EQ(w.cell(0, kCol支払先名), "unsaved");

    // いいえ on a month step: the edit is dropped and the next month shown.
    w.presenter.pushAnswer(false);
    w.click("cmdMonNext");
    EXPECT_EQ(w.yearMonth()->date().month(), 5);
    EXPECT_EQ(w.window().windowTitle(), title);
    EXPECT_EQ(w.storedLines(), "");

    // はい on closing: the sheet is registered, then the window closes.
    w.type(0, kCol表示日付, "6");
    w.type(0, kCol支払先名, "kept");
    w.presenter.clear();
    w.presenter.pushAnswer(true);
    w.click("cmd履歴閉じる");
    EXPECT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_FALSE(w.window().isVisible());
    EXPECT_FALSE(w.session().isOpen());
    w.outcome().window.reset();
    SQLite::Database main(w.dir().mainPath().toStdString());
    EXPECT_TRUE(seed::storedLines(main).contains("kept"));
    MainWindowHarness again(w.dir());
    EXPECT_TRUE(again.start());
}

TEST(Startup, ClosingTheWindowWhileACellIsBeingEditedWritesNothingAndDoesNotCrash)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    w.type(0, kCol支払額, "5", Qt::Key_unknown);
    ASSERT_NE(QApplication::focusWidget(), static_cast<QWidget*>(w.grid())); // the cell editor is open
    w.close();
    EXPECT_FALSE(w.session().isOpen());
    w.outcome().window.reset();
    SQLite::Database work(w.dir().workPath().toStdString());
    EXPECT_EQ(store::scalar(work, "SELECT count(*) FROM InpWork WHERE 支払額 <> 0").toLongLong(), 0);
}

TEST(Startup, RestartResetsTheSheetWhateverThePreviousRunLeft)
{
    MainWindowHarness w;
    {
        SQLite::Database work(w.dir().workPath().toStdString(), SQLite::OPEN_READWRITE);
        work.exec("INSERT INTO InpWork (行番号, 支払先名) VALUES (1, 'left over'), (2, 'x')");
    }
    ASSERT_TRUE(w.start());
    auto& work = w.workDb();
    EXPECT_EQ(store::scalar(work, "SELECT count(*) FROM InpWork").toLongLong(), kSheetLines);
    EXPECT_EQ(store::scalar(work, "SELECT count(*) FROM InpWork WHERE 支払先名 IS NOT NULL").toLongLong(), 0);
    EXPECT_EQ(store::scalar(work, "SELECT group_concat(行番号) = group_concat(元行番号) FROM InpWork").toLongLong(), 1);
}

TEST(Startup, ASecondCopyOnTheSameDirectorySaysSoAndLeavesTheFilesAlone)
{
    MainWindowHarness first;
    ASSERT_TRUE(first.start());
    // The first copy's sheet holds an edit that a second start-up would wipe.
    store::exec(first.workDb(), "UPDATE InpWork SET 支払先名 = 'first' WHERE 行番号 = 1");
    const QByteArray workBefore = TempDataDir::readAll(first.dir().workPath());
    MainWindowHarness second(first.dir());
    EXPECT_FALSE(second.start());
    EXPECT_EQ(second.outcome().exitCode, 1);
    ASSERT_EQ(second.presenter.shown().size(), 1u);
    EXPECT_EQ(second.presenter.shown().front().title, messages::findMessage(messages::MsgId::その他_二重起動, QString()).title);
    EXPECT_TRUE(second.presenter.shown().front().text.contains(first.dir().path()));
    EXPECT_EQ(TempDataDir::readAll(first.dir().workPath()), workBefore);
}

TEST(Startup, ASheetARunLeftUnregisteredComesBackAtTheNextStartMarkedSo)
{
    TempDataDir dir;
    {
        MainWindowHarness first(dir);
        ASSERT_TRUE(first.startOn(QDate(2005, 3, 1)));
        first.put(0, kCol表示日付, "9");
        first.put(0, kCol支払先名, "未登録の行");
        first.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(321));
        first.window().closeWithoutQuestions(); // as at logout: no question, the draft stays
    }
    MainWindowHarness next(dir);
    ASSERT_TRUE(next.start());
    EXPECT_EQ(next.yearMonth()->date(), QDate(2005, 3, 1));
    EXPECT_EQ(next.cell(0, kCol支払先名), "未登録の行");
    EXPECT_EQ(next.figures().section(" | ", 0, 0), "321");
    EXPECT_TRUE(next.window().windowTitle().startsWith("* "));
    EXPECT_TRUE(next.storedLines().isEmpty()) << "nothing was registered";
}

// The month grid's spreadsheet habits on the real window: Tab across past the balance,
// arrows out of an editor at its edge, copy and paste of blocks through the clipboard,
// and Ctrl+Z / Ctrl+Y over typed values, pastes and 前月複写.
#include "GridView.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "SheetColumns.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace schedule;

TEST(SpreadsheetHabitsWindow, TabSkipsTheBalanceArrowsLeaveAnEditorAtItsEdgeAndBlocksCopyAndPaste)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 1, 0);
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    GridView* grid = w.grid();

    // Tab from 支払額 passes over the balance to the next line's day; Shift+Tab comes back.
    grid->setFocus();
    grid->setCurrentCell(0, kCol支払額);
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(1, kCol表示日付));
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(0, kCol支払額));

    // In an editor the left arrow moves the caret until it reaches the start, then leaves.
    w.type(0, kCol予定額, "12", Qt::Key_unknown);
    auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(line);
    QTest::keyClick(line, Qt::Key_Left);
    QTest::keyClick(line, Qt::Key_Left);
    EXPECT_TRUE(grid->isEditing());
    QTest::keyClick(line, Qt::Key_Left);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->currentIndex(), w.sheet().index(0, kCol支払先名));
    EXPECT_EQ(w.cell(0, kCol予定額), "12");

    // A spreadsheet's block pasted on line 2: values checked as typed, the refused named;
    // a date of the shown month gives its day.
    w.presenter.clear();
    QGuiApplication::clipboard()->setText("2005/04/05\t電気\t1,200\r\n40\t水道\tx\r\n");
    grid->setCurrentCell(1, kCol表示日付);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.cell(1, kCol予定額), "1,200");
    EXPECT_EQ(w.cell(2, kCol支払先名), "水道");
    EXPECT_TRUE(w.cell(2, kCol表示日付).isEmpty());
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text.count(u'\n'), 2) << w.presenter.shown()[0].text.toStdString();
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("3 行目 予定額「x」")) << w.presenter.shown()[0].text.toStdString();
    EXPECT_TRUE(w.storedPayees().isEmpty()) << "pasted names, like typed ones, join the master when the month is registered";

    // Copied back as the screen shows it, tab-separated.
    grid->setCurrentCell(1, kCol表示日付);
    grid->selectionModel()->select(QItemSelection(w.sheet().index(1, kCol表示日付), w.sheet().index(1, kCol予定額)), QItemSelectionModel::Select);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "05\t電気\t1,200\n");
}

TEST(SpreadsheetHabitsWindow, CtrlZAndCtrlYWalkTheSheetsEditsIncludingRepeatingLastMonth)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    seed::storeLines(w.dir(), {{QDate(2005, 3, 10), 1, "家賃", 800, 800, 0}});
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    GridView* grid = w.grid();

    // 2005/04/10 is a Sunday: the repeated line goes to the business day before it.
    w.click("cmd前月複写");
    w.type(1, kCol支払先名, "電気", Qt::Key_Return);
    EXPECT_EQ(w.lines(2).toStdString(), "08 家賃 800 /  電気 ");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.lines(2).toStdString(), "08 家賃 800 /   ");
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.lines(2).toStdString(), "   /   ");
    EXPECT_EQ(w.find<QLabel>("lblStatus")->text(), "支払予定表の入力を元に戻しました。");
    EXPECT_EQ(w.window().windowTitle().contains('*'), false) << "undone back to the loaded month";
    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.lines(2).toStdString(), "08 家賃 800 /  電気 ");
    EXPECT_TRUE(w.window().windowTitle().contains('*'));
    EXPECT_EQ(w.find<QLabel>("lblStatus")->text(), "支払予定表の入力をやり直しました。");
    // The next command retires that message: after a paste the line tells of the changes.
    QGuiApplication::clipboard()->setText("ガス");
    grid->setCurrentCell(2, kCol支払先名);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.cell(2, kCol支払先名), "ガス");
    EXPECT_EQ(w.find<QLabel>("lblStatus")->text(), "支払予定表に未登録の変更があります。");
    EXPECT_TRUE(w.presenter.shown().empty());
}

TEST(SpreadsheetHabitsWindow, TheGridsMenuOffersUndoOnlyWhenThereIsAnEditAndRunsIt)
{
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    w.type(0, kCol支払先名, "電気", Qt::Key_Return);

    // Opens the menu as a right-click does and looks at it while it is up.
    const auto withMenu = [&](const std::function<void(QMenu&)>& look) {
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            look(*menu);
            menu->close();
        });
        emit w.grid()->customContextMenuRequested(w.grid()->visualRect(w.sheet().index(0, kCol支払先名)).center());
    };
    const auto action = [](QMenu& menu, int i) { return menu.actions().at(i); };
    withMenu([&](QMenu& menu) {
        EXPECT_EQ(action(menu, 0)->text(), QCoreApplication::translate("QLineEdit", "&Undo"));
        EXPECT_TRUE(action(menu, 0)->isEnabled());
        EXPECT_FALSE(action(menu, 1)->isEnabled()) << "nothing to redo yet";
        action(menu, 0)->trigger();
    });
    EXPECT_EQ(w.cell(0, kCol支払先名), "");
    withMenu([&](QMenu& menu) {
        EXPECT_FALSE(action(menu, 0)->isEnabled());
        EXPECT_TRUE(action(menu, 1)->isEnabled());
    });
}

#include "MainWindow.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A button's shortcut presses it the way a click does, after its brief pressed look.
void press(QWidget& window, QKeyCombination keys)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
    QTest::qWait(250);
}

} // namespace

TEST(Keyboard, TabWalksTheSchedulePageInVisualOrderAndShortcutsReachItsCommands)
{
    MainWindowHarness w;
    w.presenter.setDefaultAnswer(false);
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    MainWindow& window = w.window();
    const auto& presenter = w.presenter;

    YearMonthEdit* field = w.yearMonth();
    w.find("cmdMonBef")->setFocus();
    QStringList walk;
    for (int i = 0; i < 5; ++i) {
        walk << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(walk, (QStringList{"cmdMonBef", "cmdMonNext", "Dt年月", "num繰越額", "GridInp"}));

    // Alt+Right steps the month; Ctrl+S asks before registering; F1 opens the hint window.
    field->setFromText("20050301");
    w.grid()->setFocus();
    press(window, Qt::ALT | Qt::Key_Right);
    EXPECT_EQ(field->date(), QDate(2005, 4, 1));
    press(window, Qt::CTRL | Qt::Key_S);
    ASSERT_FALSE(presenter.shown().empty());
    EXPECT_EQ(presenter.shown().back().title, messages::findMessage(messages::MsgId::登録_確認, QString()).title);
    press(window, QKeyCombination(Qt::Key_F1));
    EXPECT_TRUE(window.hintController().isOpen());
    EXPECT_EQ(window.hintController().controlName(), "cmdHint");
    window.hintController().close();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // On the payee page the same keys reach that page's commands, not the schedule's.
    w.showPage(MainWindowHarness::Payees);
    w.find("Grid支払先マスタ")->setFocus();
    const size_t boxes = presenter.shown().size();
    press(window, Qt::CTRL | Qt::Key_S);
    ASSERT_EQ(presenter.shown().size(), boxes + 1);
    EXPECT_EQ(presenter.shown().back().text, messages::findMessage(messages::MsgId::登録_確認, "支払先").text);
    press(window, QKeyCombination(Qt::Key_F1));
    EXPECT_EQ(window.hintController().controlName(), "cmdHint1");
}

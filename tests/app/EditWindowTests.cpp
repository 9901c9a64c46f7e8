#include "AmountField.h"
#include "FrmQuorel1.h"
#include "GridView.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct EditWindow {
    FrmQuorel1& window;

    GridView* grid() { return window.findChild<GridView*>("GridInp"); }
    store::WorkTableModel& sheet() { return *window.findChild<store::WorkTableModel*>("datInp"); }
    QString cell(int row, int column) { return sheet().data(sheet().index(row, column)).toString(); }
    QString field(const char* name) { return window.findChild<AmountField*>(QString::fromUtf8(name))->text(); }
    void click(const char* name) { window.findChild<QPushButton*>(QString::fromUtf8(name))->click(); }
    // 繰越額 | 予定額月計 | 支払額月計 | 累計 as shown.
    QString figures() { return QStringList{field("num繰越額"), field("num予定額月計"), field("num支払額月計"), field("num累計")}.join(" | "); }
    QString lines(int count)
    {
        QStringList shown;
        for (int r = 0; r < count; ++r)
            shown << cell(r, 2) + " " + cell(r, 4) + " " + cell(r, 7);
        return shown.join(" / ");
    }
    // Types as the user does: the first key opens the editor, the rest go to it; `end`
    // finishes (Qt::Key_unknown leaves the editor open).
    void type(int row, int column, const QString& text, Qt::Key end = Qt::Key_Tab)
    {
        grid()->setFocus();
        grid()->setCurrentCell(row, column);
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        if (end != Qt::Key_unknown)
            QTest::keyClick(QApplication::focusWidget(), end);
        QCoreApplication::processEvents();
    }
    QString stored()
    {
        return store::scalar(window.session().mainDb(), "SELECT group_concat(line, ' / ') FROM (SELECT substr(日付, 6) || ' ' || 行番号 || ' ' || 支払先名 || ' ' || "
                                                        "(残高 / 10000) AS line FROM 支払予定表 ORDER BY 日付, 行番号)")
            .toString();
    }
};

} // namespace

TEST(EditWindow, TheRoadOfOneEditFromTypedLinesToStoredBalancesAndBack)
{
    TempDataDir dir;
    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    EditWindow w{*started.window};
    SQLite::Database& main = w.window.session().mainDb();
    store::exec(main, "INSERT INTO 支払予定表 VALUES ('2005-02-20', 1, '二月', 50000000, 0, 50000000), ('2005-04-10', 1, '四月', 0, 10000000, 0), "
                      "('2005-05-01', 1, '五月', 2000000, 0, 0)");
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.window.findChild<YearMonthEdit*>("Dt年月")->setFromText("20050301");
    w.click("cmd読込");

    // A day, a Japanese payee through the input method (its first text opens the editor)
    // and amounts: the totals and the balances follow each amount at once.
    w.type(0, 2, "5", Qt::Key_Return);
    w.grid()->setCurrentCell(0, 4);
    ASSERT_EQ(QApplication::focusWidget(), w.grid());
    QInputMethodEvent japanese;
    japanese.setCommitString("山田商店");
    QCoreApplication::sendEvent(w.grid(), &japanese);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    w.type(0, 5, "10,000");
    EXPECT_EQ(w.lines(1), "5 山田商店 15,000");
    EXPECT_EQ(w.figures(), "5,000 | 10,000 |  | ");
    w.type(0, 6, "3000");
    w.type(1, 2, "31");
    w.type(1, 4, "O'Brien");
    w.type(1, 6, "２，０００", Qt::Key_unknown); // still being edited when registering
    EXPECT_EQ(w.lines(2), "5 山田商店 12,000 / 31 O'Brien ");
    EXPECT_TRUE(presenter.shown().empty());

    // Register with Yes: the open edit is taken, the lines stored, later months follow.
    w.click("cmd登録");
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].title, "登録の確認");
    EXPECT_EQ(w.stored(), "02-20 1 二月 5000 / 03-05 1 山田商店 12000 / 03-31 2 O'Brien 10000 / 04-10 1 四月 9000 / 05-01 1 五月 9200");
    EXPECT_EQ(store::scalar(main, "SELECT group_concat(支払先名, ',') FROM 支払先マスタ").toString(), "山田商店,O'Brien");
    w.click("cmd読込");
    EXPECT_EQ(w.lines(3), "05 山田商店 12,000 / 31 O'Brien 10,000 /   ");
    EXPECT_EQ(w.figures(), "5,000 | 10,000 | 5,000 | 9,200");

    // Deleting the first line (asked, default No) repairs the later months at once.
    presenter.clear();
    w.grid()->setCurrentCell(0, 4);
    w.click("cmd行削除");
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "指定された行 を削除します。よろしいですか");
    EXPECT_EQ(presenter.shown()[0].kind, messages::BoxKind::AskDefaultNo);
    EXPECT_EQ(w.lines(1), "31 O'Brien 3,000");
    EXPECT_EQ(w.figures(), "5,000 |  | 2,000 | 2,200");
    EXPECT_EQ(w.stored(), "02-20 1 二月 5000 / 03-31 2 O'Brien 3000 / 04-10 1 四月 2000 / 05-01 1 五月 2200");

    // Delete everything (No does nothing), then register the month still shown.
    presenter.clear();
    presenter.pushAnswer(false);
    w.click("cmd一括削除7");
    EXPECT_FALSE(w.stored().isEmpty());
    w.click("cmd一括削除7");
    EXPECT_EQ(presenter.shown().back().text, "すべてのデータを削除します。よろしいですか");
    EXPECT_EQ(w.stored(), "");
    EXPECT_EQ(store::scalar(main, "SELECT count(*) FROM 支払先マスタ").toLongLong(), 0);
    w.click("cmd登録");
    EXPECT_EQ(w.stored(), "03-31 1 O'Brien 3000");
    w.window.close();
}

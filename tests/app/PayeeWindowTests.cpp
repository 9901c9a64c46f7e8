#include "FrmQuorel1.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using messages::BoxKind;

namespace {

// The payee page of a main window started on a directory whose master holds `names`.
struct PayeeWindow {
    PayeeWindow(TempDataDir& dir, const QStringList& names, const char* extraSql = nullptr)
    {
        {
            auto session = store::Session::open(dir.path());
            for (const QString& name : names)
                store::exec(session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {name});
            if (extraSql)
                store::exec(session->mainDb(), QString::fromUtf8(extraSql));
        }
        started = startQuorel1(dir.path(), presenter);
        if (!started.window)
            return;
        started.window->show();
        started.window->activateWindow();
        started.window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        (void)QTest::qWaitForWindowActive(started.window.get());
        grid = started.window->findChild<QTableView*>("Grid支払先マスタ");
    }
    QStringList master()
    {
        QStringList result;
        for (const store::Row& row : store::queryRows(started.window->session().mainDb(), "SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid"))
            result << row.at(0).toString();
        return result;
    }
    QStringList shown()
    {
        QStringList result;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            result << grid->model()->data(grid->model()->index(row, 1)).toString();
        return result;
    }
    // Clicks a button; a command that asks gets `answer`.
    void click(const char* button, bool answer = true)
    {
        presenter.clear();
        presenter.setDefaultAnswer(answer);
        QTest::mouseClick(started.window->findChild<QPushButton*>(QString::fromUtf8(button)), Qt::LeftButton);
    }
    // Keys go to the grid as typed (Japanese included); Enter ends the cell edit.
    void type(int row, const QString& text, bool enter = true)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, 1));
        QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_unknown, text, Qt::NoModifier);
        if (enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void key(int row, int column, Qt::Key key)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
        QTest::keyClick(grid, key);
    }

    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started;
    QTableView* grid = nullptr;
};

} // namespace

TEST(PayeeWindow, StartsEmptyLoadsSortedAndRegistersThePageAsItStands)
{
    TempDataDir dir;
    PayeeWindow w(dir, {"山田商店", "Acme", "O'Neil", "gone"});
    ASSERT_TRUE(w.started.window);
    EXPECT_EQ(w.shown(), QStringList({""})) << "only the line for a new name";

    w.click("cmd支払先読込");
    EXPECT_EQ(w.shown(), QStringList({"Acme", "O'Neil", "gone", "山田商店", ""}));
    // A rename, a row removed with Delete, a new name, and one still in its editor.
    w.type(0, "エース");
    w.key(2, 1, Qt::Key_Delete);
    w.type(3, "新規 支払先");
    w.type(4, "入力中", false);
    w.click("cmd支払先登録");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "支払先 を登録します。よろしいですか");
    EXPECT_EQ(w.master(), QStringList({"エース", "O'Neil", "山田商店", "新規 支払先", "入力中"}));

    w.click("cmd支払先クリア");
    EXPECT_EQ(w.master().size(), 5) << "クリア leaves the master";
    EXPECT_EQ(w.shown(), QStringList({""}));
    w.click("cmd支払先登録");
    EXPECT_TRUE(w.master().isEmpty()) << "an empty page empties the master";
}

TEST(PayeeWindow, NoToAnyQuestionChangesNothing)
{
    TempDataDir dir;
    PayeeWindow w(dir, {"b", "a"});
    ASSERT_TRUE(w.started.window);
    w.click("cmd支払先読込");
    w.key(0, 0, Qt::Key_Space);
    w.type(1, "edited");
    w.click("cmd支払先登録", false);
    w.click("cmd支払先行削除", false);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "指定された 支払先 を削除します。よろしいですか");
    EXPECT_EQ(w.presenter.shown()[0].kind, BoxKind::AskDefaultNo);
    w.click("cmd支払先削除", false);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "すべての支払先を削除します、よろしいですか");
    EXPECT_EQ(w.master(), QStringList({"b", "a"}));
    EXPECT_EQ(w.shown(), QStringList({"a", "edited", ""}));
}

TEST(PayeeWindow, TickedDeleteRemovesEveryOccurrenceAndDeleteEmptiesMasterAndPage)
{
    TempDataDir dir;
    PayeeWindow w(dir, {"O'Brien", "keep", "O'Brien", "o'brien"});
    ASSERT_TRUE(w.started.window);
    w.click("cmd支払先読込");
    ASSERT_EQ(w.shown(), QStringList({"O'Brien", "O'Brien", "keep", "o'brien", ""}));
    w.click("cmd支払先行削除");
    EXPECT_EQ(w.master().size(), 4) << "nothing ticked";

    // The tick is still in the line being edited when the command runs; the rename stays
    // on the page without reaching the master.
    w.type(2, "keep renamed");
    w.key(1, 0, Qt::Key_Space);
    w.click("cmd支払先行削除");
    EXPECT_EQ(w.master(), QStringList({"keep", "o'brien"}));
    EXPECT_EQ(w.shown(), QStringList({"O'Brien", "keep renamed", "o'brien", ""}));

    w.click("cmd支払先削除");
    EXPECT_TRUE(w.master().isEmpty());
    EXPECT_EQ(w.shown(), QStringList({""}));
}

TEST(PayeeWindow, FailedRegistrationIsReportedAndLeavesMasterAndPageAsTheyWere)
{
    TempDataDir dir;
    PayeeWindow w(dir, {"one", "two"},
        "CREATE TRIGGER refuse BEFORE INSERT ON 支払先マスタ WHEN NEW.支払先名 = '拒否' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ASSERT_TRUE(w.started.window);
    w.click("cmd支払先読込");
    w.type(2, "拒否");
    w.click("cmd支払先登録");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].title, "登録の失敗");
    EXPECT_TRUE(w.presenter.shown()[1].text.startsWith("支払先 を登録できませんでした。"));
    EXPECT_EQ(w.master(), QStringList({"one", "two"}));
    EXPECT_EQ(w.shown(), QStringList({"one", "two", "拒否", ""}));

    // Nothing was left half done: once the file accepts the name, registering works.
    store::exec(w.started.window->session().mainDb(), "DROP TRIGGER refuse");
    w.click("cmd支払先登録");
    EXPECT_EQ(w.master(), QStringList({"one", "two", "拒否"}));
}

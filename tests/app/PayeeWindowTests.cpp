#include "FrmQuorel1.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using messages::BoxKind;
using messages::ScriptedMessagePresenter;

namespace {

void seedMaster(TempDataDir& dir, const QStringList& names)
{
    SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
    for (const QString& name : names) {
        SQLite::Statement insert(main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)");
        insert.bind(1, name.toStdString());
        insert.exec();
    }
}

QStringList column(SQLite::Database& db, const char* sql)
{
    QStringList result;
    for (const store::Row& row : store::queryRows(db, QString::fromUtf8(sql)))
        result << row.at(0).toString();
    return result;
}

// The payee page of a freshly started main window, shown and active.
struct PayeePage {
    explicit PayeePage(TempDataDir& dir)
    {
        started = startQuorel1(dir.path(), presenter);
        if (!started.window)
            return;
        window().show();
        window().activateWindow();
        window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        (void)QTest::qWaitForWindowActive(&window());
        grid = window().findChild<QTableView*>("Grid支払先マスタ");
    }
    FrmQuorel1& window() { return *started.window; }
    SQLite::Database& main() { return window().session().mainDb(); }
    SQLite::Database& work() { return window().session().workDb(); }
    QStringList master() { return column(main(), "SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid"); }
    QStringList copy() { return column(work(), "SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid"); }
    QStringList shownNames()
    {
        QStringList names;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            names << grid->model()->data(grid->model()->index(row, 1)).toString();
        return names;
    }
    void click(const char* button) { QTest::mouseClick(window().findChild<QPushButton*>(QString::fromUtf8(button)), Qt::LeftButton); }
    // Types a name into a cell as the keyboard would (Japanese included); Enter ends the edit.
    void type(int row, const QString& text, bool enter)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, 1));
        QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_unknown, text, Qt::NoModifier);
        if (enter)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void tick(int row)
    {
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, 0));
        QTest::keyClick(grid, Qt::Key_Space);
    }

    ScriptedMessagePresenter presenter;
    StartupOutcome started;
    QTableView* grid = nullptr;
};

} // namespace

TEST(PayeeWindow, StartsEmptyLoadsSortedAndRegistersTheEditedPageAsTheNewMaster)
{
    TempDataDir dir;
    seedMaster(dir, {"山田商店", "Acme", "O'Neil", "gone"});
    PayeePage page(dir);
    ASSERT_TRUE(page.started.window);

    // Empty after start-up: only the line for a new name.
    EXPECT_TRUE(page.copy().isEmpty());
    EXPECT_EQ(page.grid->model()->rowCount(), 1);

    page.click("cmd支払先読込");
    EXPECT_EQ(page.shownNames(), QStringList({"Acme", "O'Neil", "gone", "山田商店", ""}));
    EXPECT_TRUE(page.presenter.shown().empty());

    // Rename a row, delete one with the Delete key, add one on the empty line and leave
    // another one typed but not yet entered: registering takes the page as it stands.
    page.type(0, "エース", true);
    page.grid->setCurrentIndex(page.grid->model()->index(2, 1));
    QTest::keyClick(page.grid, Qt::Key_Delete);
    EXPECT_EQ(page.shownNames(), QStringList({"エース", "O'Neil", "山田商店", ""}));
    page.type(3, "新規 支払先", true);
    page.type(4, "入力中", false);
    page.presenter.pushAnswer(true);
    page.click("cmd支払先登録");

    ASSERT_EQ(page.presenter.shown().size(), 1u);
    EXPECT_EQ(page.presenter.shown()[0].title, "登録の確認");
    EXPECT_EQ(page.presenter.shown()[0].text, "支払先 を登録します。よろしいですか");
    EXPECT_EQ(page.master(), QStringList({"エース", "O'Neil", "山田商店", "新規 支払先", "入力中"}));

    // Registering an emptied page empties the master.
    page.click("cmd支払先クリア");
    EXPECT_EQ(page.master().size(), 5) << "クリア leaves the master";
    EXPECT_EQ(page.grid->model()->rowCount(), 1);
    page.presenter.pushAnswer(true);
    page.click("cmd支払先登録");
    EXPECT_TRUE(page.master().isEmpty());
}

TEST(PayeeWindow, AnsweringNoToEachQuestionChangesNothing)
{
    TempDataDir dir;
    seedMaster(dir, {"b", "a", "a"});
    PayeePage page(dir);
    ASSERT_TRUE(page.started.window);
    page.click("cmd支払先読込");
    page.tick(0);
    page.type(2, "edited", true);
    const QStringList master = page.master();

    page.presenter.setDefaultAnswer(false);
    page.click("cmd支払先登録");
    page.click("cmd支払先行削除");
    page.click("cmd支払先削除");
    ASSERT_EQ(page.presenter.shown().size(), 3u);
    EXPECT_EQ(page.presenter.shown()[1].title, "削除の確認");
    EXPECT_EQ(page.presenter.shown()[1].text, "指定された 支払先 を削除します。よろしいですか");
    EXPECT_EQ(page.presenter.shown()[1].kind, BoxKind::AskDefaultNo);
    EXPECT_EQ(page.presenter.shown()[2].title, "確認");
    EXPECT_EQ(page.presenter.shown()[2].text, "すべての支払先を削除します、よろしいですか");
    EXPECT_EQ(page.presenter.shown()[2].kind, BoxKind::AskDefaultYes);

    EXPECT_EQ(page.master(), master);
    EXPECT_EQ(page.shownNames(), QStringList({"a", "a", "edited", ""}));
    EXPECT_EQ(page.grid->model()->data(page.grid->model()->index(0, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
}

TEST(PayeeWindow, LineDeleteRemovesTheTickedNamesEverywhereAndDeleteEmptiesBoth)
{
    TempDataDir dir;
    seedMaster(dir, {"O'Brien", "keep", "O'Brien", "also'kept"});
    PayeePage page(dir);
    ASSERT_TRUE(page.started.window);
    page.click("cmd支払先読込");
    ASSERT_EQ(page.shownNames(), QStringList({"O'Brien", "O'Brien", "also'kept", "keep", ""}));

    // Nothing ticked: neither the master nor the page changes.
    page.presenter.pushAnswer(true);
    page.click("cmd支払先行削除");
    EXPECT_EQ(page.master().size(), 4);
    EXPECT_EQ(page.shownNames().size(), 5);

    // One of the two O'Brien rows ticked (the tick still in the line being edited), and an
    // unsaved rename that must survive on the page without reaching the master.
    page.type(3, "keep renamed", true);
    page.tick(1);
    page.presenter.pushAnswer(true);
    page.click("cmd支払先行削除");
    EXPECT_EQ(page.master(), QStringList({"keep", "also'kept"}));
    EXPECT_EQ(page.shownNames(), QStringList({"O'Brien", "also'kept", "keep renamed", ""}));

    page.presenter.pushAnswer(true);
    page.click("cmd支払先削除");
    EXPECT_TRUE(page.master().isEmpty());
    EXPECT_TRUE(page.copy().isEmpty());
    EXPECT_EQ(page.grid->model()->rowCount(), 1);
}

TEST(PayeeWindow, FailedRegistrationIsReportedAndKeepsTheMasterAndThePage)
{
    TempDataDir dir;
    seedMaster(dir, {"one", "two"});
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        main.exec("CREATE TRIGGER refuse BEFORE INSERT ON 支払先マスタ WHEN NEW.支払先名 = '拒否' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    PayeePage page(dir);
    ASSERT_TRUE(page.started.window);
    page.click("cmd支払先読込");
    page.type(2, "three", true);
    page.type(3, "拒否", true);
    page.presenter.pushAnswer(true);
    page.click("cmd支払先登録");

    ASSERT_EQ(page.presenter.shown().size(), 2u);
    EXPECT_EQ(page.presenter.shown()[1].title, "登録の失敗");
    EXPECT_TRUE(page.presenter.shown()[1].text.startsWith("支払先 を登録できませんでした。"));
    EXPECT_EQ(page.presenter.shown()[1].kind, BoxKind::Warn);
    EXPECT_EQ(page.master(), QStringList({"one", "two"}));
    EXPECT_EQ(page.shownNames(), QStringList({"one", "two", "three", "拒否", ""}));
}

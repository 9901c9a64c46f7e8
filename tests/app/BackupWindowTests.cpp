#include "../backup/BookFixture.h"
#include "BackupFolder.h"
#include "Digest.h"
#include "MainWindow.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "RestoreList.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

// A window on a filled book, showing February 2025, every question answered Yes.
struct BookWindow {
    TempDataDir dir;
    ScriptedMessagePresenter presenter;
    StartupOutcome started;

    BookWindow()
    {
        fillBook(store::Session::open(dir.path())->mainDb());
        presenter.setDefaultAnswer(true);
        started = startQuorel1(dir.path(), presenter);
        window().show();
        (void)QTest::qWaitForWindowActive(&window());
        (void)waitForStartupWork(window());
        window().findChild<YearMonthEdit*>("Dt年月")->setFromText("20250201");
        click("cmd読込");
    }
    MainWindow& window() { return *started.window; }
    SQLite::Database& main() { return window().session().mainDb(); }
    void click(const char* name) { window().findChild<QPushButton*>(QString::fromUtf8(name))->click(); }
    QPushButton* undoButton() { return window().findChild<QPushButton*>("cmd元に戻す"); }
    QString status() { return window().findChild<QLabel*>("lblStatus")->text(); }
    QString sheetPayee(int row) { return window().findChild<QAbstractItemView*>("GridInp")->model()->index(row, 4).data().toString(); }
    // Waits until the restore list knows what each of its backups holds.
    bool listInspected()
    {
        const auto* list = window().findChild<backup::RestoreList*>("RestoreList");
        return list && QTest::qWaitFor([&] { return !list->inspecting(); }, 10000);
    }
    std::vector<backup::Reason> reasons()
    {
        std::vector<backup::Reason> out;
        for (const auto& e : backup::BackupFolder(dir.path()).list())
            out.push_back(e.reason);
        return out;
    }
};

} // namespace

TEST(BackupWindow, AllDeleteKeepsABackupAndTheStatusLineUndoesIt)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    EXPECT_EQ(w.reasons(), std::vector{backup::Reason::Daily});
    const QString before = dumpBook(w.main());
    EXPECT_TRUE(w.undoButton()->isHidden());
    w.click("cmd一括削除7");
    EXPECT_EQ(w.reasons().front(), backup::Reason::AllDelete);
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 0);
    EXPECT_FALSE(w.undoButton()->isHidden());
    EXPECT_EQ(w.status(), "全削除を実行しました。");
    w.presenter.clear();
    w.undoButton()->click();
    EXPECT_EQ(dumpBook(w.main()), before);
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[0].text, "全削除の前の状態に戻します。よろしいですか");
    EXPECT_EQ(w.presenter.shown()[1].title, "復元完了");
    EXPECT_TRUE(w.undoButton()->isHidden());
    EXPECT_EQ(w.status(), "全削除を元に戻しました。");
    // A restore afterwards says so in place of the undo's message.
    const auto entries = backup::BackupFolder(w.dir.path()).list();
    ASSERT_FALSE(entries.empty());
    EXPECT_TRUE(w.window().backups().restore(entries.back().path));
    EXPECT_EQ(w.status(), backup::describe(entries.back()) + " から復元しました。");
    // The pages read the book again: the month shown keeps its lines, the settings their era.
    EXPECT_EQ(w.sheetPayee(0), "支払先2-1");
    EXPECT_EQ(w.window().session().settings.g年号, "和暦");
}

TEST(BackupWindow, DeletingAStoredLineCanBeUndoneWithCtrlZUntilSomethingElseIsStored)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    auto* grid = w.window().findChild<GridView*>("GridInp");
    // A blank line holds nothing stored: no backup, no undo.
    grid->setCurrentCell(10, 4);
    w.click("cmd行削除");
    EXPECT_EQ(w.reasons().size(), 1u);
    EXPECT_TRUE(w.undoButton()->isHidden());

    grid->setCurrentCell(1, 4);
    w.click("cmd行削除");
    EXPECT_EQ(w.reasons().front(), backup::Reason::LineDelete) << QDir(w.dir.path() + "backup").entryList().join(" ").toStdString();
    EXPECT_EQ(w.sheetPayee(1), "支払先2-3");
    EXPECT_FALSE(w.undoButton()->isHidden());
    EXPECT_EQ(w.status(), "行削除を実行しました。");
    // A name typed after the deletion is not dropped unasked: 元に戻す asks about it first,
    // and キャンセル keeps the sheet and the book as they are.
    grid->model()->setData(grid->model()->index(20, 4), "typed");
    w.presenter.pushAnswer(true); // 取消確認
    w.presenter.pushCancel();     // 未登録確認
    w.undoButton()->click();
    EXPECT_EQ(w.sheetPayee(20), "typed");
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 23);
    // Ctrl+Z undoes the sheet's edit first, then the deletion.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.sheetPayee(20), "");
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.sheetPayee(1), "支払先2-2");
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 24);

    // Deleted again, then the month is registered: the undo offer goes.
    grid->setCurrentCell(1, 4);
    w.click("cmd行削除");
    EXPECT_FALSE(w.undoButton()->isHidden());
    w.click("cmd登録");
    w.presenter.clear();
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(w.presenter.shown().empty());
    EXPECT_TRUE(w.undoButton()->isHidden());
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 23);
}

TEST(BackupWindow, ThePayeeAndSettingsCommandsThatReplaceOrDeleteKeepABackupFirst)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    w.click("cmd支払先読込");
    w.click("cmd支払先登録");
    EXPECT_EQ(w.reasons().front(), backup::Reason::PayeeEntry);
    w.click("cmd支払先削除");
    EXPECT_EQ(w.reasons().front(), backup::Reason::PayeeDelete);
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払先マスタ").toLongLong(), 0);
    w.click("cmd設定削除");
    EXPECT_EQ(w.reasons().front(), backup::Reason::SettingsDelete);
    EXPECT_EQ(w.reasons().size(), 4u);
    // Answered No, the command makes no backup.
    w.presenter.setDefaultAnswer(false);
    w.click("cmd設定削除");
    EXPECT_EQ(w.reasons().size(), 4u);
    // The backup before 削除 still holds the payees.
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払先マスタ").toLongLong(), 0);
}

TEST(BackupWindow, AFailingBackupAsksAndAnsweredNoTheCommandDoesNothing)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    // A file stands where the backup folder belongs.
    QDir(QDir(w.dir.path()).filePath("backup")).removeRecursively();
    QFile blocker(QDir(w.dir.path()).filePath("backup"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w.presenter.clear();
    w.presenter.pushAnswer(true);  // delete everything?
    w.presenter.pushAnswer(false); // go on without a backup?
    w.click("cmd一括削除7");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].title, "バックアップの失敗");
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 24);
}

TEST(BackupWindow, TheSettingsPageListsTheBackupsAndRestoresTheChosenOne)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    w.click("cmd一括削除7");
    store::exec(w.main(), "INSERT INTO 支払先マスタ VALUES ('あとから')");
    w.window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
    auto* list = w.window().findChild<QTreeWidget*>("lstBackup");
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(w.listInspected());
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "全削除の前");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "24");
    EXPECT_EQ(list->topLevelItem(0)->text(3), "2025年06月");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "その日の最初の起動");
    // Nothing chosen: the catalogue's reminder.
    list->setCurrentItem(nullptr);
    w.presenter.clear();
    w.click("cmd復元");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "行が指定されていません。行指定してください。");

    list->setCurrentItem(list->topLevelItem(0));
    w.presenter.clear();
    w.click("cmd復元");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].title, "復元完了");
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 24);
    EXPECT_EQ(w.sheetPayee(0), "支払先2-1");
    // The replaced state is in the list now.
    ASSERT_EQ(list->topLevelItemCount(), 3);
    ASSERT_TRUE(w.listInspected());
    EXPECT_EQ(list->topLevelItem(0)->text(1), "復元の前");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "0");
}

TEST(BackupWindow, ACleanShutdownKeepsABackupOnlyWhenTheBookChanged)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    w.window().close();
    EXPECT_EQ(w.reasons().size(), 1u);
    w.started.window.reset();
    w.started = startQuorel1(w.dir.path(), w.presenter);
    ASSERT_TRUE(w.started.window);
    store::exec(w.window().session().workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('x')");
    w.window().close();
    EXPECT_EQ(w.reasons().front(), backup::Reason::Shutdown);
    EXPECT_EQ(w.reasons().size(), 2u);
}

TEST(BackupWindow, TheRestoreListTellsWhatARestoreWouldFindAndADamagedBackupIsRestoredOnlyWhenInsisted)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    w.click("cmd一括削除7");
    w.click("cmd支払先読込");
    w.click("cmd支払先登録");
    const auto entries = backup::BackupFolder(w.dir.path()).list();
    ASSERT_EQ(w.reasons(), (std::vector{backup::Reason::PayeeEntry, backup::Reason::AllDelete, backup::Reason::Daily}));
    // The day's copy as an earlier version made it; one bit of the copy before 全削除
    // changed in a payee's name (in its table and its index alike).
    QFile::remove(backup::digestPathOf(entries[2].path));
    {
        QFile file(entries[1].path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = file.readAll();
        ASSERT_EQ(bytes.count(QStringLiteral("支払先A").toUtf8()), 2);
        file.seek(0);
        file.write(QByteArray(bytes).replace(QStringLiteral("支払先A").toUtf8(), QStringLiteral("支払先@").toUtf8()));
    }

    w.window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
    auto* list = w.window().findChild<QTreeWidget*>("lstBackup");
    ASSERT_TRUE(w.listInspected());
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->headerItem()->text(4), "状態");
    EXPECT_EQ(list->topLevelItem(0)->text(4), "正常");
    EXPECT_EQ(list->topLevelItem(1)->text(4), "破損（作成時の記録と不一致）");
    EXPECT_EQ(list->topLevelItem(2)->text(4), "未検証（作成時の記録なし）");
    EXPECT_EQ(list->topLevelItem(1)->text(2), "24");

    // 復元 on the damaged one: named, and No (the default) leaves the book as it is.
    list->setCurrentItem(list->topLevelItem(1));
    w.presenter.clear();
    w.presenter.pushAnswer(false);
    w.click("cmd復元");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "バックアップの破損");
    EXPECT_EQ(w.presenter.shown()[0].kind, messages::BoxKind::AskDefaultNo);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains(backup::describe(entries[1]))) << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 0);

    // Insisted on, it is restored as it is.
    w.presenter.clear();
    w.click("cmd復元");
    ASSERT_EQ(w.presenter.shown().size(), 3u);
    EXPECT_EQ(w.presenter.shown()[1].title, "復元の確認");
    EXPECT_EQ(w.presenter.shown()[2].title, "復元完了");
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 24);
    EXPECT_EQ(store::scalar(w.main(), "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 = '支払先@'").toLongLong(), 1);
    ASSERT_TRUE(w.listInspected());
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "復元の前");
    EXPECT_EQ(list->topLevelItem(0)->text(4), "正常");
}

TEST(BackupWindow, TheRestoreListShowsAtOnceFillsInAsBackupsAreReadAndLetsTheWindowCloseMidCheck)
{
    BookWindow w;
    ASSERT_TRUE(w.started.window);
    const backup::BackupFolder folder(w.dir.path());
    const QDateTime made(QDate(2025, 3, 1), QTime(9, 0));
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(backup::makeBackup(w.main(), folder, made.addSecs(i), backup::Reason::LineDelete).ok);

    // Shown, the page lists every backup before any is read: each row waits for the
    // inspector's thread, then fills in.
    w.window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
    auto* list = w.window().findChild<QTreeWidget*>("lstBackup");
    const auto* restoreList = w.window().findChild<backup::RestoreList*>("RestoreList");
    ASSERT_EQ(list->topLevelItemCount(), 7);
    EXPECT_TRUE(restoreList->inspecting());
    EXPECT_EQ(list->topLevelItem(0)->text(4), "確認中");
    EXPECT_TRUE(list->topLevelItem(0)->text(2).isEmpty());
    ASSERT_TRUE(w.listInspected());
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        EXPECT_EQ(list->topLevelItem(row)->text(4), "正常") << row;
        EXPECT_EQ(list->topLevelItem(row)->text(2), "24") << row;
    }

    // New backups shown while the window goes away: the inspection stops and its thread
    // is waited for (the sanitized run catches a thread left reading into freed objects).
    for (int i = 6; i < 12; ++i)
        ASSERT_TRUE(backup::makeBackup(w.main(), folder, made.addSecs(i), backup::Reason::LineDelete).ok);
    w.window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(0);
    w.window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
    EXPECT_TRUE(restoreList->inspecting());
    w.window().close();
    w.started.window.reset();
    QTest::qWait(20);
}

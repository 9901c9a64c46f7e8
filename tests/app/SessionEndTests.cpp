// The end of the user's session: the system's signals close the window without a question
// and keep the sheet, and the session manager's request asks about the sheet first.
#include "MainWindowHarness.h"

#include "BackupFolder.h"
#include "PayeeImportCommand.h"
#include "SessionEnd.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "TerminationSignals.h"

#include <QDialog>
#include <QFile>
#include <QProgressDialog>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <csignal>

using namespace schedule;

namespace {

// The window on 2005年04月 with a line typed and not registered, after a change of the book
// (so that the close keeps a backup).
bool startWithUnregisteredLine(MainWindowHarness& w)
{
    seed::storeSettings(w.dir(), "西暦", 0, 0);
    if (!w.startOn(QDate(2005, 4, 1)) || !w.show())
        return false;
    store::exec(w.window().session().workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('北海商事')");
    w.type(0, kCol表示日付, "5");
    w.type(0, kCol支払先名, "未登録の店");
    w.type(0, kCol予定額, "1,200");
    w.presenter.clear();
    return w.window().windowTitle().startsWith("*");
}

// The typed line as the work file holds it: "payee amount", or "" when it is not there.
QString sheetLineInWorkFile(const TempDataDir& dir)
{
    SQLite::Database work(dir.workPath().toStdString(), SQLite::OPEN_READONLY);
    const auto rows = store::queryRows(work, "SELECT 支払先名, 予定額 FROM InpWork WHERE 支払先名 = '未登録の店'");
    return rows.empty() ? QString() : rows.front().at(0).toString() + " " + rows.front().at(1).toString();
}

std::vector<backup::Reason> backupReasons(const TempDataDir& dir)
{
    std::vector<backup::Reason> reasons;
    for (const backup::BackupEntry& entry : backup::BackupFolder(dir.path()).list())
        reasons.push_back(entry.reason);
    return reasons;
}

} // namespace

TEST(SessionEnd, ASystemSignalClosesWithoutAQuestionKeepingTheSheetMakingTheBackupAndLettingGoOfTheLock)
{
    for (const int number : TerminationSignals::kSignals) {
        MainWindowHarness w;
        ASSERT_TRUE(startWithUnregisteredLine(w));
        TerminationSignals systemSignals;
        ASSERT_TRUE(systemSignals.installed());
        endWithTheSession(w.window(), systemSignals);
        ASSERT_EQ(::raise(number), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w.session().isOpen(), 5000);
        EXPECT_TRUE(w.presenter.shown().empty()) << w.lastBox().toStdString();
        EXPECT_EQ(sheetLineInWorkFile(w.dir()), "未登録の店 12000000") << number;
        EXPECT_EQ(backupReasons(w.dir()).front(), backup::Reason::Shutdown);
        w.outcome().window.reset();
        EXPECT_FALSE(QFile::exists(w.dir().filePath("Quorel1.lock")));
    }
}

TEST(SessionEnd, ASignalWhileADialogIsOpenDismissesItAndClosesOnceTheCommandUnderItHasReturned)
{
    MainWindowHarness w;
    ASSERT_TRUE(startWithUnregisteredLine(w));
    TerminationSignals systemSignals;
    endWithTheSession(w.window(), systemSignals);
    // The program's own loop, and a command in it that opens a dialog; the signal comes
    // while the dialog is open. The command still runs when the dialog is gone: the files
    // must still be open then.
    QDialog dialog(&w.window());
    dialog.setModal(true);
    int result = -1;
    bool openAfterTheDialog = false;
    QEventLoop programLoop;
    QTimer::singleShot(0, &programLoop, [&] {
        QTimer::singleShot(0, &dialog, [] { ::raise(SIGTERM); });
        result = dialog.exec();
        openAfterTheDialog = w.session().isOpen();
        programLoop.quit();
    });
    programLoop.exec();
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(openAfterTheDialog);
    QTRY_VERIFY_WITH_TIMEOUT(!w.session().isOpen(), 5000);
    EXPECT_EQ(sheetLineInWorkFile(w.dir()), "未登録の店 12000000");
}

TEST(SessionEnd, TheSessionManagersRequestAsksAboutTheSheetAndCancelKeepsTheSessionAndTheSheet)
{
    MainWindowHarness w;
    ASSERT_TRUE(startWithUnregisteredLine(w));
    w.presenter.pushCancel();
    EXPECT_FALSE(w.window().commitSessionData());
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].kind, messages::BoxKind::AskYesNoCancel);
    EXPECT_TRUE(w.window().windowTitle().startsWith("*"));
    EXPECT_EQ(sheetLineInWorkFile(w.dir()), "未登録の店 12000000");

    // はい registers the sheet, and the session may end.
    w.presenter.clear();
    w.presenter.setDefaultAnswer(true);
    EXPECT_TRUE(w.window().commitSessionData());
    EXPECT_TRUE(w.storedLines().contains("未登録の店"));
    EXPECT_FALSE(w.window().windowTitle().startsWith("*"));
}

TEST(SessionEnd, ASignalDuringAnImportStopsItRollsItBackAndClosesAsTheCloseButtonDoes)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    QByteArray names;
    for (int line = 1; line <= 20000; ++line)
        names += "支払先" + QByteArray::number(line) + "\n";
    QFile list(w.dir().filePath("names.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(names);
    list.close();
    TerminationSignals systemSignals;
    endWithTheSession(w.window(), systemSignals);
    auto& import = w.window().payeeImportCommand();
    import.askFile = [&](QWidget*) { return std::pair{list.fileName(), exchange::TextEncoding::Detect}; };
    import.progressAfterMs = 0;
    bool raised = false;
    bool openAtTheNextStep = false;
    import.onProgress = [&](QProgressDialog& dialog) {
        if (raised)
            openAtTheNextStep = openAtTheNextStep || w.session().isOpen();
        else if (dialog.labelText().contains("追加") && dialog.value() > 100)
            raised = ::raise(SIGTERM) == 0;
    };
    w.presenter.setDefaultAnswer(true);
    w.click("cmd支払先取込");
    ASSERT_TRUE(raised);
    EXPECT_TRUE(openAtTheNextStep) << "the files stay open while the import runs";
    QTRY_VERIFY_WITH_TIMEOUT(!w.session().isOpen(), 5000);
    // Only the import's question: no box about the close-time backup.
    ASSERT_EQ(w.presenter.shown().size(), 1u) << w.lastBox().toStdString();
    w.outcome().window.reset();
    EXPECT_FALSE(QFile::exists(w.dir().filePath("Quorel1.lock")));
    EXPECT_FALSE(QFile::exists(w.dir().mainPath() + "-journal"));
    EXPECT_FALSE(QFile::exists(w.dir().mainPath() + "-wal"));
    SQLite::Database main(w.dir().mainPath().toStdString(), SQLite::OPEN_READONLY);
    EXPECT_EQ(main.execAndGet("SELECT count(*) FROM 支払先マスタ").getInt(), 0) << "the import rolled back";
}

TEST(SessionEnd, NamesTypedBeforeASignalEndedTheRunJoinThePayeeListWhenTheRestoredSheetIsRegistered)
{
    TempDataDir dir;
    seed::storeSettings(dir, "西暦", 1, 0);
    {
        MainWindowHarness w(dir);
        ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
        ASSERT_TRUE(w.show());
        w.type(0, kCol表示日付, "5");
        w.type(0, kCol支払先名, "SigPayee");
        w.type(0, kCol予定額, "1,200");
        TerminationSignals systemSignals;
        endWithTheSession(w.window(), systemSignals);
        ASSERT_EQ(::raise(SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w.session().isOpen(), 5000);
    }
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.start());
    ASSERT_EQ(w.cell(0, kCol支払先名), "SigPayee");
    w.click("cmd登録", true);
    EXPECT_TRUE(w.storedLines().contains("SigPayee")) << w.storedLines().toStdString();
    EXPECT_EQ(w.storedPayees(), QStringList{"SigPayee"});
}

#include "../backup/BookFixture.h"
#include "BackupFolder.h"
#include "FaultVfs.h"
#include "MainWindow.h"
#include "Startup.h"
#include "TempDataDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <sys/mount.h>

using messages::ScriptedMessagePresenter;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A process id that has ended: a child that ran and was waited for.
qint64 endedPid()
{
    QProcess child;
    child.start("true");
    child.waitForFinished();
    return child.processId() > 0 ? child.processId() : 999999;
}

} // namespace

TEST(StartupRescue, AStaleLockIsNamedAndTakenOverOnlyWhenTheUserAgrees)
{
    struct Case {
        const char* what;
        QByteArray content;
        const char* found;
    };
    const Case cases[] = {
        {"empty", "", "ロックファイルが空か、読めません。"},
        {"other computer", "4242\nQuorel1\nold-office-pc\n", "ロックファイルは別のコンピューターが書いたものです：old-office-pc（プロセス 4242）"},
        {"ended process", QByteArray::number(endedPid()) + "\nQuorel1\n" + QSysInfo::machineHostName().toUtf8() + "\n", "ロックファイルを書いたプログラムは終了しています：プロセス "},
    };
    for (const Case& c : cases) {
        TempDataDir dir;
        const QString lockPath = dir.filePath("Quorel1.lock");
        writeFile(lockPath, c.content);
        if (QByteArray(c.what) == "other computer") {
            // Touched within the last ten minutes: in use there, refused without a question.
            ScriptedMessagePresenter fresh;
            fresh.setDefaultAnswer(true);
            EXPECT_FALSE(startQuorel1(dir.path(), fresh).window);
            ASSERT_EQ(fresh.shown().size(), 1u);
            EXPECT_EQ(fresh.shown()[0].kind, messages::BoxKind::Warn);
            EXPECT_TRUE(fresh.shown()[0].text.contains("別のコンピューターで起動している支払予定表が使っています")) << fresh.shown()[0].text.toStdString();
            EXPECT_TRUE(fresh.shown()[0].text.contains("old-office-pc（プロセス 4242）"));
            EXPECT_TRUE(fresh.shown()[0].text.contains("10 分以上更新のないロック"));
            EXPECT_EQ(TempDataDir::readAll(lockPath), c.content);
            // Silent for eleven minutes: offered, saying what cannot be known.
            QFile lockFile(lockPath);
            ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
            const QDateTime silent = QDateTime::currentDateTime().addSecs(-11 * 60);
            lockFile.setFileTime(silent, QFileDevice::FileModificationTime);
        }
        ScriptedMessagePresenter refuse;
        refuse.setDefaultAnswer(false);
        StartupOutcome no = startQuorel1(dir.path(), refuse);
        EXPECT_FALSE(no.window) << c.what;
        EXPECT_EQ(no.exitCode, 1);
        ASSERT_EQ(refuse.shown().size(), 1u) << c.what;
        EXPECT_EQ(refuse.shown()[0].title, "起動の確認");
        EXPECT_EQ(refuse.shown()[0].kind, messages::BoxKind::AskDefaultNo);
        EXPECT_TRUE(refuse.shown()[0].text.contains(QString::fromUtf8(c.found))) << refuse.shown()[0].text.toStdString();
        if (QByteArray(c.what) == "other computer")
            EXPECT_TRUE(refuse.shown()[0].text.contains("このプログラムには確かめられません")) << refuse.shown()[0].text.toStdString();
        else
            EXPECT_TRUE(refuse.shown()[0].text.contains("見つかりません"));
        EXPECT_TRUE(refuse.shown()[0].text.startsWith(QDir::toNativeSeparators(lockPath)));
        EXPECT_EQ(TempDataDir::readAll(lockPath), c.content) << c.what;

        ScriptedMessagePresenter agree;
        agree.setDefaultAnswer(true);
        StartupOutcome yes = startQuorel1(dir.path(), agree);
        ASSERT_TRUE(yes.window) << c.what;
        EXPECT_TRUE(TempDataDir::readAll(lockPath).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
        // Now held by a live program: a second start is refused as before, without a question.
        ScriptedMessagePresenter second;
        EXPECT_FALSE(startQuorel1(dir.path(), second).window);
        ASSERT_EQ(second.shown().size(), 1u);
        EXPECT_EQ(second.shown()[0].kind, messages::BoxKind::Warn);
    }
}

TEST(StartupRescue, AFullDiskIsNamedAsTheCauseNotAsAReadOnlyFile)
{
    QTemporaryDir root;
    const QString mountPoint = root.filePath("small");
    QDir().mkpath(mountPoint);
    if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no permission to mount a small file system";
    const QString data = mountPoint + "/data/";
    {
        TempDataDir source;
        QDir().mkpath(data);
        QFile::copy(source.mainPath(), data + "Quorel1.mdb");
        QFile::copy(source.workPath(), data + "Quorel1Work.mdb");
    }
    {
        QFile filler(mountPoint + "/filler");
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
        }
    }
    ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(data, presenter);
    EXPECT_FALSE(started.window);
    EXPECT_EQ(started.exitCode, 1);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_TRUE(presenter.shown()[0].text.startsWith("データフォルダのディスクに空きがないため起動できません。")) << presenter.shown()[0].text.toStdString();
    EXPECT_FALSE(presenter.shown()[0].text.contains("readonly"));
    ::umount(QFile::encodeName(mountPoint).constData());
}

TEST(StartupRescue, AnUnusableMainFileCanBeReplacedByTheNewestGoodBackupOrLeftAsItIs)
{
    TempDataDir dir;
    QString before;
    {
        ScriptedMessagePresenter presenter;
        auto first = startQuorel1(dir.path(), presenter);
        ASSERT_TRUE(first.window);
        fillBook(first.window->session().mainDb());
        before = dumpBook(first.window->session().mainDb());
        first.window->close(); // the shutdown backup holds the book
    }
    // A newer backup that is damaged is passed over.
    QFile::copy(backup::BackupFolder(dir.path()).list().front().path, dir.filePath("backup/Quorel1_29991231-000000_daily.mdb"));
    QFile(dir.filePath("backup/Quorel1_29991231-000000_daily.mdb")).resize(5000);
    writeFile(dir.mainPath(), "garbage where the book was");
    const QByteArray damaged = TempDataDir::readAll(dir.mainPath());

    ScriptedMessagePresenter refuse;
    refuse.setDefaultAnswer(false);
    EXPECT_FALSE(startQuorel1(dir.path(), refuse).window);
    ASSERT_EQ(refuse.shown().size(), 1u);
    EXPECT_EQ(refuse.shown()[0].title, "起動エラー");
    EXPECT_TRUE(refuse.shown()[0].text.contains("（終了時）\nこの最新の正常なバックアップを復元して起動しますか")) << refuse.shown()[0].text.toStdString();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), damaged);

    ScriptedMessagePresenter agree;
    agree.setDefaultAnswer(true);
    StartupOutcome started = startQuorel1(dir.path(), agree);
    ASSERT_TRUE(started.window);
    EXPECT_EQ(dumpBook(started.window->session().mainDb()), before);
    ASSERT_GE(agree.shown().size(), 2u);
    EXPECT_EQ(agree.shown()[1].title, "復元完了");
    // The unusable file was kept as it was found.
    const auto list = backup::BackupFolder(dir.path()).list();
    const auto kept = std::find_if(list.begin(), list.end(), [](const auto& e) { return e.reason == backup::Reason::Damaged; });
    ASSERT_NE(kept, list.end());
    EXPECT_EQ(TempDataDir::readAll(kept->path), damaged);
}

TEST(StartupRescue, AfterACrashJournalWasRolledBackABrokenBalanceChainIsToldAndTheBackupsOffered)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        fillBook(session->mainDb());
        store::exec(session->mainDb(), "UPDATE 支払予定表 SET 残高 = 1 WHERE 日付 = '2025-03-02'");
    }
    // A killed program left a journal of an update beside the file.
    {
        FaultVfs vfs;
        long total = 0;
        const QByteArray before = TempDataDir::readAll(dir.mainPath());
        {
            auto session = store::Session::open(dir.path());
            vfs.clear();
            store::exec(session->mainDb(), "UPDATE 支払先マスタ SET 支払先名 = 支払先名 || '!'");
            total = vfs.steps();
        }
        writeFile(dir.mainPath(), before);
        {
            auto session = store::Session::open(dir.path());
            vfs.powerCutAt(total);
            try {
                store::exec(session->mainDb(), "UPDATE 支払先マスタ SET 支払先名 = 支払先名 || '!'");
            } catch (const store::DbError&) {
            }
        }
        vfs.crash(false);
    }
    ASSERT_TRUE(QFile::exists(dir.mainPath() + "-journal"));
    ScriptedMessagePresenter presenter;
    presenter.setDefaultAnswer(true);
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].title, "残高の確認");
    EXPECT_TRUE(presenter.shown()[0].text.contains("2025/03/02 の行 2")) << presenter.shown()[0].text.toStdString();
    EXPECT_EQ(started.window->findChild<QTabWidget*>("SSTab1")->currentIndex(), 2);
    EXPECT_EQ(store::scalar(started.window->session().mainDb(), "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 LIKE '%!'").toLongLong(), 0);
    const auto list = backup::BackupFolder(dir.path()).list();
    EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](const auto& e) { return e.reason == backup::Reason::Journal; }));
}

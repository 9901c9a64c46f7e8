#include "BackupFolder.h"
#include "BackupService.h"
#include "BookFile.h"
#include "BookFixture.h"
#include "Digest.h"
#include "FaultVfs.h"
#include "Msg.h"
#include "PowerCutSweep.h"
#include "StartupRescue.h"
#include "TempDataDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace backup;

namespace {

QString wholeBook(store::Session& session)
{
    return dumpBook(session.mainDb());
}

// Leaves a hot journal beside the main file: a killed program after an update wrote
// its journal and the new pages but before the journal went.
void leaveHotJournal(TempDataDir& dir, const char* update)
{
    FaultVfs vfs;
    long total = 0;
    const QByteArray before = TempDataDir::readAll(dir.mainPath());
    {
        auto session = store::Session::open(dir.path());
        vfs.clear();
        store::exec(session->mainDb(), QString::fromUtf8(update));
        total = vfs.steps();
    }
    QFile::remove(dir.mainPath());
    {
        QFile f(dir.mainPath());
        f.open(QIODevice::WriteOnly);
        f.write(before);
    }
    {
        auto session = store::Session::open(dir.path());
        vfs.powerCutAt(total); // the journal's deletion never happens
        try {
            store::exec(session->mainDb(), QString::fromUtf8(update));
        } catch (const store::DbError&) {
        }
    }
    vfs.crash(false);
}

} // namespace

TEST(RestoreSafety, APowerCutAtAnyStepOfARestoreLeavesTheOldBookOrTheRestoredOneNeverAMix)
{
    TempDataDir dir;
    QString backupPath;
    {
        auto session = store::Session::open(dir.path());
        fillBook(session->mainDb(), 40, "旧い支払先の名前をすこし長くしたもの");
        messages::ScriptedMessagePresenter presenter;
        messages::Msg msg(presenter);
        BackupService service(*session, msg);
        ASSERT_TRUE(service.beforeDestructive(Reason::AllDelete));
        backupPath = service.folder().list().front().path;
        // The book now differs in every table and in its size.
        store::exec(session->mainDb(), "DELETE FROM 支払予定表 WHERE 日付 > '2025-02-10'");
        store::exec(session->mainDb(), "UPDATE 支払予定表 SET 支払先名 = 支払先名 || '改'");
        store::exec(session->mainDb(), "DELETE FROM 支払先マスタ");
        store::exec(session->mainDb(), "UPDATE 自社情報 SET 年号 = '西暦'");
    }
    const SweepResult result = sweepPowerCuts(dir, [&](const std::function<void()>& arm) {
        auto session = store::Session::open(dir.path());
        messages::ScriptedMessagePresenter presenter;
        presenter.setDefaultAnswer(true);
        messages::Msg msg(presenter);
        BackupService service(*session, msg);
        arm();
        service.restore(backupPath); // keeps the current state first, then restores
    }, wholeBook);
    std::printf("[ power cut ] restore: %d cut points (each as power loss and as a killed program), %d old, %d restored, %d broken\n",
        result.cuts, result.old, result.fresh, result.broken);
    EXPECT_GT(result.cuts, 10);
    EXPECT_GT(result.old, 0);
    // A cut at the last step (the journal's deletion) still rolls back: only a whole run
    // leaves the restored book, which the sweep compares against.
    EXPECT_EQ(result.broken, 0);
    EXPECT_FALSE(checkBookFile(backupPath)); // the backup itself is never written
}

TEST(RestoreSafety, ACrashJournalIsCopiedWithItsFileBeforeTheEngineRollsItBack)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        fillBook(session->mainDb(), 50);
    }
    QString before;
    {
        auto session = store::Session::open(dir.path());
        before = dumpBook(session->mainDb());
    }
    leaveHotJournal(dir, "UPDATE 支払予定表 SET 残高 = 0");
    ASSERT_TRUE(hasHotJournal(dir.mainPath()));
    const QByteArray mainAsFound = TempDataDir::readAll(dir.mainPath());
    const QByteArray journalAsFound = TempDataDir::readAll(dir.mainPath() + "-journal");
    const BackupFolder folder(dir.path());
    const auto copy = preserveHotJournal(dir.mainPath(), folder, QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(QFileInfo(*copy).fileName(), "Quorel1_20260301-090000_journal.mdb");
    EXPECT_EQ(TempDataDir::readAll(*copy), mainAsFound);
    EXPECT_EQ(TempDataDir::readAll(copy->chopped(4) + ".journal"), journalAsFound);
    EXPECT_FALSE(QFile::exists(*copy + "-journal")); // never applied to the copy by itself
    // Both copies are recorded: a change to either shows.
    EXPECT_EQ(checkDigest(*copy), DigestState::Matches);
    {
        QFile journalCopy(copy->chopped(4) + ".journal");
        ASSERT_TRUE(journalCopy.open(QIODevice::ReadWrite));
        journalCopy.seek(journalAsFound.size() - 1);
        journalCopy.write(QByteArray(1, char(journalAsFound.back() ^ 0x01)));
    }
    EXPECT_EQ(checkDigest(*copy), DigestState::Mismatch);
    // The journal copy and the file as found are left out of the good backups.
    EXPECT_FALSE(newestGoodBackup(folder));
    auto session = store::Session::open(dir.path());
    EXPECT_EQ(dumpBook(session->mainDb()), before);
    EXPECT_FALSE(hasHotJournal(dir.mainPath()));
    EXPECT_FALSE(preserveHotJournal(dir.mainPath(), folder, QDateTime::currentDateTime()));
}

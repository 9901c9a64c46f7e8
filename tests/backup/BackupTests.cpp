#include "BackupFolder.h"
#include "BackupService.h"
#include "ChainCheck.h"
#include "BookFile.h"
#include "BookFixture.h"
#include "Digest.h"
#include "Msg.h"
#include "Restore.h"
#include "StartupRescue.h"
#include "TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <map>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace backup;

namespace {

void spoil(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(offset);
    file.write(bytes);
}

} // namespace

TEST(Backup, ABackupNamesWhenAndWhyAndARestoreBringsBackEveryTableAsItWas)
{
    OpenBook b;
    fillBook(b.main());
    const QString before = dumpBook(b.main());
    ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    const auto entries = b.service.folder().list();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(QFileInfo(entries[0].path).fileName(), "Quorel1_20261207-153012_alldelete.mdb");
    EXPECT_EQ(entries[0].reason, Reason::AllDelete);
    EXPECT_EQ(describe(entries[0]), "2026/12/07 15:30:12（全削除の前）");
    const auto summary = summarizeBookFile(entries[0].path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->storedLines, 24);
    EXPECT_EQ(summary->latestMonth, QDate(2025, 6, 1));
    EXPECT_FALSE(checkBookFile(entries[0].path));

    // Two more in the same second keep their own names and their order.
    ASSERT_TRUE(b.service.beforeDestructive(Reason::LineDelete));
    ASSERT_TRUE(b.service.beforeDestructive(Reason::PayeeEntry));
    const auto three = b.service.folder().list();
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[0].reason, Reason::PayeeEntry);
    EXPECT_EQ(QFileInfo(three[1].path).fileName(), "Quorel1_20261207-153012-1_linedelete.mdb");

    // Changed in every table, through both connections, then restored.
    store::exec(b.main(), "DELETE FROM 支払予定表 WHERE 日付 >= '2025-03-01'");
    store::exec(b.main(), "UPDATE 自社情報 SET 年号 = '西暦'");
    store::exec(b.session->workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('新しい')");
    b.presenter.setDefaultAnswer(true);
    ASSERT_TRUE(b.service.restore(entries[0].path));
    EXPECT_EQ(dumpBook(b.main()), before);
    EXPECT_EQ(dumpBook(b.session->workDb(), "mainfile"), before); // the attached view sees it too
    EXPECT_EQ(store::scalar(b.main(), "PRAGMA integrity_check").toString(), "ok");
    // Asked first, told after; the state it replaced was kept.
    ASSERT_EQ(b.presenter.shown().size(), 2u);
    EXPECT_EQ(b.presenter.shown()[0].title, "復元の確認");
    EXPECT_TRUE(b.presenter.shown()[0].text.startsWith("2026/12/07 15:30:12（全削除の前） 保存行 24 行、最新 2025年06月\n")) << b.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(b.presenter.shown()[1].title, "復元完了");
    EXPECT_EQ(b.service.folder().list().front().reason, Reason::Restore);
    EXPECT_EQ(summarizeBookFile(b.service.folder().list().front().path)->storedLines, 8);
}

TEST(Backup, ADamagedOrForeignFileIsRefusedWithItsCauseAndTheBookStaysAsItWas)
{
    OpenBook b;
    fillBook(b.main(), 300);
    ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    const QString good = b.service.folder().list().front().path;
    const QString folder = b.service.folder().path();
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"text", [](const QString& p) { QFile f(p); f.open(QIODevice::WriteOnly); f.write("just text, not a book\n"); }},
        {"work file", [&](const QString& p) { QFile::copy(b.dir.workPath(), p); }},
        {"cut short", [&](const QString& p) { QFile::copy(good, p); QFile f(p); f.resize(f.size() / 2); }},
        {"spoilt page", [&](const QString& p) { QFile::copy(good, p); spoil(p, 4096 * 2, QByteArray(12, '\xff')); }},
    };
    const QString before = dumpBook(b.main());
    b.presenter.setDefaultAnswer(true);
    for (const Case& c : cases) {
        const QString path = QDir(folder).filePath(QStringLiteral("Quorel1_20200101-000000_daily.mdb"));
        QFile::remove(path);
        c.make(path);
        EXPECT_TRUE(checkBookFile(path)) << c.name;
        b.presenter.clear();
        EXPECT_FALSE(b.service.restore(path)) << c.name;
        ASSERT_EQ(b.presenter.shown().size(), 1u) << c.name;
        EXPECT_EQ(b.presenter.shown()[0].title, "復元の拒否") << c.name;
        EXPECT_TRUE(b.presenter.shown()[0].text.contains(path)) << c.name;
        EXPECT_EQ(dumpBook(b.main()), before) << c.name;
    }
}

TEST(Backup, AFailedBackupIsToldAndTheCommandGoesOnOnlyWhenTheUserSaysSo)
{
    OpenBook b;
    fillBook(b.main());
    // A file stands where the backup folder belongs: no backup can be made.
    QFile blocker(QDir(b.dir.path()).filePath("backup"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    b.presenter.pushAnswer(false);
    EXPECT_FALSE(b.service.beforeDestructive(Reason::AllDelete));
    ASSERT_EQ(b.presenter.shown().size(), 1u);
    EXPECT_EQ(b.presenter.shown()[0].title, "バックアップの失敗");
    EXPECT_EQ(b.presenter.shown()[0].kind, messages::BoxKind::AskDefaultNo);
    b.presenter.pushAnswer(true);
    EXPECT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    // No backup, so nothing to undo.
    b.service.destructiveDone(Reason::AllDelete);
    EXPECT_FALSE(b.service.undoAvailable());
}

TEST(Backup, UndoIsOfferedUntilAnythingElseIsStoredThroughEitherConnection)
{
    for (int how = 0; how < 3; ++how) {
        OpenBook b;
        fillBook(b.main());
        const QString before = dumpBook(b.main());
        ASSERT_TRUE(b.service.beforeDestructive(Reason::LineDelete));
        store::exec(b.session->workDb(), "DELETE FROM mainfile.支払予定表 WHERE 行番号 = 2");
        b.service.destructiveDone(Reason::LineDelete);
        EXPECT_TRUE(b.service.undoAvailable());
        EXPECT_EQ(b.service.undoText(), "行削除");
        // Reading and sheet edits do not count as storing.
        store::scalar(b.main(), "SELECT count(*) FROM 支払予定表");
        store::exec(b.session->workDb(), "INSERT INTO InpWork (行番号) VALUES (1)");
        EXPECT_TRUE(b.service.undoAvailable());
        if (how == 0) {
            b.presenter.setDefaultAnswer(true);
            EXPECT_TRUE(b.service.undo());
            EXPECT_EQ(dumpBook(b.main()), before);
            EXPECT_FALSE(b.service.undoAvailable());
            continue;
        }
        if (how == 1)
            store::exec(b.main(), "UPDATE 自社情報 SET LineColor1 = 1");
        else
            store::exec(b.session->workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('x')");
        EXPECT_FALSE(b.service.undoAvailable()) << how;
        EXPECT_FALSE(b.service.undo());
    }
}

TEST(Backup, TheUndoOfferLapsesByItselfOnceAStoreOnEitherConnectionIsCommitted)
{
    for (const bool throughWork : {false, true}) {
        OpenBook b;
        fillBook(b.main());
        ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
        store::exec(b.main(), "DELETE FROM 支払予定表");
        b.service.destructiveDone(Reason::AllDelete);
        QSignalSpy changed(&b.service, &BackupService::undoChanged);
        // A sheet edit in the work file is no store: the offer stands.
        store::exec(b.session->workDb(), "INSERT INTO InpWork (行番号) VALUES (1)");
        QCoreApplication::processEvents();
        EXPECT_TRUE(b.service.undoOffered());
        EXPECT_EQ(changed.count(), 0);
        // Nobody asks again: the commit itself has the offer withdrawn and announced.
        store::exec(throughWork ? b.session->workDb() : b.main(), throughWork ? "INSERT INTO mainfile.支払先マスタ VALUES ('x')" : "INSERT INTO 支払先マスタ VALUES ('x')");
        EXPECT_TRUE(b.service.undoOffered()) << "looked at once the event loop has the hand";
        QCoreApplication::processEvents();
        EXPECT_FALSE(b.service.undoOffered()) << throughWork;
        EXPECT_EQ(changed.count(), 1);
    }
}

TEST(Backup, RotationOverAYearKeepsTheLatestTwentyTheLastOfEachMonthAndTheCopyJustMade)
{
    OpenBook b;
    fillBook(b.main(), 1);
    // What the user keeps in the folder is no backup: the rotation leaves it alone.
    QDir().mkpath(b.service.folder().path());
    const QString note = QDir(b.service.folder().path()).filePath("メモ.txt");
    const QString foreignRecord = QDir(b.service.folder().path()).filePath("Quorel1_old.mdb.sha256");
    for (const QString& path : {note, foreignRecord}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("mine");
    }
    std::map<int, QDateTime> newestOfMonth;
    const auto made = [&] { newestOfMonth[b.now.date().year() * 12 + b.now.date().month()] = b.now; };
    int count = 0;
    for (int day = 0; day < 400; day += 2) {
        b.now = QDateTime(QDate(2026, 1, 1).addDays(day), QTime(8, 0));
        b.service.atStart();
        b.service.atStart(); // a second start the same day makes none
        made();
        ++count;
        if (day % 9 == 0) {
            b.now = b.now.addSecs(3600);
            ASSERT_TRUE(b.service.beforeDestructive(day % 2 ? Reason::LineDelete : Reason::AllDelete));
            made();
            ++count;
            const auto list = b.service.folder().list();
            ASSERT_EQ(list.front().made, b.now);
            ASSERT_TRUE(QFileInfo::exists(list.front().path));
        }
        if (day % 4 == 0) {
            b.now = b.now.addSecs(7200);
            store::exec(b.main(), "UPDATE 自社情報 SET LineColor1 = ?", {day});
            b.service.atShutdown();
            made();
            ++count;
        }
        b.service.atShutdown(); // unchanged since: none
    }
    const auto list = b.service.folder().list();
    const QDate today = b.now.date();
    // The newest 20, plus the newest of each earlier month of the last 12, nothing else.
    ASSERT_GE(list.size(), 20u);
    EXPECT_LE(list.size(), 31u);
    EXPECT_EQ(list.front().made, b.now);
    for (int back = 0; back < 12; ++back) {
        const QDate month = today.addMonths(-back);
        const QDateTime newest = newestOfMonth[month.year() * 12 + month.month()];
        const bool kept = std::any_of(list.begin(), list.end(), [&](const BackupEntry& e) { return e.made == newest; });
        EXPECT_TRUE(kept) << month.toString("yyyy-MM").toStdString();
    }
    EXPECT_GE(list.back().made.date(), QDate(today.year(), today.month(), 1).addMonths(-11));
    // Each backup kept has its record, and each one dropped took its record with it.
    for (const BackupEntry& entry : list)
        EXPECT_EQ(checkDigest(entry.path), DigestState::Matches) << entry.path.toStdString();
    const QStringList records = QDir(b.service.folder().path()).entryList({"Quorel1_*.mdb.sha256"}, QDir::Files);
    EXPECT_EQ(records.size(), qsizetype(list.size()) + 1);
    EXPECT_TRUE(records.contains("Quorel1_old.mdb.sha256"));
    EXPECT_TRUE(QFile::exists(note));
    std::printf("[ rotation ] %d backups made over 400 days, %zu kept\n", count, list.size());
}

TEST(Backup, TheBalanceChainCheckFindsTheFirstStoredLineThatDoesNotFollow)
{
    OpenBook b;
    fillBook(b.main());
    EXPECT_FALSE(ledger::findChainBreak(b.main()));
    // A null amount makes a null balance and leaves the running balance as it was.
    store::exec(b.main(), "UPDATE 支払予定表 SET 支払額 = NULL, 残高 = NULL WHERE 日付 = '2025-02-02'");
    store::exec(b.main(), "UPDATE 支払予定表 SET 残高 = 残高 - 17020000 WHERE 日付 > '2025-02-02'");
    EXPECT_FALSE(ledger::findChainBreak(b.main()));
    store::exec(b.main(), "UPDATE 支払予定表 SET 残高 = 残高 + 1 WHERE 日付 = '2025-04-03'");
    const auto broken = ledger::findChainBreak(b.main());
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->date, QDate(2025, 4, 3));
    EXPECT_EQ(broken->lineNumber, 3);
    EXPECT_EQ(broken->checkedLines, 14);
}

TEST(Backup, ACopyACrashCutShortIsClearedAwayAtTheNextStartAndFinishedOnesStay)
{
    OpenBook b;
    ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    const QDir folder(b.service.folder().path());
    // A copy cut short, the record written for it, a record cut short while written.
    for (const char* left : {"Quorel1_20261206-101010_daily.mdb.part", "Quorel1_20261206-101010_daily.mdb.part-journal", "mine.mdb.part",
             "Quorel1_20261206-101010_daily.mdb.sha256", ".Quorel1_20261206-101010_daily.mdb.sha256.a1B2c3", "mine.mdb.sha256", "Quorel1_old.mdb.sha256"}) {
        QFile file(folder.filePath(left));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("half");
    }
    b.service.atStart();
    EXPECT_EQ(folder.entryList({"*.part*"}, QDir::Files), QStringList{"mine.mdb.part"}) << "only the program's own leftovers go";
    const QString madeRecord = QFileInfo(digestPathOf(b.service.folder().list().front().path)).fileName();
    QStringList records = folder.entryList({"*.sha256*"}, QDir::Files | QDir::Hidden);
    records.sort();
    EXPECT_EQ(records, (QStringList{madeRecord, "Quorel1_old.mdb.sha256", "mine.mdb.sha256"}));
    // The day's copy is due, made on a thread of its own once started, and taken in by
    // the event loop.
    EXPECT_TRUE(b.service.dailyPending());
    EXPECT_EQ(b.service.folder().list().size(), 1u);
    b.service.startDaily();
    QTRY_VERIFY_WITH_TIMEOUT(!b.service.dailyPending(), 10000);
    EXPECT_EQ(b.service.folder().list().size(), 2u);
    EXPECT_EQ(b.service.folder().list().front().reason, Reason::Daily);
    EXPECT_FALSE(checkBookFile(b.service.folder().list().front().path));
    // A second start of the day makes none.
    b.service.atStart();
    EXPECT_FALSE(b.service.dailyPending());
}

TEST(Backup, BackupsAndTheFilesARescuePutsInPlaceAreTheOwnersAlone)
{
    const mode_t previous = ::umask(022);
    OpenBook b;
    fillBook(b.main());
    ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    const auto modeOf = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? unsigned(st.st_mode & 07777) : 01000000u;
    };
    const QString made = b.service.folder().list().front().path;
    EXPECT_EQ(modeOf(b.service.folder().path()), 0700u);
    EXPECT_EQ(modeOf(made), 0600u);
    // A main file replaced by a backup at start-up, and the copy of the unusable one.
    b.session->close();
    ASSERT_FALSE(replaceMainFile(b.dir.mainPath(), made, b.service.folder(), b.now.addSecs(60)));
    EXPECT_EQ(modeOf(b.dir.mainPath()), 0600u);
    for (const BackupEntry& entry : b.service.folder().list())
        EXPECT_EQ(modeOf(entry.path), 0600u) << entry.path.toStdString();
    ::umask(previous);
}

TEST(Backup, ARestoreReplacesAMainFileThatFailedItsCheckAndTheFilesTakeWritesAgain)
{
    OpenBook b;
    fillBook(b.main());
    const QString before = dumpBook(b.main());
    ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    store::exec(b.main(), "DELETE FROM 支払予定表");
    b.session->refuseWrites(b.session->mainPath());
    b.presenter.setDefaultAnswer(true);
    ASSERT_TRUE(b.service.restore(b.service.folder().list().back().path));
    EXPECT_EQ(dumpBook(b.main()), before);
    EXPECT_TRUE(b.session->writesRefusedFor().isEmpty());
    EXPECT_EQ(store::exec(b.main(), "INSERT INTO 支払先マスタ VALUES ('again')"), 1);
}

TEST(Backup, ABackupWhoseBalancesDoNotFollowItsAmountsIsNamedBeforeARestoreAndAFolderThatTakesNoWritesIsNamed)
{
    OpenBook b;
    fillBook(b.main());
    ASSERT_TRUE(b.service.beforeDestructive(Reason::AllDelete));
    const QString path = b.service.folder().list().front().path;
    EXPECT_FALSE(chainBreakOf(path)) << "a backup of a sound book";
    {
        // A damaged amount: the file itself is sound, its balances no longer follow.
        SQLite::Database copy(path.toStdString(), SQLite::OPEN_READWRITE);
        copy.exec("UPDATE 支払予定表 SET 予定額 = 予定額 + 1 WHERE 日付 = '2025-03-02'");
    }
    // As a backup of a book whose amount was already damaged: recorded as it is.
    ASSERT_TRUE(writeDigest(path, {{path, QFileInfo(path).fileName()}}).isEmpty());
    const auto broken = chainBreakOf(path);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->date, QDate(2025, 3, 2));
    store::exec(b.main(), "DELETE FROM 支払予定表 WHERE 日付 >= '2025-06-01'");
    const QString before = dumpBook(b.main());
    b.presenter.clear();
    b.presenter.pushAnswer(false);
    EXPECT_FALSE(b.service.restore(path));
    ASSERT_EQ(b.presenter.shown().size(), 1u);
    EXPECT_EQ(b.presenter.shown()[0].title, "残高の確認");
    EXPECT_EQ(b.presenter.shown()[0].kind, messages::BoxKind::AskDefaultNo);
    EXPECT_TRUE(b.presenter.shown()[0].text.contains(describeBreak(*broken))) << b.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(dumpBook(b.main()), before);
    b.presenter.clear();
    b.presenter.setDefaultAnswer(true);
    EXPECT_TRUE(b.service.restore(path)) << "restored when the user insists";
    EXPECT_TRUE(ledger::findChainBreak(b.main()));

    // A backup folder the program may not write to is named, in Japanese.
    QFile::setPermissions(b.service.folder().path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(b.service.folder().path()).isWritable())
        GTEST_SKIP() << "running with rights that ignore the folder's permissions";
    const BackupResult refused = makeBackup(b.main(), b.service.folder(), b.now, Reason::Daily);
    QFile::setPermissions(b.service.folder().path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.reason.startsWith(QDir::toNativeSeparators(b.service.folder().path()))) << refused.reason.toStdString();
    EXPECT_FALSE(refused.reason.contains("unable to open")) << refused.reason.toStdString();
}

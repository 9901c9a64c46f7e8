// Each backup carries the record of its bytes: a backup changed afterwards, by even one bit,
// is named damaged wherever a restore would take it; one without a record is unverified.

#include "BackupCheck.h"
#include "BackupFolder.h"
#include "BackupInspector.h"
#include "BackupService.h"
#include "BookFixture.h"
#include "Digest.h"
#include "Msg.h"
#include "Schema.h"
#include "SmallDisk.h"
#include "StartupRescue.h"
#include "TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using namespace backup;

namespace {

// Replaces every occurrence of `from` in a file by `to` (of the same length), in place, as
// a disk or a copy tool that changes bits would: the file keeps its size and its name.
int replaceEvery(const QString& path, const QByteArray& from, const QByteArray& to)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return 0;
    QByteArray bytes = file.readAll();
    int count = 0;
    for (qsizetype at = bytes.indexOf(from); at >= 0; at = bytes.indexOf(from, at + 1), ++count)
        bytes.replace(at, to.size(), to);
    file.seek(0);
    file.write(bytes);
    return count;
}

void fillPayees(SQLite::Database& main)
{
    store::exec(main, "INSERT INTO 支払先マスタ VALUES ('Payee01'), ('Payee02'), ('Payee03'), ('Payee04')");
    store::exec(main, "INSERT INTO 支払先口座 (支払先名, 銀行番号, 支店番号, 預金種目, 口座番号, 口座名義) VALUES ('Payee01', '0001', '123', 1, '7654321', 'ﾍﾟｲｰ')");
}

QString accountsAndPayees(SQLite::Database& db)
{
    return store::scalar(db, "SELECT (SELECT group_concat(口座番号) FROM 支払先口座) || ' # ' || (SELECT group_concat(支払先名) FROM (SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid))").toString();
}

std::vector<QString> titles(const messages::ScriptedMessagePresenter& presenter)
{
    std::vector<QString> out;
    for (const auto& box : presenter.shown())
        out.push_back(box.title);
    return out;
}

} // namespace

TEST(BackupDigest, OneFlippedBitInAnAccountNumberAndInAPayeeNameIsNamedDamagedAndRestoredOnlyWhenInsisted)
{
    OpenBook b;
    fillBook(b.main());
    fillPayees(b.main());
    const QString path = b.backUp();
    EXPECT_EQ(checkDigest(path), DigestState::Matches);
    // One bit each: '1' (0x31) becomes '0', '3' (0x33) becomes '2'; the payee's name is in
    // its table and its index alike, so the engine's own check still passes.
    ASSERT_EQ(replaceEvery(path, "7654321", "7654320"), 1);
    ASSERT_EQ(replaceEvery(path, "Payee03", "Payee02"), 2);
    EXPECT_FALSE(checkBookFile(path)) << "the engine sees nothing wrong";
    EXPECT_FALSE(chainBreakOf(path)) << "nor does the balance chain";
    const BackupCondition found = *inspectBackup(path);
    EXPECT_EQ(found.verdict(), BackupCondition::Verdict::Damaged);
    EXPECT_EQ(conditionText(found), "破損（作成時の記録と不一致）");

    store::exec(b.main(), "DELETE FROM 支払先口座");
    const QString before = dumpBook(b.main()) + accountsAndPayees(b.main());
    const size_t backups = b.service.folder().list().size();
    b.presenter.pushAnswer(false);
    EXPECT_FALSE(b.service.restore(path));
    ASSERT_EQ(b.presenter.shown().size(), 1u);
    const messages::MessageBoxSpec& box = b.presenter.shown()[0];
    EXPECT_EQ(box.title, "バックアップの破損");
    EXPECT_EQ(box.kind, messages::BoxKind::AskDefaultNo);
    EXPECT_TRUE(box.text.contains("内容が作成時に記録したものと一致しません")) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(describe(b.service.folder().list().front()))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(path))) << box.text.toStdString();
    EXPECT_EQ(dumpBook(b.main()) + accountsAndPayees(b.main()), before);
    EXPECT_EQ(b.service.folder().list().size(), backups) << "refused before anything was kept";

    // Insisted on, it is restored as it is now, flipped bits and all.
    b.presenter.clear();
    b.presenter.pushAnswer(true);
    b.presenter.pushAnswer(true);
    ASSERT_TRUE(b.service.restore(path));
    EXPECT_EQ(titles(b.presenter), (std::vector<QString>{"バックアップの破損", "復元の確認", "復元完了"}));
    EXPECT_EQ(accountsAndPayees(b.main()), "7654320 # 支払先A,支払先B,O'Brien,Payee01,Payee02,Payee02,Payee04");

    // The undo of 全削除 takes its backup only as recorded, too.
    const QString undoPath = b.backUp(Reason::AllDelete);
    store::exec(b.main(), "DELETE FROM 支払予定表");
    b.service.destructiveDone(Reason::AllDelete);
    ASSERT_EQ(replaceEvery(undoPath, "7654320", "7654321"), 1);
    b.presenter.clear();
    b.presenter.pushAnswer(false);
    EXPECT_FALSE(b.service.undo());
    EXPECT_EQ(titles(b.presenter), std::vector<QString>{"バックアップの破損"});
    EXPECT_EQ(store::scalar(b.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 0);
}

TEST(BackupDigest, TheConditionOfABackupIsWhatARestoreWouldFind)
{
    OpenBook b;
    fillBook(b.main());
    const QString other = b.backUp();
    struct Case {
        const char* name;
        std::function<void(const QString&)> change;
        BackupCondition::Verdict verdict;
        const char* text;
    };
    const auto noRecord = [](const QString& p) { QFile::remove(digestPathOf(p)); };
    const auto writeRecord = [](const QString& p, const QByteArray& text) {
        QFile f(digestPathOf(p));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    };
    using V = BackupCondition::Verdict;
    const Case cases[] = {
        {"as made", [](const QString&) {}, V::Sound, "正常"},
        {"made by an earlier version", noRecord, V::Unverified, "未検証（作成時の記録なし）"},
        {"a byte of a page changed", [](const QString& p) { replaceEvery(p, "支払先3-2", "支払先3-3"); }, V::Damaged, "破損（作成時の記録と不一致）"},
        {"record garbled", [&](const QString& p) { writeRecord(p, "not a digest\n"); }, V::Damaged, "破損（作成時の記録と不一致）"},
        {"record empty", [&](const QString& p) { writeRecord(p, ""); }, V::Damaged, "破損（作成時の記録と不一致）"},
        {"record of another backup", [&](const QString& p) { QFile::remove(digestPathOf(p)); QFile::copy(digestPathOf(other), digestPathOf(p)); }, V::Damaged, "破損（作成時の記録と不一致）"},
        {"file gone from under its record", [](const QString& p) { QFile::remove(p); }, V::Damaged, "破損（作成時の記録と不一致、復元できないファイル）"},
        {"no record, balance broken", [&](const QString& p) {
             noRecord(p);
             SQLite::Database copy(p.toStdString(), SQLite::OPEN_READWRITE);
             copy.exec("UPDATE 支払予定表 SET 残高 = 残高 + 1 WHERE 日付 = '2025-03-02'");
         }, V::Damaged, "破損（残高 2025/03/02 の行 2）"},
    };
    for (const Case& c : cases) {
        const QString path = b.backUp();
        c.change(path);
        const BackupCondition found = *inspectBackup(path);
        EXPECT_EQ(found.verdict(), c.verdict) << c.name;
        EXPECT_EQ(conditionText(found), QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(found.summary.has_value(), QFile::exists(path)) << c.name;
    }
}

TEST(BackupDigest, ABackupARestoreCouldNotBringUpToDateIsNamedAndRefusedBeforeAnythingIsReplaced)
{
    OpenBook b;
    fillBook(b.main());
    // Books of versions in between, each recorded as made: a table where the program puts
    // one of its indexes, and a later table without a column the program reads.
    struct Case {
        const char* name;
        const char* change;
        const char* engine;
    };
    const Case cases[] = {
        {"a table in the place of an index", "DROP INDEX 振込記録_振込指定日; CREATE TABLE 振込記録_振込指定日 (x)", "振込記録_振込指定日"},
        {"a table without a column", "DROP TABLE 支払日規則; CREATE TABLE 支払日規則 (支払先名 TEXT PRIMARY KEY, 支払日 INTEGER)", "休日"},
    };
    for (const Case& c : cases) {
        b.main().exec(c.change);
        const QString path = b.backUp();
        b.main().exec("DROP TABLE IF EXISTS 振込記録_振込指定日; DROP TABLE 支払日規則");
        store::upgradeDataFile(b.main(), store::DataFile::Main);
        ASSERT_EQ(checkDigest(path), DigestState::Matches) << c.name;

        const BackupCondition found = *inspectBackup(path);
        EXPECT_EQ(found.verdict(), BackupCondition::Verdict::Damaged) << c.name;
        EXPECT_EQ(conditionText(found), "破損（復元できないファイル）") << c.name;
        ASSERT_TRUE(found.unusable) << c.name;
        EXPECT_TRUE(found.unusable->contains(QString::fromUtf8(c.engine))) << found.unusable->toStdString();

        const QString before = dumpBook(b.main());
        b.presenter.clear();
        b.presenter.setDefaultAnswer(true);
        EXPECT_FALSE(b.service.restore(path)) << c.name;
        EXPECT_EQ(titles(b.presenter), std::vector<QString>{"復元の拒否"}) << c.name;
        EXPECT_EQ(dumpBook(b.main()), before) << c.name;
        EXPECT_EQ(store::scalar(b.main(), "SELECT count(*) FROM sqlite_master WHERE name = '振込記録_振込指定日' AND type = 'index'").toLongLong(), 1) << c.name;
    }
}

TEST(BackupDigest, AnUnverifiedBackupIsRestoredWithTheOrdinaryQuestionAndTheRescueSkipsDamagedOnes)
{
    OpenBook b;
    fillBook(b.main());
    const QString sound = b.backUp();
    const QString unverified = b.backUp();
    const QString damaged = b.backUp();
    QFile::remove(digestPathOf(unverified));
    replaceEvery(damaged, "支払先A", "支払先@");
    ASSERT_FALSE(checkBookFile(damaged));

    const auto newest = newestGoodBackup(b.service.folder());
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->entry.path, unverified);
    EXPECT_TRUE(newest->unverified);
    QFile::rename(unverified, unverified + ".aside");
    const auto older = newestGoodBackup(b.service.folder());
    ASSERT_TRUE(older);
    EXPECT_EQ(older->entry.path, sound);
    EXPECT_FALSE(older->unverified);
    QFile::rename(unverified + ".aside", unverified);

    store::exec(b.main(), "DELETE FROM 支払予定表");
    b.presenter.setDefaultAnswer(true);
    ASSERT_TRUE(b.service.restore(unverified));
    EXPECT_EQ(titles(b.presenter), (std::vector<QString>{"復元の確認", "復元完了"}));
    EXPECT_EQ(store::scalar(b.main(), "SELECT count(*) FROM 支払予定表").toLongLong(), 24);
}

TEST(BackupDigest, ARecordThatCannotBeWrittenLeavesNoBackupBehind)
{
    OpenBook b;
    fillBook(b.main());
    SmallDisk disk(1024);
    if (!disk.available())
        GTEST_SKIP() << "mounting a small file system needs the right to mount";
    const BackupFolder folder(disk.path());
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    // Room for the copy of the book, to the page, and not one page more for its record.
    const qint64 bookSize = QFileInfo(b.dir.mainPath()).size();
    disk.fill();
    QFile filler(disk.filePath("filler"));
    ASSERT_GT(filler.size(), bookSize);
    ASSERT_TRUE(filler.resize(filler.size() / 4096 * 4096 - bookSize));

    const BackupResult result = makeBackup(b.main(), folder, b.now, Reason::AllDelete);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, messages::messageText(messages::MsgId::その他_空きなし));
    EXPECT_TRUE(folder.list().empty());
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();

    // With room again, the same backup is made whole, with its record.
    ASSERT_TRUE(filler.resize(0));
    const BackupResult made = makeBackup(b.main(), folder, b.now, Reason::AllDelete);
    ASSERT_TRUE(made.ok) << made.reason.toStdString();
    EXPECT_EQ(checkDigest(made.path), DigestState::Matches);
}

TEST(BackupDigest, TheInspectorReadsEachBackupOnceAndAgainOnceItChanged)
{
    OpenBook b;
    fillBook(b.main());
    const QString first = b.backUp();
    const QString second = b.backUp();
    QStringList announced;
    BackupInspector inspector;
    QObject::connect(&inspector, &BackupInspector::inspected, [&](const QString& path) { announced << path; });
    inspector.inspect({first, second});
    EXPECT_TRUE(inspector.busy());
    EXPECT_FALSE(inspector.known(first));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !inspector.busy(); }, 10000));
    EXPECT_EQ(announced, (QStringList{first, second}));
    ASSERT_TRUE(inspector.known(second));
    EXPECT_EQ(inspector.known(second)->verdict(), BackupCondition::Verdict::Sound);
    EXPECT_EQ(inspector.known(second)->summary->storedLines, 24);

    inspector.inspect({first, second});
    EXPECT_FALSE(inspector.busy()) << "what is known is not read again";
    replaceEvery(second, "支払先A", "支払先@");
    EXPECT_FALSE(inspector.known(second)) << "what was found in a file changed since no longer holds";
    inspector.inspect({first, second});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !inspector.busy(); }, 10000));
    EXPECT_EQ(announced.size(), 3);
    EXPECT_EQ(inspector.known(second)->verdict(), BackupCondition::Verdict::Damaged);
    EXPECT_EQ(inspector.known(first)->verdict(), BackupCondition::Verdict::Sound);

    // Going away while it reads, it stops and waits for its thread.
    auto leaving = std::make_unique<BackupInspector>();
    leaving->inspect({first, second});
    leaving.reset();
}

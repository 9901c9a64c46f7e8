// kill -9 of the real program at many moments of a restore started from the settings
// page: the next start finds the book as it was before the restore or as the backup holds
// it, never a mix, and the file is sound.
#include "ProgramUnderX.h"

#include "Sql.h"
#include "TempDataDir.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Where the settings page's controls stand in the window (same measure as SheetLayout).
const QPoint kSettingsTab(266, 18);
const QPoint kSecondBackup(89, 342);
const QPoint kRestoreButton(873, 311);
constexpr int kLines = 200000;
constexpr int kKills = 12;

// A book of kLines stored lines with their balances; `shift` makes the amounts and payees
// of another book.
void fillBook(const QString& mainPath, int shift)
{
    SQLite::Database db(mainPath.toStdString(), SQLite::OPEN_READWRITE);
    db.exec("BEGIN");
    SQLite::Statement insert(db, "INSERT INTO 支払予定表 VALUES (?, ?, ?, ?, ?, ?)");
    const QDate first(2000, 1, 1);
    int64_t balance = 0;
    for (int i = 0; i < kLines; ++i) {
        balance += static_cast<int64_t>((i % 13 + shift) * 10000);
        insert.bind(1, first.addDays(i / 6).toString(Qt::ISODate).toStdString());
        insert.bind(2, i % 6 + 1);
        insert.bind(3, QStringLiteral("支払先%1-%2").arg(shift).arg(i % 97).toStdString());
        insert.bind(4, static_cast<int64_t>((i % 13 + shift) * 10000));
        insert.bind(5, static_cast<int64_t>(0));
        insert.bind(6, balance);
        insert.exec();
        insert.reset();
    }
    db.exec(QStringLiteral("INSERT INTO 支払先マスタ VALUES ('book %1')").arg(shift).toStdString());
    db.exec("COMMIT");
}

// What tells the two books apart, and whether the file is sound: opened for writing, so
// that a journal left by the kill is rolled back first, as the program's next start does.
QString bookState(const QString& mainPath)
{
    SQLite::Database db(mainPath.toStdString(), SQLite::OPEN_READWRITE);
    const QString check = store::scalar(db, "PRAGMA integrity_check").toString();
    const auto row = store::queryRows(db, "SELECT count(*), sum(予定額), group_concat(DISTINCT substr(支払先名, 1, 5)) FROM 支払予定表").front();
    const QString payees = store::scalar(db, "SELECT group_concat(支払先名) FROM 支払先マスタ").toString();
    return QStringLiteral("%1 %2 %3 %4 [%5]").arg(check, row[0].toString(), row[1].toString(), row[2].toString(), payees);
}

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to + QStringLiteral("/backup"));
    for (const QString& name : {QStringLiteral("Quorel1.mdb"), QStringLiteral("Quorel1Work.mdb")})
        QFile::copy(from + name, to + QLatin1Char('/') + name);
    for (const QString& name : QDir(from + QStringLiteral("backup")).entryList(QDir::Files))
        QFile::copy(from + QStringLiteral("backup/") + name, to + QStringLiteral("/backup/") + name);
}

// Starts the program on the folder, chooses the older backup on the settings page, presses
// 復元 and answers はい; answers the milliseconds since はい was sent, or -1.
qint64 startRestore(ProgramUnderX& program, QElapsedTimer& sinceYes)
{
    Input choose;
    choose.click(kSettingsTab).click(kSecondBackup).click(kRestoreButton);
    if (!program.send(choose))
        return -1;
    const auto question = program.waitForDialog(QStringLiteral("復元の確認"));
    if (!question)
        return -1;
    sinceYes.start();
    return program.display().press(*question, QStringLiteral("alt+y")) ? sinceYes.elapsed() : -1;
}

} // namespace

TEST(RestoreKill, AKillAtAnyMomentOfARestoreLeavesTheOldBookOrTheRestoredOneNeverAMix)
{
    // The template: the backup holds book 1, the main file book 2, and today's backup
    // exists so that the start makes none.
    TempDataDir model;
    fillBook(model.mainPath(), 1);
    QDir().mkpath(model.filePath("backup"));
    ASSERT_TRUE(QFile::copy(model.mainPath(), model.filePath("backup/Quorel1_20260101-090000_daily.mdb")));
    {
        SQLite::Database db(model.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        db.exec("DELETE FROM 支払予定表");
        db.exec("DELETE FROM 支払先マスタ");
    }
    fillBook(model.mainPath(), 2);
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    ASSERT_TRUE(QFile::copy(model.mainPath(), model.filePath(QStringLiteral("backup/Quorel1_%1-000001_daily.mdb").arg(today))));
    const QString restored = bookState(model.filePath("backup/Quorel1_20260101-090000_daily.mdb"));
    const QString old = bookState(model.mainPath());
    ASSERT_NE(restored, old);

    // One whole restore: how long it takes from はい to its notice.
    QTemporaryDir root;
    qint64 whole = 0;
    {
        const QString folder = root.filePath("whole");
        copyFolder(model.path(), folder);
        ProgramUnderX program(folder + "/");
        ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString();
        QElapsedTimer sinceYes;
        ASSERT_GE(startRestore(program, sinceYes), 0) << program.screenshot("restore-start").toStdString();
        const auto done = program.waitForDialog(QStringLiteral("復元完了"), 60000);
        ASSERT_TRUE(done) << program.screenshot("restore-done").toStdString();
        whole = sinceYes.elapsed();
        program.signal(SIGKILL);
        program.waitForExit();
        EXPECT_EQ(bookState(folder + "/Quorel1.mdb"), restored);
    }
    std::printf("[ restore kill ] a whole restore of %d lines takes %lld ms from はい to its notice\n", kLines, static_cast<long long>(whole));

    // Kills spread over that time, and a little past it.
    int oldBooks = 0;
    int restoredBooks = 0;
    int journals = 0;
    for (int k = 0; k < kKills; ++k) {
        const qint64 at = whole * 11 / 10 * k / (kKills - 1);
        const QString folder = root.filePath(QStringLiteral("kill%1").arg(k));
        copyFolder(model.path(), folder);
        ProgramUnderX program(folder + "/");
        ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString();
        QElapsedTimer sinceYes;
        ASSERT_GE(startRestore(program, sinceYes), 0);
        const qint64 wait = at - sinceYes.elapsed();
        if (wait > 0)
            QThread::msleep(static_cast<unsigned long>(wait));
        ASSERT_TRUE(program.signal(SIGKILL));
        program.waitForExit();
        journals += QFile::exists(folder + "/Quorel1.mdb-journal") ? 1 : 0;
        const QString state = bookState(folder + "/Quorel1.mdb");
        EXPECT_TRUE(state == old || state == restored) << "killed " << at << " ms after はい: " << state.toStdString();
        oldBooks += state == old ? 1 : 0;
        restoredBooks += state == restored ? 1 : 0;
    }
    std::printf("[ restore kill ] %d kills: %d left the old book, %d the restored one, %d a journal to roll back\n", kKills, oldBooks, restoredBooks, journals);
    // The kills spanned the restore: some came before its end, some after.
    EXPECT_GT(oldBooks, 0);
    EXPECT_GT(restoredBooks, 0);
}

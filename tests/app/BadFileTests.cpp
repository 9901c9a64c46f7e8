#include "FaultVfs.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "DataFiles.h"
#include "MainWindow.h"
#include "Session.h"
#include "Sql.h"
#include "Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Starts on the directory and expects a refused start-up: one critical box of the
// catalogue naming the file and carrying the engine's message, exit status 1, both files
// and any journal byte for byte as they were, and nothing created in place of a missing file.
void expectRefused(TempDataDir& dir, const QString& badFile, const char* what)
{
    const QString journal = badFile + "-journal";
    const QByteArray mainBefore = TempDataDir::readAll(dir.mainPath());
    const QByteArray workBefore = TempDataDir::readAll(dir.workPath());
    const QByteArray journalBefore = TempDataDir::readAll(journal);
    const bool mainExisted = QFileInfo::exists(dir.mainPath());
    const bool workExisted = QFileInfo::exists(dir.workPath());
    MainWindowHarness w(dir);
    EXPECT_FALSE(w.start()) << what;
    EXPECT_EQ(w.outcome().exitCode, 1) << what;
    ASSERT_EQ(w.presenter.shown().size(), 1u) << what;
    const messages::MessageBoxSpec& box = w.presenter.shown().front();
    const messages::MessageBoxSpec expected = messages::findMessage(messages::MsgId::その他_起動失敗, QString());
    EXPECT_EQ(box.kind, messages::BoxKind::Critical) << what;
    EXPECT_EQ(box.title, expected.title) << what;
    EXPECT_TRUE(box.text.startsWith(expected.text)) << what << ": " << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(badFile)) << what << ": " << box.text.toStdString();
    // The engine's words come last, after a sentence that says what is wrong and what to do.
    const qsizetype detail = box.text.indexOf("\n\n詳細: ");
    ASSERT_GT(detail, 0) << what << ": " << box.text.toStdString();
    EXPECT_GT(box.text.size() - detail, 12) << "engine message missing: " << what;
    const QString sentence = box.text.left(detail).section('\n', -1);
    EXPECT_TRUE(sentence.endsWith("。") && sentence.contains("ファイル")) << what << ": " << box.text.toStdString();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), mainBefore) << what;
    EXPECT_EQ(TempDataDir::readAll(dir.workPath()), workBefore) << what;
    EXPECT_EQ(TempDataDir::readAll(journal), journalBefore) << what;
    EXPECT_EQ(QFileInfo::exists(dir.mainPath()), mainExisted) << what;
    EXPECT_EQ(QFileInfo::exists(dir.workPath()), workExisted) << what;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

} // namespace

TEST(BadFiles, MissingEmptyRandomTruncatedCorruptedAndForeignFilesAreRefusedUntouched)
{
    std::printf("[ bad files ] missing, empty, random bytes, truncated, corrupted page, foreign database, missing table, locked file\n");
    {
        TempDataDir dir;
        QDir(dir.path()).removeRecursively();
        expectRefused(dir, dir.mainPath(), "missing directory");
    }
    {
        TempDataDir dir;
        QFile::remove(dir.mainPath());
        expectRefused(dir, dir.mainPath(), "missing main file");
    }
    {
        TempDataDir dir;
        SQLite::Database(dir.workPath().toStdString(), SQLite::OPEN_READWRITE).exec("DROP TABLE ClHint");
        expectRefused(dir, dir.workPath(), "work file lacking a table");
    }
    {
        TempDataDir dir;
        writeAll(dir.mainPath(), QByteArray());
        expectRefused(dir, dir.mainPath(), "empty main file");
    }
    {
        TempDataDir dir;
        writeAll(dir.workPath(), randomBytes(8192));
        expectRefused(dir, dir.workPath(), "random work file");
    }
    {
        TempDataDir dir;
        {
            SQLite::Database db(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
            db.exec("BEGIN");
            for (int i = 0; i < 3000; ++i)
                db.exec(QStringLiteral("INSERT INTO 支払予定表 VALUES ('2005-01-%1', %2, 'payee %2', 10000, 0, 10000)").arg(1 + i % 28, 2, 10, QChar('0')).arg(i).toStdString());
            db.exec("COMMIT");
        }
        const QByteArray whole = TempDataDir::readAll(dir.mainPath());
        writeAll(dir.mainPath(), whole.left(whole.size() / 2));
        expectRefused(dir, dir.mainPath(), "truncated main file");

        QByteArray corrupted = whole;
        const int page = 4096;
        for (int i = 0; i < page; ++i)
            corrupted[corrupted.size() / 2 / page * page + i] = static_cast<char>(0xA5);
        // A page of an older file, which gets the later additions at its first open, is
        // checked before anything is written to it.
        writeAll(dir.mainPath(), corrupted);
        {
            SQLite::Database older(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
            older.exec("DROP INDEX \"支払先マスタ_支払先名\"");
        }
        expectRefused(dir, dir.mainPath(), "corrupted page of an older file");
    }
    {
        TempDataDir dir;
        QFile::remove(dir.mainPath());
        {
            SQLite::Database other(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            other.exec("CREATE TABLE invoices (id INTEGER PRIMARY KEY, total REAL)");
        }
        expectRefused(dir, dir.mainPath(), "another program's database");
    }
    {
        TempDataDir dir;
        SQLite::Database holder(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        holder.exec("BEGIN EXCLUSIVE");
        holder.exec("INSERT INTO 支払先マスタ VALUES ('held')");
        const QByteArray journal = TempDataDir::readAll(dir.mainPath() + "-journal");
        expectRefused(dir, dir.mainPath(), "file locked by another connection");
        holder.exec("ROLLBACK");
    }
}

TEST(BadFiles, ALostWorkFileIsMadeAgainOnlyWhenTheUserAgreesAndTheBookKeepsItsLines)
{
    TempDataDir dir;
    store::exec(*store::openDataFile(dir.mainPath(), store::DataFile::Main),
        "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES ('2026-05-07', 1, '家賃', 10000, 0, -10000)");
    ASSERT_TRUE(QFile::remove(dir.workPath()));
    {
        // Declined: the program ends and makes nothing.
        MainWindowHarness w(dir);
        w.presenter.pushAnswer(false);
        EXPECT_FALSE(w.start());
        EXPECT_EQ(w.outcome().exitCode, 1);
        ASSERT_EQ(w.presenter.shown().size(), 1u);
        const messages::MessageBoxSpec& box = w.presenter.shown().front();
        EXPECT_EQ(box.title, "作業ファイルの作成");
        EXPECT_EQ(box.kind, messages::BoxKind::AskDefaultYes);
        EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(dir.workPath()))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains("ヒントの文章は戻りません")) << box.text.toStdString();
        EXPECT_FALSE(box.text.contains("unable")) << "no engine words without a sentence before them";
        EXPECT_FALSE(QFileInfo::exists(dir.workPath()));
    }
    {
        // Agreed: a new work file from the schema, the book as it was.
        MainWindowHarness w(dir);
        w.presenter.pushAnswer(true);
        ASSERT_TRUE(w.start());
        ASSERT_EQ(w.presenter.shown().size(), 1u);
        EXPECT_NO_THROW(store::openDataFile(dir.workPath(), store::DataFile::Work));
        EXPECT_EQ(store::scalar(w.window().session().workDb(), "SELECT count(*) FROM ClHint").toLongLong(), 0);
        EXPECT_EQ(store::scalar(w.window().session().mainDb(), "SELECT 支払先名 FROM 支払予定表").toString(), "家賃");
    }
    EXPECT_EQ(store::scalar(*store::openDataFile(dir.mainPath(), store::DataFile::Main), "SELECT count(*) FROM 支払予定表").toLongLong(), 1);
}

TEST(BadFiles, ReadOnlyFileAndDirectoryAreRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not bind the superuser";
    {
        TempDataDir dir;
        QFile::setPermissions(dir.mainPath(), QFile::ReadOwner);
        expectRefused(dir, dir.mainPath(), "read-only main file");
    }
    {
        TempDataDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        MainWindowHarness w(dir);
        EXPECT_FALSE(w.start());
        EXPECT_EQ(w.outcome().exitCode, 1);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(BadFiles, ManyRandomByteStringsAsTheMainFileNeverCrashOrChange)
{
    TempDataDir dir;
    const QByteArray header("SQLite format 3\0", 16);
    int tried = 0;
    for (int i = 0; i < 120; ++i) {
        const int size = QRandomGenerator::global()->bounded(1, 3 * 4096);
        QByteArray bytes = randomBytes(size);
        if (i % 2 == 0)
            bytes = header + bytes; // past the magic, into the page parser
        writeAll(dir.mainPath(), bytes);
        MainWindowHarness w(dir);
        ASSERT_FALSE(w.start()) << "random file " << i << " was accepted";
        ASSERT_EQ(w.outcome().exitCode, 1);
        ASSERT_EQ(TempDataDir::readAll(dir.mainPath()), bytes) << "random file " << i << " was changed";
        ++tried;
    }
    std::printf("[ fuzz ] %d random main files refused unchanged\n", tried);
}

TEST(BadFiles, AJournalLeftByACrashIsRolledBackAtStartUpSoTheFileHoldsItsLastCommittedState)
{
    TempDataDir dir;
    seed::storePayees(dir, {"committed"});
    FaultVfs vfs;
    long total = 0;
    const QByteArray before = TempDataDir::readAll(dir.mainPath());
    auto interruptedWrite = [&](const std::function<void()>& arm) {
        auto session = store::Session::open(dir.path());
        arm();
        try {
            store::Transaction tx(session->mainDb());
            store::exec(session->mainDb(), "DELETE FROM 支払先マスタ");
            for (int i = 0; i < 200; ++i)
                store::exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES (?)", {QString(500, QChar(u'新'))});
            tx.commit();
        } catch (const store::DbError&) {
        }
    };
    interruptedWrite([&] { vfs.clear(); });
    total = vfs.steps();
    // Cut while the file itself is being written: its journal is on disk, the file half new.
    bool journalLeft = false;
    for (long cut = total - 1; cut > 1 && !journalLeft; --cut) {
        QFile::remove(dir.mainPath() + "-journal");
        writeAll(dir.mainPath(), before);
        interruptedWrite([&] { vfs.powerCutAt(cut); });
        vfs.crash(false); // the program dies; what it wrote stays
        journalLeft = QFileInfo::exists(dir.mainPath() + "-journal") && TempDataDir::readAll(dir.mainPath()) != before;
    }
    ASSERT_TRUE(journalLeft);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.start());
    EXPECT_TRUE(w.presenter.shown().empty());
    auto& main = w.mainDb();
    EXPECT_EQ(w.storedPayees(), QStringList{"committed"});
    EXPECT_EQ(store::scalar(main, "PRAGMA integrity_check").toString(), "ok");
    EXPECT_FALSE(QFileInfo::exists(dir.mainPath() + "-journal"));
}

TEST(BadFiles, ADamagedPageIsFoundOnceTheWindowShowsAndEveryWriteIsRefusedFromThen)
{
    TempDataDir dir;
    {
        SQLite::Database db(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        db.exec("BEGIN");
        for (int i = 0; i < 3000; ++i)
            db.exec(QStringLiteral("INSERT INTO 支払予定表 VALUES ('2005-01-%1', %2, 'payee %2', 10000, 0, 10000)").arg(1 + i % 28, 2, 10, QChar('0')).arg(i).toStdString());
        db.exec("COMMIT");
    }
    QByteArray bytes = TempDataDir::readAll(dir.mainPath());
    for (int i = 0; i < 4096; ++i)
        bytes[bytes.size() / 2 / 4096 * 4096 + i] = static_cast<char>(0xA5);
    writeAll(dir.mainPath(), bytes);

    // The start does not read the whole file: the window comes up without a box.
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.start());
    EXPECT_TRUE(w.presenter.shown().empty()) << w.lastBox().toStdString();
    // Once it shows, the check finds the page, says so, and the files take no more writes.
    ASSERT_TRUE(w.show());
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    const messages::MessageBoxSpec& box = w.presenter.shown().front();
    EXPECT_EQ(box.title, "データファイルの傷み");
    EXPECT_EQ(box.kind, messages::BoxKind::Critical);
    EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(dir.mainPath()))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("設定・情報のページでバックアップを選んで復元してください"));
    EXPECT_EQ(w.session().writesRefusedFor(), dir.mainPath());
    EXPECT_THROW(store::exec(w.workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('x')"), store::DbError);
    EXPECT_THROW(store::exec(w.workDb(), "INSERT INTO w支払先名 VALUES ('x')"), store::DbError);
    w.close();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), bytes);
}

// Opening a data file does not read the whole file: the page check runs apart, on a
// connection of its own; only an older file is checked before it gets the later additions.
#include "DataFiles.h"
#include "Schema.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QFile>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <thread>

using namespace store;

namespace {

// A main file of 3,000 lines with a page in its middle overwritten.
QByteArray damagedBook(const TempDataDir& dir)
{
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
    QFile file(dir.mainPath());
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return bytes;
}

} // namespace

TEST(DataFileCheck, TheCheckRunsApartAndAnOlderFileIsCheckedBeforeItGetsTheIndex)
{
    TempDataDir dir;
    EXPECT_FALSE(checkDataFile(dir.mainPath()));
    EXPECT_FALSE(checkDataFile(dir.workPath()));
    const QByteArray bytes = damagedBook(dir);

    // Opened without the page check; the check, on a thread of its own while the file is
    // open here, names the damage.
    auto db = openDataFile(dir.mainPath(), DataFile::Main);
    std::optional<QString> found;
    std::thread([&] { found = checkDataFile(dir.mainPath()); }).join();
    ASSERT_TRUE(found);
    EXPECT_FALSE(found->isEmpty());
    db.reset();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), bytes);

    // A file of an earlier version (without the payee name's index) is checked first and
    // refused without a byte written; a sound one gets the index.
    {
        SQLite::Database older(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        older.exec("DROP INDEX \"支払先マスタ_支払先名\"");
        EXPECT_TRUE(lacksLaterAdditions(older, DataFile::Main));
    }
    const QByteArray olderBytes = TempDataDir::readAll(dir.mainPath());
    EXPECT_THROW(openDataFile(dir.mainPath(), DataFile::Main), StartupError);
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), olderBytes);

    TempDataDir sound;
    {
        SQLite::Database older(sound.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        older.exec("DROP INDEX \"支払先マスタ_支払先名\"");
    }
    auto upgraded = openDataFile(sound.mainPath(), DataFile::Main);
    EXPECT_FALSE(lacksLaterAdditions(*upgraded, DataFile::Main));
    EXPECT_EQ(scalar(*upgraded, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = '支払先マスタ_支払先名'").toInt(), 1);
    // The look-up of an import finds a name by the index.
    const QString plan = queryRows(*upgraded, "EXPLAIN QUERY PLAN SELECT 1 FROM 支払先マスタ WHERE 支払先名 = ?", {"x"}).front().back().toString();
    EXPECT_TRUE(plan.contains("USING COVERING INDEX 支払先マスタ_支払先名")) << plan.toStdString();

    // A file cut short is refused at the open, without reading its pages.
    TempDataDir cut;
    damagedBook(cut);
    QFile(cut.mainPath()).resize(QFile(cut.mainPath()).size() / 2);
    EXPECT_THROW(openDataFile(cut.mainPath(), DataFile::Main), StartupError);
}

TEST(DataFileCheck, ASessionCanRefuseEveryWriteToBothFilesAndTakeThemAgain)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    session->refuseWrites(dir.mainPath());
    EXPECT_EQ(session->writesRefusedFor(), dir.mainPath());
    EXPECT_THROW(exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES ('x')"), DbError);
    EXPECT_THROW(exec(session->workDb(), "INSERT INTO w支払先名 VALUES ('x')"), DbError);
    EXPECT_THROW(exec(session->workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('x')"), DbError);
    EXPECT_EQ(scalar(session->mainDb(), "SELECT count(*) FROM 支払予定表").toInt(), 0);
    session->allowWrites();
    EXPECT_TRUE(session->writesRefusedFor().isEmpty());
    EXPECT_EQ(exec(session->workDb(), "INSERT INTO mainfile.支払先マスタ VALUES ('x')"), 1);
}

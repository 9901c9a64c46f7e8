#include "DataFiles.h"
#include "Prepared.h"
#include "Schema.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "Transaction.h"

#include <QDir>
#include <QFile>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace store;

namespace {

QStringList columnsOf(SQLite::Database& db, const QString& table)
{
    QStringList names;
    for (const Row& row : queryRows(db, QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {table}))
        names << row.at(0).toString();
    return names;
}

const QStringList kSheetColumns = {"行番号", "元行番号", "表示日付", "日付", "支払先名", "予定額", "支払額", "残高", "元日付", "元支払先名"};

} // namespace

TEST(Schema, BothFilesHoldEveryTableWithItsFieldsInOrder)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& main = session->mainDb();
    auto& work = session->workDb();
    EXPECT_EQ(columnsOf(main, "支払予定表"), (QStringList{"日付", "行番号", "支払先名", "予定額", "支払額", "残高"}));
    EXPECT_EQ(columnsOf(main, "支払先マスタ"), QStringList{"支払先名"});
    EXPECT_EQ(columnsOf(main, "自社情報"), (QStringList{"年号", "支払先自動登録", "LineColor1"}));
    for (const char* sheet : {"InpWork", "InpWorkSort", "InpWork印刷"})
        EXPECT_EQ(columnsOf(work, QString::fromUtf8(sheet)), kSheetColumns) << sheet;
    EXPECT_EQ(columnsOf(work, "w支払先名"), QStringList{"支払先名"});
    EXPECT_EQ(columnsOf(work, "w支払先マスタ"), (QStringList{"チェック", "支払先名"}));
    EXPECT_EQ(columnsOf(work, "ClHint"), (QStringList{"FormName", "CtlName", "FormTitle", "Contents"}));
    EXPECT_EQ(requiredTables(DataFile::Main).size(), 3u);
    EXPECT_EQ(requiredTables(DataFile::Work).size(), 6u);

    // Sheet amounts default to 0; a row made with its numbers only is a blank line.
    for (const char* sheet : {"InpWork", "InpWorkSort", "InpWork印刷"}) {
        exec(work, QStringLiteral("INSERT INTO \"%1\" (行番号, 元行番号) VALUES (1, 1)").arg(QString::fromUtf8(sheet)));
        const auto rows = queryRows(work, QStringLiteral("SELECT 予定額, 支払額, 支払先名 FROM \"%1\"").arg(QString::fromUtf8(sheet)));
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0].toLongLong(), 0);
        EXPECT_EQ(rows[0][1].toLongLong(), 0);
        EXPECT_TRUE(rows[0][2].isNull());
    }
    // The schedule's reads by date use the (date, line number) index.
    const auto plan = queryRows(main, QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM 支払予定表 WHERE 日付 >= ? AND 日付 <= ? ORDER BY 日付, 行番号"), {"2005-01-01", "2005-01-31"});
    QString detail;
    for (const Row& r : plan)
        detail += r.back().toString();
    EXPECT_TRUE(detail.contains("支払予定表_日付_行番号")) << detail.toStdString();
}

TEST(Sql, BoundValuesRoundTripWithApostrophesEmbeddedNulsAndNulls)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& main = session->mainDb();
    const QString withNul = QString::fromUtf8("a\0b", 3);
    for (const QString& name : {QStringLiteral("O'Brien"), withNul})
        exec(main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {name});
    const auto names = queryRows(main, "SELECT 支払先名 FROM 支払先マスタ ORDER BY 支払先名");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0][0].toString(), "O'Brien");
    EXPECT_EQ(names[1][0].toString(), withNul);
    EXPECT_EQ(exec(main, "UPDATE 支払先マスタ SET 支払先名 = ? WHERE 支払先名 = ?", {"It's", withNul}), 1);
    EXPECT_EQ(scalar(main, "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 = ?", {"It's"}).toLongLong(), 1);
    exec(main, "INSERT INTO 自社情報 (LineColor1) VALUES (?)", {255});
    EXPECT_TRUE(scalar(main, "SELECT 年号 FROM 自社情報").isNull());
}

TEST(Session, CrossFileStatementsReachTheMainFileThroughAPathWithBlanksAndJapanese)
{
    TempDataDir dir;
    ASSERT_TRUE(dir.path().contains(' '));
    auto session = Session::open(dir.path());
    exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES ('b''s'), ('a'), ('a'), ('')");
    auto& work = session->workDb();
    exec(work, "INSERT INTO w支払先名 SELECT 支払先名 FROM mainfile.支払先マスタ ORDER BY 支払先名");
    QStringList list;
    for (const Row& r : queryRows(work, "SELECT 支払先名 FROM w支払先名 ORDER BY rowid"))
        list << r.at(0).toString();
    EXPECT_EQ(list, (QStringList{"", "a", "a", "b's"}));

    exec(work, "INSERT INTO w支払先マスタ (支払先名) VALUES ('x'), ('O''Brien')");
    {
        Transaction tx(work);
        tx.step("replace", [&] {
            exec(work, "DELETE FROM mainfile.支払先マスタ");
            exec(work, "INSERT INTO mainfile.支払先マスタ SELECT 支払先名 FROM w支払先マスタ");
        });
        tx.commit();
    }
    EXPECT_EQ(scalar(session->mainDb(), "SELECT group_concat(支払先名, '|') FROM (SELECT 支払先名 FROM 支払先マスタ ORDER BY 支払先名)").toString(), "O'Brien|x");
}

TEST(Session, AConnectionStillInUseIsNotClosedUnderTheCommandAndItsTransactionRollsBack)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    {
        // A command in the middle of its transaction, one cached statement in use.
        Transaction tx(session->mainDb());
        exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES ('途中')");
        auto use = Prepared::reuse(session->mainDb(), "SELECT 支払先名 FROM 支払先マスタ");
        ASSERT_TRUE(use->next());
        session->close();
        EXPECT_FALSE(session->isOpen());
        EXPECT_EQ(use->text(0), "途中") << "the statement is still usable";
    }
    // The guard rolled the transaction back on the connection left open: nothing was added.
    SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READONLY);
    EXPECT_EQ(main.execAndGet("SELECT count(*) FROM 支払先マスタ").getInt(), 0);
}

TEST(Sql, UnorderedReadOfASheetReturnsAdditionOrder)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& work = session->workDb();
    for (int i : {5, 3, 9, 1})
        exec(work, "INSERT INTO InpWork (行番号) VALUES (?)", {i});
    exec(work, "DELETE FROM InpWork WHERE 行番号 = 9");
    exec(work, "INSERT INTO InpWork (行番号) VALUES (2)");
    QList<int> order;
    for (const Row& line : queryRows(work, "SELECT 行番号 FROM InpWork"))
        order << line.at(0).toInt();
    EXPECT_EQ(order, (QList<int>{5, 3, 1, 2}));
}

TEST(Transaction, SkippedStepRollsBackAloneAndAFailedCommitLeavesTheFileAsItWas)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& main = session->mainDb();
    {
        Transaction tx(main);
        EXPECT_TRUE(tx.step("first", [&] { exec(main, "INSERT INTO 支払先マスタ VALUES ('kept')"); }));
        EXPECT_FALSE(tx.step("second", [&] {
            exec(main, "INSERT INTO 支払先マスタ VALUES ('undone')");
            exec(main, "INSERT INTO no_such_table VALUES (1)");
        }));
        EXPECT_TRUE(tx.step("third", [&] { exec(main, "INSERT INTO 支払先マスタ VALUES ('also kept')"); }));
        // One refused statement needs no savepoint: the engine undoes it alone.
        EXPECT_FALSE(tx.step("fourth", [&] { exec(main, "INSERT INTO no_such_table VALUES (1)"); }, Transaction::Step::OneStatement));
        tx.commit();
    }
    EXPECT_EQ(scalar(main, "SELECT group_concat(支払先名, ',') FROM 支払先マスタ").toString(), "kept,also kept");

    {
        Transaction tx(main);
        exec(main, "INSERT INTO 支払先マスタ VALUES ('dropped')");
        // Destroyed without commit.
    }
    EXPECT_EQ(scalar(main, "SELECT count(*) FROM 支払先マスタ").toLongLong(), 2);

    // Nested guards become savepoints of the outer transaction.
    {
        Transaction outer(main);
        {
            Transaction inner(main);
            EXPECT_TRUE(inner.nested());
            exec(main, "INSERT INTO 支払先マスタ VALUES ('inner')");
            inner.commit();
        }
        outer.rollback();
    }
    EXPECT_EQ(scalar(main, "SELECT count(*) FROM 支払先マスタ").toLongLong(), 2);

    // A file that cannot grow: the write fails, the guard rolls back, nothing is half-written.
    const QByteArray before = TempDataDir::readAll(dir.mainPath());
    const qlonglong pages = scalar(main, "PRAGMA page_count").toLongLong();
    scalar(main, QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
    const QString big(5000, QChar(u'長'));
    bool failed = false;
    try {
        Transaction tx(main);
        for (int i = 0; i < 50; ++i)
            exec(main, "INSERT INTO 支払先マスタ VALUES (?)", {big});
        tx.commit();
    } catch (const DbError& e) {
        failed = true;
        EXPECT_FALSE(e.engineMessage().isEmpty());
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(scalar(main, "SELECT count(*) FROM 支払先マスタ").toLongLong(), 2);
    EXPECT_EQ(scalar(main, "PRAGMA integrity_check").toString(), "ok");
    session->close();
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), before);
}

TEST(DataFiles, UnusableFilesEndStartupWithPathAndEngineMessageAndStayUntouched)
{
    TempDataDir dir;
    // Missing directory.
    try {
        Session::open(dir.filePath("missing/"));
        FAIL() << "opened a missing directory";
    } catch (const StartupError& e) {
        EXPECT_TRUE(e.path().endsWith("missing/Quorel1.mdb"));
        EXPECT_FALSE(e.engineMessage().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));

    // Missing work file: the main file is untouched and nothing is created.
    QFile::remove(dir.workPath());
    const QByteArray mainBefore = TempDataDir::readAll(dir.mainPath());
    try {
        Session::open(dir.path());
        FAIL() << "opened without a work file";
    } catch (const StartupError& e) {
        EXPECT_EQ(e.path(), dir.workPath());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.workPath()));
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), mainBefore);
    createMissingDataFiles(dir.path());
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), mainBefore);  // existing file kept

    // A file that is not a database.
    const QByteArray text = "this is not a database, just some text\n";
    {
        QFile f(dir.mainPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    try {
        Session::open(dir.path());
        FAIL() << "opened a text file";
    } catch (const StartupError& e) {
        EXPECT_EQ(e.path(), dir.mainPath());
        EXPECT_TRUE(e.engineMessage().contains("not a database")) << e.engineMessage().toStdString();
    }
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), text);

    // A database that lacks a table.
    QFile::remove(dir.mainPath());
    createMissingDataFiles(dir.path());
    {
        SQLite::Database db(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        db.exec("DROP TABLE 自社情報");
    }
    const QByteArray lacking = TempDataDir::readAll(dir.mainPath());
    try {
        Session::open(dir.path());
        FAIL() << "opened a file without its settings table";
    } catch (const StartupError& e) {
        EXPECT_TRUE(e.engineMessage().contains("自社情報")) << e.engineMessage().toStdString();
    }
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), lacking);
}

TEST(Schema, AFileOfAnEarlierVersionGetsTheLaterTablesWhenOpenedAndKeepsItsLines)
{
    TempDataDir dir;
    {
        SQLite::Database db(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        db.exec("DROP TABLE 繰越額");
        db.exec("INSERT INTO 支払予定表 VALUES ('2026-01-05', 1, 'A', 10000, 0, 10000)");
    }
    auto session = Session::open(dir.path());
    EXPECT_EQ(columnsOf(session->mainDb(), "繰越額"), (QStringList{"年月", "繰越額"}));
    EXPECT_EQ(scalar(session->mainDb(), "SELECT count(*) FROM 支払予定表").toInt(), 1);
    // Through the work connection's attached schema as well (a restored backup).
    exec(session->workDb(), QStringLiteral("DROP TABLE %1").arg(attachedMainTable("繰越額")));
    upgradeDataFile(session->workDb(), DataFile::Main, kAttachedMain);
    EXPECT_EQ(columnsOf(session->mainDb(), "繰越額"), (QStringList{"年月", "繰越額"}));
    // Opening again changes nothing: every added statement says IF NOT EXISTS.
    EXPECT_NO_THROW(upgradeDataFile(session->mainDb(), DataFile::Main));
}

TEST(InstanceLock, ASecondHolderOfTheSameDirectoryIsRefused)
{
    TempDataDir dir;
    InstanceLock first(dir.path());
    ASSERT_TRUE(first.acquired());
    InstanceLock second(dir.path());
    EXPECT_FALSE(second.acquired());
    EXPECT_TRUE(second.heldByAnother());
}

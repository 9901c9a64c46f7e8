#include "FaultVfs.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "Transaction.h"

#include <QFile>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace store;

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString names(SQLite::Database& db)
{
    return scalar(db, "SELECT group_concat(支払先名, ',') FROM (SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid)").toString();
}

// Replaces the payee master in one transaction across both files, as the payee page does.
void replaceMaster(Session& session)
{
    auto& work = session.workDb();
    Transaction tx(work);
    exec(work, "DELETE FROM mainfile.支払先マスタ");
    exec(work, "INSERT INTO mainfile.支払先マスタ SELECT 支払先名 FROM w支払先マスタ");
    tx.commit();
}

} // namespace

TEST(PowerCut, ATransactionAcrossBothFilesIsWholeOrAbsentAfterACutAtEveryStep)
{
    TempDataDir dir;
    {
        auto session = Session::open(dir.path());
        exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES ('old1'), ('old2')");
        for (int i = 0; i < 300; ++i)
            exec(session->workDb(), "INSERT INTO w支払先マスタ (支払先名) VALUES (?)", {QStringLiteral("new%1-").arg(i) + QString(200, QChar(u'長'))});
    }
    const QByteArray mainTemplate = TempDataDir::readAll(dir.mainPath());
    const QByteArray workTemplate = TempDataDir::readAll(dir.workPath());
    QString newState;

    FaultVfs vfs;
    long total = 0;
    {
        auto session = Session::open(dir.path());
        vfs.clear();
        replaceMaster(*session);
        total = vfs.steps();
        newState = names(session->mainDb());
    }
    ASSERT_GT(total, 3);
    int cutsTried = 0;
    int sawOld = 0;
    int sawNew = 0;
    for (long cut = 1; cut <= total; ++cut) {
        writeAll(dir.mainPath(), mainTemplate);
        writeAll(dir.workPath(), workTemplate);
        QFile::remove(dir.mainPath() + "-journal");
        QFile::remove(dir.workPath() + "-journal");
        {
            auto session = Session::open(dir.path());
            vfs.powerCutAt(cut);
            try {
                replaceMaster(*session);
            } catch (const DbError&) {
            }
            EXPECT_TRUE(vfs.tripped()) << "cut " << cut;
        }
        vfs.crash();
        ++cutsTried;
        auto after = Session::open(dir.path());
        EXPECT_EQ(scalar(after->mainDb(), "PRAGMA integrity_check").toString(), "ok") << "cut " << cut;
        EXPECT_EQ(scalar(after->workDb(), "PRAGMA integrity_check").toString(), "ok") << "cut " << cut;
        const QString state = names(after->mainDb());
        if (state == "old1,old2")
            ++sawOld;
        else if (state == newState)
            ++sawNew;
        else
            ADD_FAILURE() << "cut " << cut << " left a mix of old and new payees";
    }
    std::printf("[ power cut ] payee-master replacement: %d cut points tried, %d old, %d new\n", cutsTried, sawOld, sawNew);
    EXPECT_GT(sawOld, 0);
}

TEST(IoError, AFailingWriteOnceOrForeverLeavesTheFileIntactAndTheSameCommandThenSucceeds)
{
    TempDataDir dir;
    {
        auto session = Session::open(dir.path());
        exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES ('old')");
        exec(session->workDb(), "INSERT INTO w支払先マスタ (支払先名) VALUES ('new')");
    }
    FaultVfs vfs;
    for (bool persistent : {false, true}) {
        auto session = Session::open(dir.path());
        const QByteArray before = TempDataDir::readAll(dir.mainPath());
        vfs.failAt(2, persistent);
        EXPECT_THROW(replaceMaster(*session), DbError);
        vfs.clear();
        EXPECT_EQ(names(session->mainDb()), "old");
        EXPECT_EQ(scalar(session->mainDb(), "PRAGMA integrity_check").toString(), "ok");
        session.reset();
        EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), before);
    }
    auto session = Session::open(dir.path());
    replaceMaster(*session);
    EXPECT_EQ(names(session->mainDb()), "new");
}

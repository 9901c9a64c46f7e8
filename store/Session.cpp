#include "Session.h"

#include "DataFiles.h"
#include "JapaneseCollation.h"
#include "Prepared.h"
#include "Sql.h"

#include <QDir>

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>


namespace store {

std::unique_ptr<Session> Session::open(const QString& dataDirectory)
{
    std::unique_ptr<Session> session(new Session);
    session->dataDirectory_ = dataDirectory;
    session->mainPath_ = QDir(dataDirectory).filePath(QString::fromUtf8(kMainFileName));
    session->workPath_ = QDir(dataDirectory).filePath(QString::fromUtf8(kWorkFileName));
    session->main_ = openDataFile(session->mainPath_, DataFile::Main, &session->mainUpgraded_);
    session->work_ = openDataFile(session->workPath_, DataFile::Work);
    try {
        exec(*session->work_, QStringLiteral("ATTACH DATABASE ? AS ") + QString::fromUtf8(kAttachedMain), {session->mainPath_});
        registerJapaneseCollation(*session->main_);
        registerJapaneseCollation(*session->work_);
        session->mainStatements_ = std::make_unique<StatementCache>(*session->main_);
        session->workStatements_ = std::make_unique<StatementCache>(*session->work_);
    } catch (const DbError& e) {
        throw StartupError(session->mainPath_, e.engineMessage());
    }
    return session;
}

Session::~Session()
{
    close();
}

namespace {

// Closes a connection with its statement cache. A connection that a command up the stack
// still uses (a transaction open, or a statement of it not finalized) is not closed under
// it: the engine would refuse the close, and the statements and the transaction's guard
// would reach a closed connection. It is left to the end of the process, which lets go of
// the file (the engine rolls back an unfinished transaction when the file is opened again).
void closeConnection(std::unique_ptr<StatementCache>& cache, std::unique_ptr<SQLite::Database>& db)
{
    if (!db) {
        cache.reset();
        return;
    }
    sqlite3* handle = db->getHandle();
    if (sqlite3_get_autocommit(handle) == 0 || (cache && cache->inUse())) {
        qCWarning(lcStore) << "a connection still in use is left open:" << QString::fromUtf8(db->getFilename());
        static_cast<void>(cache.release());
        static_cast<void>(db.release());
        return;
    }
    cache.reset();
    if (sqlite3_next_stmt(handle, nullptr) != nullptr) {
        qCWarning(lcStore) << "a connection with a statement still prepared is left open:" << QString::fromUtf8(db->getFilename());
        static_cast<void>(db.release());
        return;
    }
    db.reset();
}

} // namespace

void Session::close()
{
    closeConnection(mainStatements_, main_);
    closeConnection(workStatements_, work_);
}

void Session::refuseWrites(const QString& file)
{
    refusedFor_ = file;
    for (SQLite::Database* db : {main_.get(), work_.get()}) {
        if (db)
            exec(*db, QStringLiteral("PRAGMA query_only = 1"));
    }
}

void Session::allowWrites()
{
    refusedFor_.clear();
    for (SQLite::Database* db : {main_.get(), work_.get()}) {
        if (db)
            exec(*db, QStringLiteral("PRAGMA query_only = 0"));
    }
}

} // namespace store

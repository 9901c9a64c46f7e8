#include "Session.h"

#include "DataFiles.h"
#include "JapaneseCollation.h"
#include "Prepared.h"
#include "Sql.h"

#include <QDir>

#include <SQLiteCpp/Database.h>


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

void Session::close()
{
    mainStatements_.reset();
    workStatements_.reset();
    main_.reset();
    work_.reset();
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

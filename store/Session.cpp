#include "Session.h"

#include "DataFiles.h"
#include "JapaneseCollation.h"
#include "Prepared.h"
#include "Sql.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <SQLiteCpp/Database.h>

#include <cerrno>
#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace store {

std::unique_ptr<Session> Session::open(const QString& dataDirectory)
{
    std::unique_ptr<Session> session(new Session);
    session->dataDirectory_ = dataDirectory;
    session->mainPath_ = QDir(dataDirectory).filePath(QString::fromUtf8(kMainFileName));
    session->workPath_ = QDir(dataDirectory).filePath(QString::fromUtf8(kWorkFileName));
    session->main_ = openDataFile(session->mainPath_, DataFile::Main);
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

namespace {

bool processAlive(qint64 pid)
{
#ifdef Q_OS_UNIX
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
    return pid > 0;
#endif
}

} // namespace

InstanceLock::InstanceLock(const QString& dataDirectory)
    : path_(QDir(dataDirectory).filePath(QStringLiteral("Quorel1.lock")))
    , lock_(path_)
{
    lock_.setStaleLockTime(0);
    if (QFileInfo::exists(path_)) {
        QString application;
        if (!lock_.getLockInfo(&stalePid_, &staleHost_, &application) || stalePid_ <= 0)
            stale_ = Stale::Unreadable;
        else if (!staleHost_.isEmpty() && staleHost_ != QSysInfo::machineHostName())
            stale_ = Stale::OtherComputer;
        else if (!processAlive(stalePid_))
            stale_ = Stale::EndedProcess;
    }
    if (stale_ == Stale::None)
        acquired_ = lock_.tryLock(0);
}

bool InstanceLock::takeOver()
{
    if (acquired_ || stale_ == Stale::None)
        return acquired_;
    lock_.removeStaleLockFile();
    acquired_ = lock_.tryLock(0);
    stale_ = Stale::None;
    return acquired_;
}

} // namespace store

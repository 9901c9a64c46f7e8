#include "DataFiles.h"

#include "Schema.h"
#include "Sql.h"

#include <QDir>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

namespace store {

StartupError::StartupError(QString path, QString engineMessage, Cause cause)
    : std::runtime_error((path + QStringLiteral(": ") + engineMessage).toStdString())
    , path_(std::move(path))
    , engineMessage_(std::move(engineMessage))
    , cause_(cause)
{
}

StartupError::Cause startupCause(int sqliteCode, const QString& path)
{
    using Cause = StartupError::Cause;
    switch (sqliteCode & 0xff) {
    case SQLITE_NOTADB:
        return Cause::NotADatabase;
    case SQLITE_CORRUPT:
        return Cause::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Cause::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Cause::ReadOnly;
    case SQLITE_ERROR:
        return Cause::MissingTable;
    case SQLITE_CANTOPEN:
        return QFileInfo::exists(path) ? Cause::Other : Cause::Missing;
    default:
        return Cause::Other;
    }
}

QString dataDirectoryFor(const QString& programDirectory)
{
    QString directory = QDir::cleanPath(programDirectory) + QStringLiteral("/data/");
    return directory;
}

std::unique_ptr<SQLite::Database> openDataFile(const QString& path, DataFile kind)
{
    std::unique_ptr<SQLite::Database> db;
    try {
        db = std::make_unique<SQLite::Database>(QFile::encodeName(path).toStdString(), SQLite::OPEN_READWRITE, 2000);
    } catch (const SQLite::Exception& e) {
        const int code = e.getErrorCode() == SQLITE_ERROR || e.getErrorCode() == -1 ? SQLITE_CANTOPEN : e.getErrorCode();
        throw StartupError(path, QString::fromUtf8(e.what()), startupCause(code, path));
    }
    if (sqlite3_db_readonly(db->getHandle(), "main") == 1)
        throw StartupError(path, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)), StartupError::Cause::ReadOnly);
    try {
        for (const TableLayout& table : requiredTables(kind)) {
            QStringList columns;
            for (const QString& column : table.columns)
                columns << quoteIdentifier(column);
            queryRows(*db, QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + quoteIdentifier(table.name) + QStringLiteral(" LIMIT 0"));
        }
        // A damaged file is refused before anything is written to it.
        const auto problems = queryRows(*db, QStringLiteral("PRAGMA quick_check"));
        if (problems.empty() || problems.front().at(0).toString() != QStringLiteral("ok"))
            throw StartupError(path, problems.empty() ? QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) : problems.front().at(0).toString(),
                StartupError::Cause::Damaged);
        // A file made by an earlier version gets the tables added since.
        upgradeDataFile(*db, kind);
        if (kind == DataFile::Work) {
            // The work file keeps the sheet's draft, written at every edit. It logs ahead: a
            // commit needs no sync of the disk, so typing never waits for one, a reader never
            // holds up a write, and a power cut can lose the last moments of a draft but never
            // damage the file. The main file keeps the rollback journal and syncs every commit.
            queryRows(*db, QStringLiteral("PRAGMA main.journal_mode = WAL"));
            exec(*db, QStringLiteral("PRAGMA main.synchronous = NORMAL"));
        }
    } catch (const DbError& e) {
        throw StartupError(path, e.engineMessage(), startupCause(e.code(), path));
    }
    return db;
}

QStringList createMissingDataFiles(const QString& directory)
{
    QDir().mkpath(directory);
    QStringList created;
    const std::pair<const char*, DataFile> files[] = {{kMainFileName, DataFile::Main}, {kWorkFileName, DataFile::Work}};
    for (const auto& [name, kind] : files) {
        const QString path = QDir(directory).filePath(QString::fromUtf8(name));
        if (QFileInfo::exists(path))
            continue;
        try {
            SQLite::Database db(QFile::encodeName(path).toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            created << path;
            db.exec(schemaSql(kind).toStdString());
        } catch (...) {
            // Nothing half made stays behind: the files made by this call go again.
            for (const QString& made : created)
                QFile::remove(made);
            throw;
        }
    }
    return created;
}

} // namespace store

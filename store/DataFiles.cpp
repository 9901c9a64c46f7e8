#include "DataFiles.h"

#include "PrivateFiles.h"
#include "Schema.h"
#include "Sql.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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

namespace {

// The engine's page check: "ok", or its first complaint.
std::optional<QString> quickCheck(SQLite::Database& db)
{
    const auto problems = queryRows(db, QStringLiteral("PRAGMA quick_check(1)"));
    if (!problems.empty() && problems.front().at(0).toString() == QStringLiteral("ok"))
        return std::nullopt;
    return problems.empty() ? QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) : problems.front().at(0).toString();
}

// A file shorter than the pages its header counts was cut off: found without reading them.
bool cutShort(SQLite::Database& db, const QString& path)
{
    // A file that logs ahead keeps its newest pages in the log until they are copied back:
    // it may be shorter than the pages it holds.
    if (scalar(db, QStringLiteral("PRAGMA main.journal_mode")).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) == 0)
        return false;
    const qint64 pages = scalar(db, QStringLiteral("PRAGMA page_count")).toLongLong();
    const qint64 pageSize = scalar(db, QStringLiteral("PRAGMA page_size")).toLongLong();
    return QFileInfo(path).size() < pages * pageSize;
}

} // namespace

bool lacksLaterAdditions(SQLite::Database& db, DataFile kind)
{
    static const QRegularExpression created(QStringLiteral("CREATE (?:UNIQUE )?(TABLE|INDEX) IF NOT EXISTS \"([^\"]+)\""));
    auto matches = created.globalMatch(addedSchemaSql(kind));
    while (matches.hasNext()) {
        const auto match = matches.next();
        const QVariant found = scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = ? AND name = ?"), {match.captured(1).toLower(), match.captured(2)});
        if (found.toLongLong() == 0)
            return true;
    }
    return false;
}

std::unique_ptr<SQLite::Database> openDataFile(const QString& path, DataFile kind, bool* upgraded)
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
        if (cutShort(*db, path))
            throw StartupError(path, QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)), StartupError::Cause::Damaged);
        // The page check of the whole file runs after the window shows (checkDataFile);
        // only a file about to get the tables and indexes added since its version is
        // checked first, so that nothing is written to a damaged file.
        if (lacksLaterAdditions(*db, kind)) {
            if (const auto problem = quickCheck(*db))
                throw StartupError(path, *problem, StartupError::Cause::Damaged);
            upgradeDataFile(*db, kind);
            if (upgraded)
                *upgraded = true;
        }
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

std::optional<QString> checkDataFile(const QString& path)
{
    try {
        SQLite::Database db(QFile::encodeName(path).toStdString(), SQLite::OPEN_READONLY, 5000);
        return quickCheck(db);
    } catch (const SQLite::Exception& e) {
        return QString::fromUtf8(e.what());
    } catch (const DbError& e) {
        return e.engineMessage();
    }
}

QStringList createMissingDataFiles(const QString& directory)
{
    makePrivateFolder(directory);
    QStringList created;
    const std::pair<const char*, DataFile> files[] = {{kMainFileName, DataFile::Main}, {kWorkFileName, DataFile::Work}};
    for (const auto& [name, kind] : files) {
        const QString path = QDir(directory).filePath(QString::fromUtf8(name));
        if (QFileInfo::exists(path))
            continue;
        try {
            // Made for the owner alone before the engine opens it: the engine's own files
            // (the journal) then take the same mode.
            if (createPrivateFile(path))
                created << path;
            SQLite::Database db(QFile::encodeName(path).toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            if (!created.contains(path))
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

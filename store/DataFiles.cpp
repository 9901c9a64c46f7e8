#include "DataFiles.h"

#include "PrivateFiles.h"
#include "Schema.h"
#include "Sql.h"

#include <QDir>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

namespace store {

StartupError::StartupError(QString path, QString engineMessage)
    : std::runtime_error((path + QStringLiteral(": ") + engineMessage).toStdString())
    , path_(std::move(path))
    , engineMessage_(std::move(engineMessage))
{
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
        throw StartupError(path, QString::fromUtf8(e.what()));
    }
    if (sqlite3_db_readonly(db->getHandle(), "main") == 1)
        throw StartupError(path, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
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
            throw StartupError(path, problems.empty() ? QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) : problems.front().at(0).toString());
        // A file made by an earlier version gets the tables added since.
        upgradeDataFile(*db, kind);
    } catch (const DbError& e) {
        throw StartupError(path, e.engineMessage());
    }
    return db;
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

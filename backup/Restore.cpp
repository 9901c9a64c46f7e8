#include "Restore.h"

#include "BackupFolder.h"
#include "Schema.h"
#include "Sql.h"

#include <QFile>

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

namespace backup {

void restoreInto(SQLite::Database& main, const QString& backupPath)
{
    try {
        SQLite::Database source(QFile::encodeName(backupPath).toStdString(), SQLite::OPEN_READONLY);
        SQLite::Backup job(main, "main", source, "main");
        // Busy or locked: the main file is in use by a statement of this program, which
        // never happens between commands; the copy is not retried.
        if (const int rc = job.executeStep(-1); rc != SQLITE_DONE)
            throw SQLite::Exception(sqlite3_errstr(rc), rc);
        // A backup made by an earlier version gets the tables added since.
        store::upgradeDataFile(main, store::DataFile::Main);
    } catch (const SQLite::Exception& e) {
        const int os = sqlite3_system_errno(main.getHandle());
        throw store::DbError(QStringLiteral("restore ") + backupPath, describeFailure(e.getErrorCode(), os, QString::fromUtf8(e.what())), e.getErrorCode());
    }
}

} // namespace backup

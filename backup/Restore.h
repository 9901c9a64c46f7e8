#pragma once

#include <QString>

namespace SQLite {
class Database;
}

namespace backup {

// Replaces the contents of the open main file with a backup, through SQLite's online
// backup API from the backup (opened read-only) into the open connection. The engine
// writes the whole copy in one transaction of the main file under its rollback journal,
// so a failure or a power cut leaves the old book or the restored one, never a mix.
// The caller checks the backup first (checkBookFile). Throws store::DbError whose
// engineMessage names the cause for the user.
void restoreInto(SQLite::Database& main, const QString& backupPath);

} // namespace backup

#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace backup {

// What made a backup. The key is part of the file name (ASCII, so that the names survive
// any file system, archive tool or code page); the label is what the user reads.
enum class Reason {
    Daily,          // first start of the day
    Shutdown,       // clean shutdown after the book changed
    AllDelete,      // before 全削除
    LineDelete,     // before 行削除 of a stored line
    PayeeEntry,     // before the payee page's 登録 (it replaces the whole master)
    PayeeDelete,    // before the payee page's 削除
    PayeeLineDelete, // before the payee page's 行削除 (the payees' details and rules go with them)
    SettingsDelete, // before the settings page's 削除
    Restore,        // the state a restore replaced
    Journal,        // the main file as found beside a crash journal, before recovery
    Damaged,        // a main file that could not be opened, moved aside
};

QString reasonKey(Reason reason);
QString reasonLabel(Reason reason);
std::optional<Reason> reasonFromKey(const QString& key);
// Reasons whose backups come before a command that deletes or replaces data.
bool isBeforeDestructive(Reason reason);

// One backup file: Quorel1_<yyyyMMdd-HHmmss>[-n]_<reason>.mdb in the backup folder.
struct BackupEntry {
    QString path;
    QDateTime made; // local time from the name
    Reason reason = Reason::Daily;
};

// The folder "backup/" inside the data directory, and the backups in it.
class BackupFolder {
public:
    explicit BackupFolder(const QString& dataDirectory);
    const QString& path() const { return path_; }

    // Every backup, newest first. Files that do not follow the naming are left out.
    std::vector<BackupEntry> list() const;
    // A new unused file name for a backup made at `when` (a counter keeps names unique).
    QString newName(const QDateTime& when, Reason reason) const;
    static std::optional<BackupEntry> parse(const QString& path);
    // Removes the half-made copies a crash during a backup leaves behind (the temporary
    // names a copy has until it is complete), with the records of copies that never took
    // their names and records cut short; answers how many files went.
    int removeLeftovers() const;

private:
    QString path_;
};

// Where a failed backup stopped: the engine's words or the file system's cause.
struct BackupResult {
    bool ok = false;
    QString path;   // the new backup, when ok
    QString reason; // why it failed, for the user (never empty when !ok)
};

// Copies the main file through SQLite's online backup API from the open connection into
// a new file of the folder. The copy is written under a temporary name and synced, its
// record (Digest.h) written whole, and only then is the copy renamed: a half-made backup
// never shows in the list, and a backup shows only with its record.
BackupResult makeBackup(SQLite::Database& main, const BackupFolder& folder, const QDateTime& when, Reason reason);

// Makes the names in a folder durable (a rename into it survives a power cut).
void syncFolder(const QString& path);

// Names a failed file operation's cause: the disk being full, the folder being read-only,
// or the engine's words.
QString describeFailure(int sqliteCode, int osError, const QString& engineMessage);

} // namespace backup

#pragma once

#include "Schema.h"

#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>

namespace SQLite {
class Database;
}

namespace store {

// A data file that cannot be used: its path, why (for the sentence the user reads) and
// the engine's words.
class StartupError : public std::runtime_error {
public:
    enum class Cause {
        Missing,       // no file at the path
        NotADatabase,  // the file is no SQLite database (or its header is damaged)
        MissingTable,  // a table or column of the book is missing
        Damaged,       // the engine's check found damage
        ReadOnly,      // the file or its folder may not be written
        Busy,          // another program holds the file locked
        Other,
    };
    StartupError(QString path, QString engineMessage, Cause cause = Cause::Other);
    const QString& path() const { return path_; }
    const QString& engineMessage() const { return engineMessage_; }
    Cause cause() const { return cause_; }

private:
    QString path_;
    QString engineMessage_;
    Cause cause_;
};

// The cause of an engine error code met while opening the file at path.
StartupError::Cause startupCause(int sqliteCode, const QString& path);

inline constexpr const char* kMainFileName = "Quorel1.mdb";
inline constexpr const char* kWorkFileName = "Quorel1Work.mdb";

// The data directory: the program's folder followed by "data/", ending in a separator.
QString dataDirectoryFor(const QString& programDirectory);

// Opens an existing data file for reading and writing and checks that it is a database
// holding every table of its kind with all their columns and is not shorter than its
// header says. A file of an earlier version gets the page check and then the tables and
// indexes added since; any other file's page check is left to checkDataFile, so that the
// time to open does not grow with the book. Never creates a file. `upgraded`, when given,
// tells whether the file got the later additions now.
std::unique_ptr<SQLite::Database> openDataFile(const QString& path, DataFile kind, bool* upgraded = nullptr);

// Whether the file lacks a table or index of the later additions of its kind.
bool lacksLaterAdditions(SQLite::Database& db, DataFile kind);

// The engine's page check of a whole data file on a read-only connection of its own, so
// that it may run on another thread while the program uses the file: nothing when the
// file is sound, else the engine's words.
std::optional<QString> checkDataFile(const QString& path);

// Creates the data directory and whichever of the two files is missing, from the
// schema; an existing file is never touched. Returns the paths it created; when it
// fails, it removes the files it had begun to make and throws.
QStringList createMissingDataFiles(const QString& directory);

} // namespace store

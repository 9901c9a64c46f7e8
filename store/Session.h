#pragma once

#include "BookChanges.h"
#include "InstanceLock.h"

#include <QString>

#include <memory>

namespace SQLite {
class Database;
}

namespace store {

class StatementCache;

// The two words of the era setting: Western years, or Japanese era years.
inline const QString kEraWestern = QStringLiteral("西暦");
inline const QString kEraJapanese = QStringLiteral("和暦");

// The settings the rest of the program consults; set only when the settings record is read.
struct InMemorySettings {
    QString g年号 = kEraWestern;
    bool g支払先自動登録 = true;
    qint64 gLineColor1 = 0;
    // Years are shown in Japanese eras: any stored word other than 西暦 asks for them.
    bool eraYears() const { return g年号 != kEraWestern; }
};

// What the main window holds for the whole run: the data directory, the paths of both
// files, the two open connections (the work connection with the main file attached
// for the cross-file statements) and the in-memory settings.
class Session {
public:
    // Opens the main file, then the work file; throws StartupError.
    static std::unique_ptr<Session> open(const QString& dataDirectory);
    ~Session();

    const QString& dataDirectory() const { return dataDirectory_; }
    const QString& mainPath() const { return mainPath_; }
    const QString& workPath() const { return workPath_; }
    // Whether the main file was made by an earlier version and got this version's tables
    // when it was opened (the first start after an update).
    bool mainUpgraded() const { return mainUpgraded_; }

    SQLite::Database& mainDb() { return *main_; }
    SQLite::Database& workDb() { return *work_; }

    // Closes the main connection, then the work connection. Idempotent.
    void close();
    bool isOpen() const { return main_ || work_; }

    // After a data file failed its check: every write to either file is refused by the
    // engine (PRAGMA query_only), so that a command ends with its failure box and nothing
    // is written to a damaged file. `file` is the path of the file that failed.
    void refuseWrites(const QString& file);
    // Writes are taken again (a restore replaced the damaged main file).
    void allowWrites();
    // The file that failed its check, or empty while writes are taken.
    const QString& writesRefusedFor() const { return refusedFor_; }

    InMemorySettings settings;

    // Where the committed changes of the book are told.
    BookChanges& changes() { return changes_; }

private:
    Session() = default;

    QString dataDirectory_;
    QString mainPath_;
    QString workPath_;
    std::unique_ptr<SQLite::Database> main_;
    std::unique_ptr<SQLite::Database> work_;
    std::unique_ptr<StatementCache> mainStatements_;
    std::unique_ptr<StatementCache> workStatements_;
    QString refusedFor_;
    BookChanges changes_;
    bool mainUpgraded_ = false;
};

} // namespace store

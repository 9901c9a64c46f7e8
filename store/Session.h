#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace SQLite {
class Database;
}

namespace store {

// The settings the rest of the program consults; set only when the settings record is read.
struct InMemorySettings {
    QString g年号 = QStringLiteral("西暦");
    bool g支払先自動登録 = true;
    qint64 gLineColor1 = 0;
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

    SQLite::Database& mainDb() { return *main_; }
    SQLite::Database& workDb() { return *work_; }

    // Closes the main connection, then the work connection. Idempotent.
    void close();
    bool isOpen() const { return main_ || work_; }

    InMemorySettings settings;

private:
    Session() = default;

    QString dataDirectory_;
    QString mainPath_;
    QString workPath_;
    std::unique_ptr<SQLite::Database> main_;
    std::unique_ptr<SQLite::Database> work_;
};

// Keeps a second copy of the program off the same data directory.
class InstanceLock {
public:
    explicit InstanceLock(const QString& dataDirectory);
    bool acquired() const { return acquired_; }
    // True when another running program holds the directory.
    bool heldByAnother() const { return !acquired_ && lock_.error() == QLockFile::LockFailedError; }

private:
    QLockFile lock_;
    bool acquired_ = false;
};

} // namespace store

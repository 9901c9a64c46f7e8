#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace store {

// A file written whole or not at all. The bytes go to a temporary file beside the target
// (made for the owner alone: 0600 less the umask); commit() checks every write, flushes
// the file to the disk and checks that too, and only then renames it over the target and
// syncs the folder. Whatever fails leaves the target as it was and removes the temporary
// file, also when the object goes away without a commit.
class WholeFile {
public:
    explicit WholeFile(const QString& path);
    ~WholeFile();
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Whether the temporary file could be made; error() tells why not.
    bool isOpen() const { return fd_ >= 0; }
    const QString& temporaryPath() const { return temporaryPath_; }

    // Appends bytes; false (and nothing more is written) once a write failed.
    bool write(const QByteArray& bytes);
    bool write(const char* data, qint64 size);

    // Syncs, closes and renames. Answers whether the target now holds the file.
    bool commit();
    // Puts in place a file that another writer made at temporaryPath() (reopened and
    // synced here); an empty file counts as a failure.
    bool commitWrittenElsewhere();

    // The failure in words, and the system's error number (ENOSPC for a full disk).
    const QString& error() const { return error_; }
    int osError() const { return osError_; }

private:
    bool fail(const QString& what, int osError);
    bool finish();
    void discard();

    QString path_;
    QString temporaryPath_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
    QString error_;
    int osError_ = 0;
};

// The bytes as the whole file `path`. Answers an error text, empty on success.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

// Lets `write` make the file at a temporary path beside the target, then puts it in the
// target's place as WholeFile does. `write` answers an error text, empty on success.
QString replaceWholeFile(const QString& path, const std::function<QString(const QString& temporaryPath)>& write);

// Copies a file whole; answers an error text (empty on success) and the system's error
// number of the failure when there is one.
QString copyWholeFile(const QString& from, const QString& to, int* osError = nullptr);

} // namespace store

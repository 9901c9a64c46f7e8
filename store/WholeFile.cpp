#include "WholeFile.h"

#include "PrivateFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Flushes the folder's entry of a renamed file; a folder that cannot be opened for it
// (some file systems) is not a failure of the file.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

WholeFile::WholeFile(const QString& path)
    : path_(path)
{
    const QFileInfo target(path);
    QByteArray pattern = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    // mkstemp makes the file 0600, less what the umask takes away.
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        fail(QStringLiteral("create ") + target.absolutePath(), errno);
        return;
    }
    temporaryPath_ = QFile::decodeName(pattern);
}

WholeFile::~WholeFile()
{
    if (!committed_)
        discard();
}

bool WholeFile::fail(const QString& what, int osError)
{
    if (!failed_) {
        failed_ = true;
        osError_ = osError;
        error_ = what + QStringLiteral(": ") + systemText(osError);
    }
    return false;
}

void WholeFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporaryPath_.isEmpty())
        ::unlink(QFile::encodeName(temporaryPath_).constData());
}

bool WholeFile::write(const QByteArray& bytes)
{
    return write(bytes.constData(), bytes.size());
}

bool WholeFile::write(const char* data, qint64 size)
{
    if (failed_ || fd_ < 0)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(QStringLiteral("write ") + temporaryPath_, written < 0 ? errno : ENOSPC);
        data += written;
        size -= written;
    }
    return true;
}

bool WholeFile::finish()
{
    // The data must be on the disk before the name points at it: a failed flush (a full
    // disk that only shows now, an I/O error) leaves the target as it was.
    if (::fsync(fd_) != 0)
        return fail(QStringLiteral("fsync ") + temporaryPath_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail(QStringLiteral("close ") + temporaryPath_, errno);
    if (::rename(QFile::encodeName(temporaryPath_).constData(), QFile::encodeName(path_).constData()) != 0)
        return fail(QStringLiteral("rename ") + path_, errno);
    committed_ = true;
    syncFolder(QFileInfo(path_).absolutePath());
    return true;
}

bool WholeFile::commit()
{
    if (failed_ || fd_ < 0) {
        discard();
        return fail(QStringLiteral("create ") + path_, EIO);
    }
    if (!finish()) {
        discard();
        return false;
    }
    return true;
}

bool WholeFile::commitWrittenElsewhere()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (failed_ || temporaryPath_.isEmpty())
        return fail(QStringLiteral("create ") + path_, EIO);
    // The writer may have made the file anew, with the modes of any new file.
    fd_ = ::open(QFile::encodeName(temporaryPath_).constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        fail(QStringLiteral("open ") + temporaryPath_, errno);
        discard();
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || st.st_size == 0) {
        fail(QStringLiteral("empty file ") + temporaryPath_, st.st_size == 0 ? EIO : errno);
        discard();
        return false;
    }
    ::fchmod(fd_, st.st_mode & kPrivateFileMode);
    if (!finish()) {
        discard();
        return false;
    }
    return true;
}

QString writeWholeFile(const QString& path, const QByteArray& bytes)
{
    WholeFile file(path);
    if (file.write(bytes) && file.commit())
        return {};
    return file.error();
}

QString replaceWholeFile(const QString& path, const std::function<QString(const QString& temporaryPath)>& write)
{
    WholeFile file(path);
    if (!file.isOpen())
        return file.error();
    const QString error = write(file.temporaryPath());
    if (!error.isEmpty())
        return error; // the temporary file goes with the object
    return file.commitWrittenElsewhere() ? QString() : file.error();
}

QString copyWholeFile(const QString& from, const QString& to, int* osError)
{
    const auto failed = [&](const QString& text, int error) {
        if (osError)
            *osError = error;
        return text;
    };
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return failed(source.errorString(), errno);
    WholeFile target(to);
    while (target.isOpen() && !source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return failed(source.errorString(), EIO);
        if (!target.write(chunk))
            break;
    }
    if (!target.commit())
        return failed(target.error(), target.osError());
    return {};
}

} // namespace store

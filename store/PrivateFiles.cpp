#include "PrivateFiles.h"

#include "DataFiles.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

bool narrowMode(const QString& path, unsigned allowed, bool folder)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)))
        return false;
    const mode_t mode = st.st_mode & 07777;
    const mode_t narrowed = mode & allowed;
    if (narrowed == mode)
        return true;
    if (st.st_uid != ::geteuid())
        return false;
    return ::chmod(native.constData(), narrowed) == 0;
}

} // namespace

bool narrowFolderMode(const QString& path)
{
    return narrowMode(path, kPrivateFolderMode, true);
}

bool narrowFileMode(const QString& path)
{
    return narrowMode(path, kPrivateFileMode, false);
}

bool makePrivateFolder(const QString& path)
{
    if (!QDir().mkpath(path))
        return false;
    narrowFolderMode(path);
    return true;
}

bool createPrivateFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFileMode);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

void narrowDataFolder(const QString& dataDirectory)
{
    const QDir data(dataDirectory);
    narrowFolderMode(data.absolutePath());
    for (const char* name : {kMainFileName, kWorkFileName}) {
        const QString file = data.filePath(QString::fromUtf8(name));
        narrowFileMode(file);
        narrowFileMode(file + QStringLiteral("-journal"));
    }
    narrowFileMode(data.filePath(QStringLiteral("Quorel1.lock")));
    const QDir backups(data.filePath(QStringLiteral("backup")));
    if (!backups.exists())
        return;
    narrowFolderMode(backups.absolutePath());
    for (const QString& name : backups.entryList(QDir::Files | QDir::Hidden | QDir::System))
        narrowFileMode(backups.filePath(name));
}

} // namespace store

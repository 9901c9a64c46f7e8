#include "SafeFile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace exporting {

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString replaceFileAtomically(const QString& path, const std::function<QString(const QString& temporaryPath)>& write)
{
    const QFileInfo target(path);
    QString temporaryPath;
    {
        // Reserves a unique name beside the target; the writer then makes the file anew.
        QTemporaryFile reserve(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
        reserve.setAutoRemove(false);
        if (!reserve.open())
            return reserve.errorString();
        temporaryPath = reserve.fileName();
    }
    QString error = write(temporaryPath);
    if (error.isEmpty() && QFileInfo(temporaryPath).size() == 0)
        error = QStringLiteral("empty file");
    if (error.isEmpty()) {
        // The temporary file was made for the owner alone; the result reads like any new file.
        QFile::setPermissions(temporaryPath, target.exists() ? target.permissions()
                                                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        std::error_code code;
        std::filesystem::rename(std::filesystem::path(temporaryPath.toStdU16String()), std::filesystem::path(path.toStdU16String()), code);
        if (code)
            error = QString::fromLocal8Bit(code.message().c_str());
    }
    if (!error.isEmpty())
        QFile::remove(temporaryPath);
    return error;
}

} // namespace exporting

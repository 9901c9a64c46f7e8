#include "DataLocation.h"

#include "DataFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString asDirectory(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath()) + QLatin1Char('/');
}

} // namespace

DataLocation DataLocation::choose(const QString& requested, const QString& programDirectory, const QString& userDataDirectory)
{
    if (!requested.isEmpty())
        return {asDirectory(requested), true};
    if (QFileInfo::exists(QDir(programDirectory).filePath(QString::fromUtf8(kBesideProgramMarker))))
        return {store::dataDirectoryFor(programDirectory), false};
    return {asDirectory(userDataDirectory), true};
}

BookState bookStateIn(const QString& directory)
{
    const QDir dir(directory);
    // A name that is there in any form (a folder, a broken link) counts as present:
    // nothing is ever created over it.
    const auto present = [&](const char* name) {
        const QFileInfo info(dir.filePath(QString::fromUtf8(name)));
        return info.exists() || info.isSymLink();
    };
    const bool main = present(store::kMainFileName);
    const bool work = present(store::kWorkFileName);
    if (main && work)
        return BookState::Complete;
    return main || work ? BookState::Partial : BookState::None;
}

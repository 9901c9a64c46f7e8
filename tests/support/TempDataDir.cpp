#include "TempDataDir.h"

#include "DataFiles.h"

#include <QDir>
#include <QFile>

TempDataDir::TempDataDir()
{
    path_ = QDir(root_.path()).filePath(QStringLiteral("支払 データ's/data/"));
    store::createMissingDataFiles(path_);
}

QString TempDataDir::mainPath() const
{
    return filePath(QString::fromUtf8(store::kMainFileName));
}

QString TempDataDir::workPath() const
{
    return filePath(QString::fromUtf8(store::kWorkFileName));
}

QString TempDataDir::filePath(const QString& name) const
{
    return QDir(path_).filePath(name);
}

QByteArray TempDataDir::readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

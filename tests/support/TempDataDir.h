#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A data directory made from the real schema inside a fresh temporary folder whose
// path holds blanks and Japanese characters, removed with the object.
class TempDataDir {
public:
    TempDataDir();
    const QString& path() const { return path_; }  // ends in '/'
    QString mainPath() const;
    QString workPath() const;
    QString filePath(const QString& name) const;
    static QByteArray readAll(const QString& path);

private:
    QTemporaryDir root_;
    QString path_;
};

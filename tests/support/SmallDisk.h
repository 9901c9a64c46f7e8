#pragma once

#include <QString>
#include <QTemporaryDir>

// A file system of a few kilobytes (tmpfs) mounted in a temporary folder, for writing onto
// a disk that fills up. Mounting needs the right to mount; without it available() is
// false and the test skips. Unmounted with the object.
class SmallDisk {
public:
    explicit SmallDisk(int kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return mounted_; }
    // The mounted folder, ending in '/'.
    QString path() const { return mountPoint_ + QLatin1Char('/'); }
    QString filePath(const QString& name) const { return path() + name; }
    // Fills what is left of the disk with one file, so that the next write fails.
    void fill() const;
    // The names in the mounted folder, hidden ones included.
    QStringList entries() const;

private:
    QTemporaryDir root_;
    QString mountPoint_;
    bool mounted_ = false;
};

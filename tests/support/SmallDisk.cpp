#include "SmallDisk.h"

#include <QDir>
#include <QFile>

#include <sys/mount.h>

SmallDisk::SmallDisk(int kilobytes)
    : mountPoint_(root_.filePath(QStringLiteral("small")))
{
    QDir().mkpath(mountPoint_);
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
    mounted_ = ::mount("tmpfs", QFile::encodeName(mountPoint_).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(mountPoint_).constData(), MNT_DETACH);
}

void SmallDisk::fill() const
{
    QFile filler(filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // The last partial block: byte by byte until nothing more fits.
    while (filler.write("x", 1) == 1) {
    }
}

QStringList SmallDisk::entries() const
{
    return QDir(mountPoint_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

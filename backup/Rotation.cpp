#include "Rotation.h"

#include "Digest.h"

#include <QFile>

#include <set>

namespace backup {

QStringList backupsToDrop(const std::vector<BackupEntry>& newestFirst, const QDate& today, const QStringList& keep, RotationRule rule)
{
    const int thisMonth = today.year() * 12 + today.month() - 1;
    std::set<int> monthsSeen;
    QStringList drop;
    for (size_t i = 0; i < newestFirst.size(); ++i) {
        const BackupEntry& entry = newestFirst[i];
        const QDate day = entry.made.date();
        const int month = day.year() * 12 + day.month() - 1;
        const bool recentMonth = month <= thisMonth && month > thisMonth - rule.months;
        // The list runs newest first: the first backup met in a month is its newest.
        const bool newestOfMonth = recentMonth && monthsSeen.insert(month).second;
        if (static_cast<int>(i) < rule.latest || newestOfMonth || keep.contains(entry.path))
            continue;
        drop << entry.path;
    }
    return drop;
}

int rotate(const BackupFolder& folder, const QDate& today, const QStringList& keep, RotationRule rule)
{
    int deleted = 0;
    for (const QString& path : backupsToDrop(folder.list(), today, keep, rule)) {
        if (QFile::remove(path))
            ++deleted;
        QFile::remove(path.chopped(4) + QStringLiteral(".journal"));
        QFile::remove(digestPathOf(path));
    }
    return deleted;
}

} // namespace backup

#pragma once

#include "BackupFolder.h"

#include <QDate>
#include <QStringList>

namespace backup {

struct RotationRule {
    int latest = 20; // the newest backups kept whatever made them
    int months = 12; // the newest backup of each of these last calendar months is kept too
};

// The backups the rotation deletes from a list (newest first): all but the newest
// `latest`, the newest of each of the last `months` calendar months up to `today`'s, and
// those named in `keep` (a backup a destructive command has just made, the one an undo
// may still need).
QStringList backupsToDrop(const std::vector<BackupEntry>& newestFirst, const QDate& today, const QStringList& keep, RotationRule rule = {});

// Deletes what backupsToDrop names, each with its record and the journal kept beside a
// journal copy; nothing else in the folder is touched.
// Answers how many backups were deleted.
int rotate(const BackupFolder& folder, const QDate& today, const QStringList& keep, RotationRule rule = {});

} // namespace backup

#pragma once

#include "BackupFolder.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace backup {

// Whether a rollback journal left by a crash lies beside a database file: a journal
// file that is not empty and starts with the journal header (a zeroed or empty journal
// is not applied by the engine).
bool hasHotJournal(const QString& databasePath);

// Before the engine rolls a crash journal into the main file at start-up, keeps plain
// copies of both (nothing has them open yet) in the backup folder: the main file as a
// backup made for Reason::Journal and the journal beside it under the same name ending
// in ".journal", which the engine never applies by itself, with the record of both
// (Digest.h). Answers the copy of the main file, or nothing when there was no journal or
// the copies or their record could not be made (the half-made copies are removed then).
std::optional<QString> preserveHotJournal(const QString& mainPath, const BackupFolder& folder, const QDateTime& now);

// A backup a restore may take: sound, or unverified (made before backups were recorded).
struct GoodBackup {
    BackupEntry entry;
    bool unverified = false;
};

// The newest backup that is not damaged (inspectBackup: its record matches or it has none,
// and every check passes), leaving out the copies made of a file as it was found (beside a
// crash journal, or unopenable).
std::optional<GoodBackup> newestGoodBackup(const BackupFolder& folder);

// Puts a backup in place of a main file that cannot be used, while no connection has the
// files open: the unusable file (and a journal beside it) is kept in the backup folder
// with its record, then the backup's copy replaces it through a synced temporary file
// renamed over it. Answers the cause when it fails; the main file is then as it was.
std::optional<QString> replaceMainFile(const QString& mainPath, const QString& backupPath, const BackupFolder& folder, const QDateTime& now);

} // namespace backup

#include "StartupRescue.h"

#include "BookFile.h"
#include "PrivateFiles.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <cerrno>

namespace backup {

namespace {

const QByteArray kJournalMagic = QByteArray::fromHex("d9d505f920a163d7");

QString journalOf(const QString& databasePath)
{
    return databasePath + QStringLiteral("-journal");
}

// A plain copy that is complete on disk before it takes its final name, the user's alone.
std::optional<QString> copyFile(const QString& from, const QString& to)
{
    int os = 0;
    const QString error = store::copyWholeFile(from, to, &os);
    if (error.isEmpty())
        return std::nullopt;
    return describeFailure(SQLITE_IOERR, os, error);
}

} // namespace

bool hasHotJournal(const QString& databasePath)
{
    QFile journal(journalOf(databasePath));
    if (!journal.open(QIODevice::ReadOnly))
        return false;
    return journal.read(kJournalMagic.size()) == kJournalMagic;
}

std::optional<QString> preserveHotJournal(const QString& mainPath, const BackupFolder& folder, const QDateTime& now)
{
    if (!hasHotJournal(mainPath) || !store::makePrivateFolder(folder.path()))
        return std::nullopt;
    const QString copy = folder.newName(now, Reason::Journal);
    const QString journalCopy = copy.chopped(4) + QStringLiteral(".journal");
    if (copyFile(journalOf(mainPath), journalCopy) || copyFile(mainPath, copy)) {
        QFile::remove(copy);
        QFile::remove(journalCopy);
        return std::nullopt;
    }
    return copy;
}

std::optional<BackupEntry> newestGoodBackup(const BackupFolder& folder)
{
    for (const BackupEntry& entry : folder.list()) {
        if (entry.reason == Reason::Journal || entry.reason == Reason::Damaged)
            continue;
        if (!checkBookFile(entry.path))
            return entry;
    }
    return std::nullopt;
}

std::optional<QString> replaceMainFile(const QString& mainPath, const QString& backupPath, const BackupFolder& folder, const QDateTime& now)
{
    if (!store::makePrivateFolder(folder.path()))
        return describeFailure(SQLITE_CANTOPEN, errno, folder.path());
    // The unusable file is kept as it was found, with its journal.
    if (QFile::exists(mainPath)) {
        const QString kept = folder.newName(now, Reason::Damaged);
        if (auto problem = copyFile(mainPath, kept))
            return problem;
        if (QFile::exists(journalOf(mainPath))) {
            if (auto problem = copyFile(journalOf(mainPath), kept.chopped(4) + QStringLiteral(".journal")))
                return problem;
        }
    }
    // A journal must never be rolled into the restored file.
    if (QFile::exists(journalOf(mainPath)) && !QFile::remove(journalOf(mainPath)))
        return describeFailure(SQLITE_IOERR, errno, journalOf(mainPath));
    return copyFile(backupPath, mainPath);
}

} // namespace backup

#include "StartupRescue.h"

#include "BackupCheck.h"
#include "PrivateFiles.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// Records the copies' bytes beside the backup they make up, once all are complete.
std::optional<QString> recordCopies(const QString& backupPath, const QStringList& copies)
{
    std::vector<DigestSource> files;
    for (const QString& copy : copies)
        files.push_back({copy, QFileInfo(copy).fileName()});
    int os = 0;
    const QString error = writeDigest(backupPath, files, &os);
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
    if (copyFile(journalOf(mainPath), journalCopy) || copyFile(mainPath, copy) || recordCopies(copy, {copy, journalCopy})) {
        QFile::remove(copy);
        QFile::remove(journalCopy);
        QFile::remove(digestPathOf(copy));
        return std::nullopt;
    }
    return copy;
}

std::optional<GoodBackup> newestGoodBackup(const BackupFolder& folder)
{
    for (const BackupEntry& entry : folder.list()) {
        if (entry.reason == Reason::Journal || entry.reason == Reason::Damaged)
            continue;
        const BackupCondition condition = *inspectBackup(entry.path);
        if (condition.verdict() != BackupCondition::Verdict::Damaged)
            return GoodBackup{entry, condition.verdict() == BackupCondition::Verdict::Unverified};
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
        QStringList copies = {kept};
        if (QFile::exists(journalOf(mainPath)))
            copies << kept.chopped(4) + QStringLiteral(".journal");
        std::optional<QString> problem = copyFile(mainPath, kept);
        if (!problem && copies.size() > 1)
            problem = copyFile(journalOf(mainPath), copies.back());
        if (!problem)
            problem = recordCopies(kept, copies);
        if (problem) {
            for (const QString& copy : copies)
                QFile::remove(copy);
            QFile::remove(digestPathOf(kept));
            return problem;
        }
    }
    // A journal must never be rolled into the restored file.
    if (QFile::exists(journalOf(mainPath)) && !QFile::remove(journalOf(mainPath)))
        return describeFailure(SQLITE_IOERR, errno, journalOf(mainPath));
    return copyFile(backupPath, mainPath);
}

} // namespace backup

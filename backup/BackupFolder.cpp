#include "BackupFolder.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

#include "Digest.h"
#include "Msg.h"
#include "PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

#include <array>
#include <cerrno>

namespace backup {

namespace {

struct ReasonName {
    Reason reason;
    const char* key;
    const char16_t* label;
};

constexpr std::array<ReasonName, 11> kReasons = {{
    {Reason::Daily, "daily", u"その日の最初の起動"},
    {Reason::Shutdown, "shutdown", u"終了時"},
    {Reason::AllDelete, "alldelete", u"全削除の前"},
    {Reason::LineDelete, "linedelete", u"行削除の前"},
    {Reason::PayeeEntry, "payeeentry", u"支払先登録の前"},
    {Reason::PayeeDelete, "payeedelete", u"支払先削除の前"},
    {Reason::PayeeLineDelete, "payeelinedelete", u"支払先行削除の前"},
    {Reason::SettingsDelete, "settingsdelete", u"設定削除の前"},
    {Reason::Restore, "restore", u"復元の前"},
    {Reason::Journal, "journal", u"異常終了の復旧の前"},
    {Reason::Damaged, "damaged", u"開けなかったファイル"},
}};

const char* const kPrefix = "Quorel1_";
const char* const kTimeFormat = "yyyyMMdd-HHmmss";

} // namespace

QString reasonKey(Reason reason)
{
    for (const ReasonName& r : kReasons)
        if (r.reason == reason)
            return QString::fromUtf8(r.key);
    return {};
}

QString reasonLabel(Reason reason)
{
    for (const ReasonName& r : kReasons)
        if (r.reason == reason)
            return QString::fromUtf16(r.label);
    return {};
}

std::optional<Reason> reasonFromKey(const QString& key)
{
    for (const ReasonName& r : kReasons)
        if (key == QLatin1String(r.key))
            return r.reason;
    return std::nullopt;
}

bool isBeforeDestructive(Reason reason)
{
    switch (reason) {
    case Reason::AllDelete:
    case Reason::LineDelete:
    case Reason::PayeeEntry:
    case Reason::PayeeDelete:
    case Reason::PayeeLineDelete:
    case Reason::SettingsDelete:
    case Reason::Restore:
        return true;
    default:
        return false;
    }
}

BackupFolder::BackupFolder(const QString& dataDirectory)
    : path_(QDir(dataDirectory).filePath(QStringLiteral("backup")))
{
}

std::optional<BackupEntry> BackupFolder::parse(const QString& path)
{
    static const QRegularExpression pattern(QStringLiteral("^Quorel1_(\\d{8}-\\d{6})(?:-(\\d+))?_([a-z]+)\\.mdb$"));
    const auto match = pattern.match(QFileInfo(path).fileName());
    if (!match.hasMatch())
        return std::nullopt;
    const auto reason = reasonFromKey(match.captured(3));
    QDateTime made = QDateTime::fromString(match.captured(1), QString::fromLatin1(kTimeFormat));
    if (!reason || !made.isValid())
        return std::nullopt;
    // Backups made within one second keep their order through the counter.
    made = made.addMSecs(match.captured(2).toInt());
    return BackupEntry{path, made, *reason};
}

std::vector<BackupEntry> BackupFolder::list() const
{
    std::vector<BackupEntry> entries;
    const QStringList names = QDir(path_).entryList({QString::fromLatin1(kPrefix) + QStringLiteral("*.mdb")}, QDir::Files);
    for (const QString& name : names) {
        if (auto entry = parse(QDir(path_).filePath(name)))
            entries.push_back(*entry);
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) { return a.made > b.made; });
    return entries;
}

QString BackupFolder::newName(const QDateTime& when, Reason reason) const
{
    const QString stamp = when.toString(QString::fromLatin1(kTimeFormat));
    for (int n = 0;; ++n) {
        const QString counter = n == 0 ? QString() : QStringLiteral("-%1").arg(n);
        const QString stem = QString::fromLatin1(kPrefix) + stamp + counter + QLatin1Char('_');
        // One time stamp and counter per backup, whatever made it, so that the names order them.
        if (QDir(path_).entryList({stem + QLatin1Char('*')}, QDir::Files).isEmpty())
            return QDir(path_).filePath(stem + reasonKey(reason) + QStringLiteral(".mdb"));
    }
}

int BackupFolder::removeLeftovers() const
{
    const QDir folder(path_);
    const QString prefix = QString::fromLatin1(kPrefix);
    int removed = 0;
    for (const QString& name : folder.entryList({prefix + QStringLiteral("*.mdb.part"), prefix + QStringLiteral("*.mdb.part-journal")}, QDir::Files)) {
        if (QFile::remove(folder.filePath(name)))
            ++removed;
    }
    // The record of a copy that never took its name, and a record cut short while written
    // (store::WholeFile's temporary name): only those of names this folder gives backups.
    static const QRegularExpression record(QStringLiteral("^\\.?(.+\\.mdb)\\.sha256(\\.[A-Za-z0-9]{6})?$"));
    for (const QString& name : folder.entryList({prefix + QStringLiteral("*.mdb.sha256"), QLatin1Char('.') + prefix + QStringLiteral("*.mdb.sha256.*")}, QDir::Files | QDir::Hidden)) {
        const auto match = record.match(name);
        if (!match.hasMatch() || !parse(match.captured(1)))
            continue;
        const bool cutShort = name.startsWith(QLatin1Char('.'));
        if ((cutShort || !QFileInfo::exists(folder.filePath(match.captured(1)))) && QFile::remove(folder.filePath(name)))
            ++removed;
    }
    return removed;
}

void syncFolder(const QString& path)
{
#ifdef Q_OS_UNIX
    const int folder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
#else
    Q_UNUSED(path);
#endif
}

QString describeFailure(int sqliteCode, int osError, const QString& engineMessage)
{
    if ((sqliteCode & 0xff) == SQLITE_FULL || osError == ENOSPC || osError == EDQUOT)
        return messages::messageText(messages::MsgId::その他_空きなし);
    if ((sqliteCode & 0xff) == SQLITE_READONLY || osError == EROFS || osError == EACCES || osError == EPERM)
        return messages::messageText(messages::MsgId::その他_書込不可);
    return engineMessage;
}

BackupResult makeBackup(SQLite::Database& main, const BackupFolder& folder, const QDateTime& when, Reason reason)
{
    BackupResult result;
    if (!store::makePrivateFolder(folder.path())) {
        result.reason = describeFailure(SQLITE_CANTOPEN, errno, QStringLiteral("mkdir ") + folder.path());
        return result;
    }
    const QString finalPath = folder.newName(when, reason);
    const QString partPath = finalPath + QStringLiteral(".part");
    try {
        // The copy is the user's alone from its first byte (an empty file is an empty database).
        if (!store::createPrivateFile(partPath))
            throw SQLite::Exception(describeFailure(SQLITE_CANTOPEN, errno, QStringLiteral("create ") + partPath).toStdString(), SQLITE_CANTOPEN);
        {
            SQLite::Database copy(QFile::encodeName(partPath).toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            // The copy is new and takes its name only once complete: it needs no journal
            // of its own, only the sync at the end of the copy.
            copy.exec("PRAGMA journal_mode = OFF");
            try {
                SQLite::Backup job(copy, "main", main, "main");
                if (const int rc = job.executeStep(-1); rc != SQLITE_DONE)
                    throw SQLite::Exception(sqlite3_errstr(rc), rc);
            } catch (const SQLite::Exception& e) {
                const int os = sqlite3_system_errno(copy.getHandle());
                throw SQLite::Exception(describeFailure(e.getErrorCode(), os, QString::fromUtf8(e.what())).toStdString(), e.getErrorCode());
            }
        }
        // The record of the copy's bytes is on the disk before the copy takes its name: a
        // backup of this version never shows without it.
        int os = 0;
        if (const QString error = writeDigest(finalPath, {{partPath, QFileInfo(finalPath).fileName()}}, &os); !error.isEmpty())
            throw SQLite::Exception(describeFailure(SQLITE_IOERR, os, error).toStdString(), SQLITE_IOERR);
        if (!QFile::rename(partPath, finalPath))
            throw SQLite::Exception(describeFailure(SQLITE_CANTOPEN, errno, QStringLiteral("rename ") + finalPath).toStdString(), SQLITE_CANTOPEN);
        // The new name itself is made durable: the folder is synced after the rename.
        syncFolder(folder.path());
    } catch (const SQLite::Exception& e) {
        QFile::remove(partPath);
        QFile::remove(partPath + QStringLiteral("-journal"));
        QFile::remove(digestPathOf(finalPath));
        result.reason = QString::fromUtf8(e.what());
        // A folder the copy cannot be made in is named, with the cause in Japanese.
        if ((e.getErrorCode() & 0xff) == SQLITE_CANTOPEN && !QFileInfo(folder.path()).isWritable())
            result.reason = QDir::toNativeSeparators(folder.path()) + QLatin1Char('\n') + describeFailure(SQLITE_READONLY, EACCES, result.reason);
        if (result.reason.isEmpty())
            result.reason = QString::fromUtf8(sqlite3_errstr(e.getErrorCode()));
        return result;
    }
    result.ok = true;
    result.path = finalPath;
    return result;
}

} // namespace backup

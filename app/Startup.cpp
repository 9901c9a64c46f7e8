#include "Startup.h"

#include "BackupService.h"
#include "DataFiles.h"
#include "MainWindow.h"
#include "JapaneseFonts.h"
#include "Msg.h"
#include "PrivateFiles.h"
#include "Session.h"
#include "StartupCheck.h"
#include "StartupRescue.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QStorageInfo>
#include <QTranslator>

#include <sqlite3.h>

#include <cerrno>

namespace {

// The catalogue's texts about the lock name these periods.
static_assert(store::InstanceLock::kTouchSeconds == 60 && store::InstanceLock::kStaleMinutes == 10);

// "コンピューター（プロセス n）" and when its lock was last touched.
QString lockOwnerText(const store::InstanceLock& lock, messages::MsgId key)
{
    QString text = messages::messageText(key, lock.staleHost() + QStringLiteral("（プロセス %1）").arg(lock.stalePid()));
    if (lock.lastTouched().isValid())
        text += QLatin1Char('\n') + messages::messageText(messages::MsgId::その他_ロック最終更新, lock.lastTouched().toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    return text;
}

// Refuses a directory a running copy holds, here or on another computer; a stale lock is
// taken over after asking. A lock of a program that has ended on this computer was taken
// over without a question already.
bool settleLock(store::InstanceLock& lock, messages::Msg& msg, const QString& dataDirectory)
{
    const QString path = QDir::toNativeSeparators(lock.path());
    if (lock.heldOnOtherComputer()) {
        msg.ShowMsg(messages::MsgId::その他_別PC使用中, path + QLatin1Char('\n') + lockOwnerText(lock, messages::MsgId::その他_ロック別PC));
        return false;
    }
    if (lock.heldByAnother()) {
        msg.ShowMsg(messages::MsgId::その他_二重起動, dataDirectory);
        return false;
    }
    QString found;
    switch (lock.stale()) {
    case store::InstanceLock::Stale::None:
        return true;
    case store::InstanceLock::Stale::Unreadable:
        found = messages::messageText(messages::MsgId::その他_ロック空);
        break;
    case store::InstanceLock::Stale::OtherComputer:
        if (!msg.ShowMsg(messages::MsgId::その他_ロック別PC残存, path + QLatin1Char('\n') + lockOwnerText(lock, messages::MsgId::その他_ロック別PC)))
            return false;
        return lock.takeOver();
    case store::InstanceLock::Stale::EndedProcess:
        found = messages::messageText(messages::MsgId::その他_ロック終了済, QString::number(lock.stalePid()));
        break;
    }
    if (!msg.ShowMsg(messages::MsgId::その他_ロック残存, path + QLatin1Char('\n') + found))
        return false;
    return lock.takeOver();
}

// The file's path, a sentence saying what is wrong with it and what to do, then the
// engine's own words. Without advice when the box goes on to offer a way out itself.
QString failureText(const store::StartupError& e, bool withAdvice = true)
{
    using Cause = store::StartupError::Cause;
    const bool work = QFileInfo(e.path()).fileName() == QString::fromUtf8(store::kWorkFileName);
    messages::MsgId what = messages::MsgId::その他_原因不明;
    bool advise = withAdvice;
    switch (e.cause()) {
    case Cause::Missing: what = messages::MsgId::その他_原因なし; break;
    case Cause::NotADatabase: what = messages::MsgId::その他_原因非DB; break;
    case Cause::MissingTable: what = messages::MsgId::その他_原因表なし; break;
    case Cause::Damaged: what = messages::MsgId::その他_原因破損; break;
    case Cause::ReadOnly: what = messages::MsgId::その他_原因書込不可, advise = false; break;
    case Cause::Busy: what = messages::MsgId::その他_原因使用中, advise = false; break;
    case Cause::Other: break;
    }
    QString text = QDir::toNativeSeparators(e.path()) + QLatin1Char('\n') + messages::messageText(what);
    if (advise)
        text += messages::messageText(work ? messages::MsgId::その他_対処作業 : messages::MsgId::その他_対処本体);
    return text + QStringLiteral("\n\n") + messages::messageText(messages::MsgId::その他_詳細, e.engineMessage());
}

// A book whose work file is gone (the main file there, the work file not) gets a new work
// file when the user agrees; the sheet being edited and the hint texts it held are lost.
// Answers false when start-up ends: declined, or the file could not be made.
bool replaceLostWorkFile(const QString& dataDirectory, messages::Msg& msg)
{
    const QDir folder(dataDirectory);
    const QFileInfo main(folder.filePath(QString::fromUtf8(store::kMainFileName)));
    const QFileInfo work(folder.filePath(QString::fromUtf8(store::kWorkFileName)));
    if (!main.isFile() || work.exists() || work.isSymLink())
        return true;
    if (!msg.ShowMsg(messages::MsgId::その他_作業ファイル作成, QDir::toNativeSeparators(work.filePath())))
        return false;
    try {
        store::createMissingDataFiles(dataDirectory);
    } catch (const std::exception& e) {
        const QString detail = messages::messageText(messages::MsgId::その他_詳細, QString::fromUtf8(e.what()));
        msg.ShowMsg(messages::MsgId::その他_作成失敗, QDir::toNativeSeparators(work.filePath()) + QStringLiteral("\n\n") + detail);
        return false;
    }
    return true;
}

// Why the data directory cannot be written: the disk being full is named as such.
bool diskIsFull(const QString& dataDirectory)
{
    const QStorageInfo storage(dataDirectory);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < 64 * 1024)
        return true;
    QFile probe(QDir(dataDirectory).filePath(QStringLiteral("Quorel1.probe")));
    if (!probe.open(QIODevice::WriteOnly))
        return errno == ENOSPC;
    const bool full = probe.write(QByteArray(4096, '\0')) != 4096 || !probe.flush();
    const int cause = errno;
    probe.close();
    probe.remove();
    return full && cause == ENOSPC;
}

// Opens both files; a main file that cannot be used may be replaced by the newest good
// backup when the user agrees (only while this program holds the directory).
std::unique_ptr<store::Session> openSession(const QString& dataDirectory, bool mayReplace, messages::Msg& msg)
{
    QString restored;
    try {
        return store::Session::open(dataDirectory);
    } catch (const store::StartupError& e) {
        // A file that cannot be brought up to date on a full disk: the disk is named.
        if (diskIsFull(dataDirectory)) {
            msg.ShowMsg(messages::MsgId::その他_起動空きなし, dataDirectory);
            return nullptr;
        }
        const QString mainPath = QDir(dataDirectory).filePath(QString::fromUtf8(store::kMainFileName));
        const backup::BackupFolder folder(dataDirectory);
        const auto good = mayReplace && e.path() == mainPath ? backup::newestGoodBackup(folder) : std::nullopt;
        const QString failure = failureText(e, !good);
        if (!good) {
            msg.ShowMsg(messages::MsgId::その他_起動失敗, failure);
            return nullptr;
        }
        const QString name = backup::describe(good->entry);
        // A backup without a record of its bytes is offered as what it is, never as sound.
        const auto question = good->unverified ? messages::MsgId::その他_起動失敗復元未検証 : messages::MsgId::その他_起動失敗復元;
        if (!msg.ShowMsg(question, failure + QStringLiteral("\n\n") + name))
            return nullptr;
        if (const auto problem = backup::replaceMainFile(mainPath, good->entry.path, folder, QDateTime::currentDateTime())) {
            msg.ShowMsg(messages::MsgId::復元_失敗, name + QLatin1Char('\n') + *problem);
            return nullptr;
        }
        restored = name;
    }
    try {
        auto session = store::Session::open(dataDirectory);
        msg.ShowMsg(messages::MsgId::復元_完了, restored);
        return session;
    } catch (const store::StartupError& e) {
        msg.ShowMsg(messages::MsgId::その他_起動失敗, failureText(e));
        return nullptr;
    }
}

} // namespace

void prepareApplication()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    fonts::installJapaneseFonts();
    QApplication::setFont(QFont(fonts::proportionalFamily(), 10));
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

StartupOutcome startQuorel1(const QString& dataDirectory, messages::MessagePresenter& presenter)
{
    prepareApplication();
    messages::Msg msg(presenter);
    auto lock = std::make_unique<store::InstanceLock>(dataDirectory);
    if (!settleLock(*lock, msg, dataDirectory))
        return {nullptr, 1};
    if (lock->acquired()) {
        // Files earlier versions left readable by every user of the computer are narrowed.
        store::narrowDataFolder(dataDirectory);
        lock->keepFresh();
    }
    // A crash journal is kept with the file it lay beside before the engine rolls it back.
    const QString mainPath = QDir(dataDirectory).filePath(QString::fromUtf8(store::kMainFileName));
    const bool recovered = lock->acquired()
        && backup::preserveHotJournal(mainPath, backup::BackupFolder(dataDirectory), QDateTime::currentDateTime()).has_value();
    if (lock->acquired() && !replaceLostWorkFile(dataDirectory, msg))
        return {nullptr, 1};
    std::unique_ptr<store::Session> session = openSession(dataDirectory, lock->acquired(), msg);
    if (!session)
        return {nullptr, 1};
    if (!lock->acquired()) {
        // The directory cannot be written: the files could not be changed safely.
        if (diskIsFull(dataDirectory))
            msg.ShowMsg(messages::MsgId::その他_起動空きなし, dataDirectory);
        else
            msg.ShowMsg(messages::MsgId::その他_起動失敗,
                failureText(store::StartupError(dataDirectory, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)), store::StartupError::Cause::ReadOnly)));
        return {nullptr, 1};
    }
    auto window = std::make_unique<MainWindow>(std::move(lock), std::move(session), presenter);
    // The page check of the whole files runs once the window shows.
    new StartupCheck(*window);
    if (recovered)
        window->checkBalancesAfterRecovery();
    return {std::move(window), 0};
}

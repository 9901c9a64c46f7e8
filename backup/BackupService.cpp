#include "BackupService.h"

#include "Book.h"

#include "BookFile.h"
#include "Msg.h"
#include "Restore.h"
#include "Rotation.h"
#include "Session.h"
#include "Skip.h"
#include "Sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

namespace backup {

namespace {

QString commandName(Reason reason)
{
    switch (reason) {
    case Reason::AllDelete:
        return QStringLiteral("全削除");
    case Reason::PayeeLineDelete:
        return QStringLiteral("支払先の行削除");
    default:
        return QStringLiteral("行削除");
    }
}

QString summaryText(const BookSummary& summary)
{
    QString text = QStringLiteral("保存行 %1 行").arg(QLocale::c().toString(summary.storedLines));
    if (summary.latestMonth.isValid())
        text += QStringLiteral("、最新 ") + summary.latestMonth.toString(QStringLiteral("yyyy年MM月"));
    return text;
}

} // namespace

ChangeMark changeMark(store::Session& session)
{
    ChangeMark mark;
    store::skipOnFailure(QStringLiteral("data_version"), [&] {
        mark.dataVersion = store::scalar(session.mainDb(), QStringLiteral("PRAGMA data_version")).toLongLong();
        mark.ownChanges = sqlite3_total_changes64(session.mainDb().getHandle());
    });
    return mark;
}

QString describe(const BackupEntry& entry)
{
    return entry.made.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) + QStringLiteral("（") + reasonLabel(entry.reason) + QStringLiteral("）");
}

BackupService::BackupService(store::Session& session, messages::Msg& msg, Clock clock)
    : session_(session)
    , msg_(msg)
    , clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
    , folder_(session.dataDirectory())
{
    lastBackedUp_ = changeMark(session_);
    watchCommits(true);
}

BackupService::~BackupService()
{
    watchCommits(false);
    if (daily_.joinable())
        daily_.join();
}

void BackupService::watchCommits(bool on)
{
    if (!session_.isOpen())
        return;
    for (SQLite::Database* db : {&session_.mainDb(), &session_.workDb()})
        sqlite3_commit_hook(db->getHandle(), on ? &BackupService::committed : nullptr, on ? this : nullptr);
}

int BackupService::committed(void* service)
{
    // The engine is still inside the commit: nothing may run a statement now.
    auto* self = static_cast<BackupService*>(service);
    if (self->undo_ && !self->recheckDue_) {
        self->recheckDue_ = true;
        QMetaObject::invokeMethod(self, &BackupService::recheckUndo, Qt::QueuedConnection);
    }
    return 0; // the commit goes on
}

void BackupService::recheckUndo()
{
    recheckDue_ = false;
    if (session_.isOpen())
        undoAvailable();
}

BackupResult BackupService::make(Reason reason, const QStringList& keep)
{
    const QDateTime now = clock_();
    BackupResult result = makeBackup(session_.mainDb(), folder_, now, reason);
    if (result.ok)
        keepMade(result, reason, changeMark(session_), now, keep);
    return result;
}

void BackupService::keepMade(const BackupResult& result, Reason reason, const ChangeMark& mark, const QDateTime& when, const QStringList& keep)
{
    lastBackedUp_ = mark;
    QStringList kept = keep;
    kept << result.path;
    if (isBeforeDestructive(reason))
        lastDestructiveBackup_ = result.path;
    kept << lastDestructiveBackup_;
    if (undo_)
        kept << undo_->backupPath;
    rotate(folder_, when.date(), kept);
}

void BackupService::atStart()
{
    // Only the program that holds the book makes backups: a copy still under its temporary
    // name was cut short by a crash and is of no use.
    folder_.removeLeftovers();
    const QDate today = clock_().date();
    for (const BackupEntry& entry : folder_.list()) {
        if (entry.reason == Reason::Daily && entry.made.date() == today)
            return;
    }
    dailyDue_ = true;
}

void BackupService::startDaily()
{
    if (!dailyDue_ || daily_.joinable())
        return;
    // What the copy holds: the book as it stands now. A change made while the copy runs
    // waits for it (the copy holds the file's read lock), so at worst the close makes one
    // backup more.
    dailyMark_ = changeMark(session_);
    dailyWhen_ = clock_();
    const QString mainPath = session_.mainPath();
    daily_ = std::thread([this, mainPath] {
        try {
            SQLite::Database source(QFile::encodeName(mainPath).toStdString(), SQLite::OPEN_READONLY, 10000);
            dailyResult_ = makeBackup(source, folder_, dailyWhen_, Reason::Daily);
        } catch (const SQLite::Exception& e) {
            dailyResult_ = BackupResult{false, {}, describeFailure(e.getErrorCode(), 0, QString::fromUtf8(e.what()))};
        }
        QMetaObject::invokeMethod(this, &BackupService::collectDaily, Qt::QueuedConnection);
    });
}

void BackupService::collectDaily()
{
    if (!daily_.joinable())
        return;
    daily_.join();
    dailyDue_ = false;
    if (dailyResult_.ok) {
        keepMade(dailyResult_, Reason::Daily, dailyMark_, dailyWhen_);
        return;
    }
    msg_.ShowMsg(messages::MsgId::バックアップ_失敗, dailyResult_.reason);
}

void BackupService::atShutdown()
{
    collectDaily();
    const bool changed = changeMark(session_) != lastBackedUp_;
    if (!changed && !dailyDue_)
        return;
    // Closed before the day's copy began: the book as it stands is kept, as the day's copy
    // when it is still as the start found it.
    const Reason reason = changed ? Reason::Shutdown : Reason::Daily;
    dailyDue_ = false;
    const BackupResult result = make(reason);
    if (!result.ok)
        msg_.ShowMsg(messages::MsgId::バックアップ_失敗, result.reason);
}

bool BackupService::beforeDestructive(Reason reason)
{
    dropUndo();
    lastDestructiveBackup_.clear();
    const BackupResult result = make(reason);
    if (result.ok)
        return true;
    return msg_.ShowMsg(messages::MsgId::バックアップ_失敗確認, result.reason);
}

void BackupService::destructiveDone(Reason reason)
{
    if ((reason != Reason::AllDelete && reason != Reason::LineDelete && reason != Reason::PayeeLineDelete) || lastDestructiveBackup_.isEmpty())
        return;
    undo_ = Undo{lastDestructiveBackup_, reason, changeMark(session_)};
    emit undoChanged();
}

void BackupService::dropUndo()
{
    if (!undo_)
        return;
    undo_.reset();
    emit undoChanged();
}

bool BackupService::undoAvailable()
{
    if (undo_ && (changeMark(session_) != undo_->after || !QFileInfo::exists(undo_->backupPath)))
        dropUndo();
    return undo_.has_value();
}

QString BackupService::undoText() const
{
    return undo_ ? commandName(undo_->reason) : QString();
}

bool BackupService::undo()
{
    if (!undoAvailable())
        return false;
    const QString command = commandName(undo_->reason);
    const QString backupPath = undo_->backupPath;
    // The copy was made by this run: its record alone shows whether it is still that copy.
    if (checkDigest(backupPath) == DigestState::Mismatch && !confirmDamaged(backupPath, command + QStringLiteral("の前"), {}))
        return false;
    if (!msg_.ShowMsg(messages::MsgId::復元_取消確認, command))
        return false;
    return replaceWith(backupPath, command + QStringLiteral("の前"));
}

bool BackupService::restore(const QString& backupPath, const std::optional<BackupCondition>& known)
{
    const auto entry = BackupFolder::parse(backupPath);
    const QString name = entry ? describe(*entry) : backupPath;
    const BackupCondition found = known ? *known : *inspectBackup(backupPath);
    if (found.unusable) {
        msg_.ShowMsg(messages::MsgId::復元_拒否, backupPath + QLatin1Char('\n') + *found.unusable);
        return false;
    }
    // A backup whose bytes are no longer those recorded when it was made, or whose balances
    // do not follow from its amounts (a damaged amount), is named before anything is
    // replaced; it is restored only when the user insists.
    if (found.digest == DigestState::Mismatch) {
        if (!confirmDamaged(backupPath, name, found.chainBreak))
            return false;
    } else if (found.chainBreak) {
        if (!msg_.ShowMsg(messages::MsgId::復元_残高不整合, name + QLatin1Char('\n') + describeBreak(*found.chainBreak)))
            return false;
    }
    const QString what = name + (found.summary ? QStringLiteral(" ") + summaryText(*found.summary) : QString());
    if (!msg_.ShowMsg(messages::MsgId::復元_確認, what))
        return false;
    return replaceWith(backupPath, name);
}

bool BackupService::confirmDamaged(const QString& backupPath, const QString& name, const std::optional<ledger::ChainBreak>& broken)
{
    QString what = name + QLatin1Char('\n') + QDir::toNativeSeparators(backupPath);
    if (broken)
        what += QLatin1Char('\n') + messages::messageText(messages::MsgId::復元_破損残高, describeBreak(*broken));
    return msg_.ShowMsg(messages::MsgId::復元_破損, what);
}

bool BackupService::replaceWith(const QString& backupPath, const QString& name)
{
    if (beforeReplace && !beforeReplace())
        return false;
    const BackupResult before = make(Reason::Restore, {backupPath});
    if (!before.ok && !msg_.ShowMsg(messages::MsgId::バックアップ_失敗確認, before.reason))
        return false;
    // A main file that failed its check takes writes again for the restore that replaces it.
    const bool damagedMain = session_.writesRefusedFor() == session_.mainPath();
    try {
        if (damagedMain)
            session_.allowWrites();
        restoreInto(session_.mainDb(), backupPath);
    } catch (const store::DbError& e) {
        if (damagedMain)
            store::skipOnFailure(QStringLiteral("refuse writes again"), [&] { session_.refuseWrites(session_.mainPath()); });
        store::logSkipped(QStringLiteral("restore"), e);
        msg_.ShowMsg(messages::MsgId::復元_失敗, name + QLatin1Char('\n') + messages::messageText(messages::MsgId::その他_詳細, e.engineMessage()));
        return false;
    }
    dropUndo();
    lastBackedUp_ = changeMark(session_);
    lastReplacement_ = name;
    emit bookReplaced();
    QString summary;
    store::skipOnFailure(QStringLiteral("summary"), [&] { summary = summaryText(ledger::Book(session_.mainDb()).summary()); });
    msg_.ShowMsg(messages::MsgId::復元_完了, name + QStringLiteral(" ") + summary);
    return true;
}

} // namespace backup

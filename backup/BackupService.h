#pragma once

#include "BackupCheck.h"
#include "BackupFolder.h"

#include <QDateTime>
#include <QObject>

#include <functional>
#include <thread>
#include <optional>

namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace backup {

// What shows that the main file changed: the engine's data version on the main
// connection (moves when another connection, the work connection with the main file
// attached, commits to it) and the changes made through the main connection itself.
struct ChangeMark {
    qint64 dataVersion = -1;
    qint64 ownChanges = -1;
    bool operator==(const ChangeMark&) const = default;
};
ChangeMark changeMark(store::Session& session);

// "yyyy/MM/dd hh:mm:ss（what made it）" for the boxes and the list.
QString describe(const BackupEntry& entry);

// The backups of one open book: made before destructive commands, once a day at start
// and at a clean shutdown after changes, kept by the rotation; restore and the undo of
// the last 全削除 or 行削除. A backup that fails is told; before a command the user
// chooses to go on without it or to stop. Works through the message catalogue only.
class BackupService : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // Watches the commits of the session's two connections (see undoChanged()).
    BackupService(store::Session& session, messages::Msg& msg, Clock clock = {});
    // Waits for the day's copy when it is still being made.
    ~BackupService() override;

    const BackupFolder& folder() const { return folder_; }
    messages::Msg& msg() { return msg_; }

    // The day's first backup when none was made today for a start. The copies crashes left
    // half made go at once; the day's copy is due and made by startDaily() once the window
    // shows, so that the start does not wait for a copy of the whole book.
    void atStart();
    // Makes the day's copy when it is due, on a thread of its own through a read-only
    // connection of its own; taken in (rotation, a failure told) once done.
    void startDaily();
    // Waits for the day's copy (or makes it now when it has not begun), then makes a backup
    // when the book changed since the last backup this run made or found.
    void atShutdown();
    // Whether the day's copy is still to be made or being made.
    bool dailyPending() const { return dailyDue_; }
    // Makes the backup before a destructive command; answers whether the command may go on.
    bool beforeDestructive(Reason reason);
    // The command ran: 全削除 and 行削除 can now be undone while nothing else is stored.
    void destructiveDone(Reason reason);

    bool undoAvailable();
    // Whether the undo is on offer, as last checked (no look at the files).
    bool undoOffered() const { return undo_.has_value(); }
    // The status line's text for the command that can be undone.
    QString undoText() const;
    // Asks, then restores the backup made right before the last destructive command (when
    // its bytes are no longer those recorded, only when the user insists).
    bool undo();
    // Checks the backup (inspectBackup), asks, keeps the current state as a backup, restores,
    // announces bookReplaced and tells what was restored. A backup that is no book is
    // refused; one that differs from its record or whose balances do not follow is restored
    // only when the user insists. Answers whether the book was replaced. `known` is what an
    // inspection found in the backup while it is unchanged since (BackupInspector::known):
    // the backup is then not read again.
    bool restore(const QString& backupPath, const std::optional<BackupCondition>& known = std::nullopt);

    // Asked right before the book is replaced (undo or restore): whether the screens may
    // drop what they hold that is not stored. Answering false leaves the book as it is.
    std::function<bool()> beforeReplace;

    // What the main file was last replaced with: a backup's description, or the state
    // before the command an undo took back.
    const QString& lastReplacement() const { return lastReplacement_; }

signals:
    // The main file's contents were replaced: every page reads it again.
    void bookReplaced();
    // The undo offer appeared or went away. The offer lapses once anything else is stored:
    // after each commit on either connection while it stands, the main file is looked at
    // again once the event loop has the hand.
    void undoChanged();

private:
    struct Undo {
        QString backupPath;
        Reason reason;
        ChangeMark after;
    };
    BackupResult make(Reason reason, const QStringList& keep = {});
    // Takes in the day's copy: joins its thread, rotates, tells a failure.
    void collectDaily();
    // Records a backup just made and rotates the folder.
    void keepMade(const BackupResult& result, Reason reason, const ChangeMark& mark, const QDateTime& when, const QStringList& keep = {});
    // Names a backup whose bytes differ from its record and asks whether to restore it all
    // the same (No preselected).
    bool confirmDamaged(const QString& backupPath, const QString& name, const std::optional<ledger::ChainBreak>& broken);
    // Keeps the current state, restores, announces and tells; `name` says what was restored.
    bool replaceWith(const QString& backupPath, const QString& name);
    void dropUndo();
    // The engine's commit hook of both connections, and the look it asks for.
    static int committed(void* service);
    void recheckUndo();
    void watchCommits(bool on);

    store::Session& session_;
    messages::Msg& msg_;
    Clock clock_;
    BackupFolder folder_;
    ChangeMark lastBackedUp_;
    QString lastReplacement_;
    QString lastDestructiveBackup_;
    std::optional<Undo> undo_;
    bool recheckDue_ = false;
    bool dailyDue_ = false;
    std::thread daily_;
    BackupResult dailyResult_;
    ChangeMark dailyMark_;
    QDateTime dailyWhen_;
};

} // namespace backup

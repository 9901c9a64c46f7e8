#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QTimer;

namespace store {

// What a lock file says about the program that wrote it: the lines of Qt's lock files
// (process id, program, computer name, machine id, boot id) and a token of its own that
// tells one running program's lock from another's.
struct LockOwner {
    qint64 pid = 0;
    QString application;
    QString host;
    QByteArray machineId;
    QByteArray bootId;
    QByteArray token;

    static std::optional<LockOwner> parse(const QByteArray& content);
    QByteArray text() const;
    // This program on this computer with its id, computer name and ids, and a new token.
    static LockOwner thisProgram();
};

// Keeps a second copy of the program off the same data directory, on this computer and
// on others that share the folder.
//
// While the program runs it holds the lock file open with an exclusive flock(2), so that
// a second program on this computer (or on a network file system that passes the lock on)
// is refused whatever the file says, and it touches the file every kTouchSeconds so that a
// computer that cannot see the flock sees the lock is in use. At the end it removes the
// file only when the file is still its own (same file, same token).
//
// A lock nobody holds is judged by what it names (a computer is told by its machine id and
// its name: a lock whose name differs is another computer's even when the ids agree, as
// for a copied system): one written by this computer in this
// boot, or before its last restart, belongs to a program that has ended and is taken over
// at once; one written by another computer is refused while it was touched within
// kStaleMinutes, and after that reported as stale (nothing can show that the other computer
// no longer uses the folder); an empty or unreadable one, or one of an earlier version that
// names no boot, is reported as stale. A stale lock is taken over only by takeOver().
class InstanceLock {
public:
    static constexpr int kTouchSeconds = 60;
    static constexpr int kStaleMinutes = 10;

    enum class Stale { None, Unreadable, OtherComputer, EndedProcess };

    // `now` is the clock the age of another computer's lock is measured with.
    explicit InstanceLock(const QString& dataDirectory, const QDateTime& now = QDateTime::currentDateTimeUtc());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool acquired() const { return fd_ >= 0 && acquired_; }
    // Another running program holds the directory: on this computer, or on another one
    // that touched the lock within kStaleMinutes.
    bool heldByAnother() const { return held_; }
    bool heldOnOtherComputer() const { return held_ && otherComputer_; }
    Stale stale() const { return stale_; }
    // What the lock file of another program names, and when it was last touched.
    qint64 stalePid() const { return owner_ ? owner_->pid : 0; }
    QString staleHost() const { return owner_ ? owner_->host : QString(); }
    const QDateTime& lastTouched() const { return lastTouched_; }
    const QString& path() const { return path_; }
    // Writes this program into a stale lock file and holds it; answers whether it is held.
    bool takeOver();

    // Marks the lock as in use now (the timer calls it); a lock that is no longer this
    // program's own is left alone. Answers whether the file is still this program's.
    bool touch();
    // Starts touching the lock every kTouchSeconds on the calling thread's event loop.
    void keepFresh();
    // Removes the lock file when it is still this program's, and lets go of it. Idempotent.
    void release();

private:
    bool openHeld();
    void judge(const QDateTime& now);
    bool writeOwn();
    bool stillOwn() const;

    QString path_;
    int fd_ = -1;
    bool created_ = false;
    bool acquired_ = false;
    bool held_ = false;
    bool otherComputer_ = false;
    Stale stale_ = Stale::None;
    std::optional<LockOwner> owner_;
    QDateTime lastTouched_;
    LockOwner own_;
    std::unique_ptr<QTimer> touchTimer_;
};

} // namespace store

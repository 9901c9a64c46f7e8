#pragma once

#include "BackupCheck.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace backup {

// Finds the condition of backups (inspectBackup) on a thread of its own, one backup after
// the other, so that reading a large backup whole never holds up the window; what it found
// is kept as long as the backup and its record stay as they were. Lives on the window's
// thread, where it announces each backup it has inspected.
class BackupInspector : public QObject {
    Q_OBJECT
public:
    explicit BackupInspector(QObject* parent = nullptr);
    // Stops the inspection under way and waits for its thread.
    ~BackupInspector() override;

    // What was found in a backup, while the backup and its record are unchanged since.
    std::optional<BackupCondition> known(const QString& path) const;
    // Queues the backups whose condition is not known, for the thread.
    void inspect(const QStringList& paths);
    // Whether backups are queued or being inspected.
    bool busy() const { return !pending_.isEmpty(); }

signals:
    void inspected(const QString& path);

private:
    // What tells a changed file: its identity, size, time of change, for the backup and its
    // record together.
    using Stamp = QList<qint64>;
    static Stamp stampOf(const QString& path);
    struct Found {
        Stamp stamp;
        BackupCondition condition;
    };

    void run();
    void take(const QString& path, const Stamp& stamp, const BackupCondition& condition);

    QHash<QString, Found> found_;
    QStringList pending_;
    std::mutex lock_;
    std::deque<QString> queue_; // under lock_
    bool running_ = false;      // under lock_
    std::atomic_bool stop_ = false;
    std::thread thread_;
};

} // namespace backup

#include "BackupInspector.h"

#include <QFile>

#include <sys/stat.h>

namespace backup {

BackupInspector::BackupInspector(QObject* parent)
    : QObject(parent)
{
}

BackupInspector::~BackupInspector()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

BackupInspector::Stamp BackupInspector::stampOf(const QString& path)
{
    Stamp stamp;
    for (const QString& file : {path, digestPathOf(path)}) {
        struct stat st {};
        if (::stat(QFile::encodeName(file).constData(), &st) != 0) {
            stamp << -1;
            continue;
        }
        stamp << qint64(st.st_ino) << qint64(st.st_size) << qint64(st.st_mtim.tv_sec) << qint64(st.st_mtim.tv_nsec)
              << qint64(st.st_ctim.tv_sec) << qint64(st.st_ctim.tv_nsec);
    }
    return stamp;
}

std::optional<BackupCondition> BackupInspector::known(const QString& path) const
{
    const auto found = found_.find(path);
    if (found == found_.end() || found->stamp != stampOf(path))
        return std::nullopt;
    return found->condition;
}

void BackupInspector::inspect(const QStringList& paths)
{
    QStringList queued;
    for (const QString& path : paths) {
        if (!pending_.contains(path) && !known(path))
            queued << path;
    }
    if (queued.isEmpty())
        return;
    pending_ << queued;
    {
        const std::lock_guard guard(lock_);
        queue_.insert(queue_.end(), queued.begin(), queued.end());
        if (running_)
            return;
        running_ = true;
    }
    // A thread that found its queue empty has ended or is about to.
    if (thread_.joinable())
        thread_.join();
    thread_ = std::thread([this] { run(); });
}

void BackupInspector::run()
{
    for (;;) {
        QString path;
        {
            const std::lock_guard guard(lock_);
            if (queue_.empty() || stop_) {
                running_ = false;
                return;
            }
            path = queue_.front();
            queue_.pop_front();
        }
        // Taken first: a change made while the backup is read shows at the next look.
        const Stamp stamp = stampOf(path);
        std::optional<BackupCondition> condition;
        try {
            condition = inspectBackup(path, [this] { return stop_.load(); });
        } catch (const std::exception& e) {
            condition = BackupCondition{};
            condition->unusable = QString::fromLocal8Bit(e.what());
        }
        if (condition)
            QMetaObject::invokeMethod(this, [this, path, stamp, found = *condition] { take(path, stamp, found); }, Qt::QueuedConnection);
    }
}

void BackupInspector::take(const QString& path, const Stamp& stamp, const BackupCondition& condition)
{
    pending_.removeAll(path);
    found_.insert(path, Found{stamp, condition});
    // Changed while it was read: what was found no longer holds, so it is read again.
    if (stamp != stampOf(path)) {
        inspect({path});
        return;
    }
    emit inspected(path);
}

} // namespace backup

#include "InstanceLock.h"

#include "PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

constexpr qint64 kMaxLockText = 4096;

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

QByteArray readAllAt(int fd)
{
    QByteArray text(kMaxLockText, '\0');
    const ssize_t read = ::pread(fd, text.data(), static_cast<size_t>(text.size()), 0);
    text.resize(read > 0 ? read : 0);
    return text;
}

QDateTime modifiedAt(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000, Qt::UTC);
}

bool samePlace(int fd, const QString& path)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

// Whether both name a computer and not the same one. A copy of a system (a cloned virtual
// machine) keeps the machine id under a computer name of its own: a name that differs
// tells another computer even when the ids agree.
bool otherComputer(const LockOwner& owner, const LockOwner& own)
{
    const bool idsDiffer = !owner.machineId.isEmpty() && !own.machineId.isEmpty() && owner.machineId != own.machineId;
    const bool namesDiffer = !owner.host.isEmpty() && !own.host.isEmpty() && owner.host != own.host;
    return idsDiffer || namesDiffer;
}

} // namespace

std::optional<LockOwner> LockOwner::parse(const QByteArray& content)
{
    const QList<QByteArray> lines = content.split('\n');
    LockOwner owner;
    bool ok = false;
    owner.pid = lines.value(0).trimmed().toLongLong(&ok);
    if (!ok || owner.pid <= 0)
        return std::nullopt;
    owner.application = QString::fromUtf8(lines.value(1));
    owner.host = QString::fromUtf8(lines.value(2));
    owner.machineId = lines.value(3).trimmed();
    owner.bootId = lines.value(4).trimmed();
    owner.token = lines.value(5).trimmed();
    return owner;
}

QByteArray LockOwner::text() const
{
    return QByteArray::number(pid) + '\n' + application.toUtf8() + '\n' + host.toUtf8() + '\n' + machineId + '\n' + bootId + '\n' + token + '\n';
}

LockOwner LockOwner::thisProgram()
{
    LockOwner owner;
    owner.pid = QCoreApplication::applicationPid();
    owner.application = QStringLiteral("Quorel1");
    owner.host = QSysInfo::machineHostName();
    owner.machineId = QSysInfo::machineUniqueId();
    owner.bootId = QSysInfo::bootUniqueId();
    const quint64 random[2] = {QRandomGenerator::system()->generate64(), QRandomGenerator::system()->generate64()};
    owner.token = QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex();
    return owner;
}

InstanceLock::InstanceLock(const QString& dataDirectory, const QDateTime& now)
    : path_(QDir(dataDirectory).filePath(QStringLiteral("Quorel1.lock")))
    , own_(LockOwner::thisProgram())
{
    if (openHeld())
        judge(now);
}

InstanceLock::~InstanceLock()
{
    release();
}

bool InstanceLock::openHeld()
{
    // The file found at the path is the one locked: a file removed or replaced between
    // the open and the flock is opened again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QByteArray native = QFile::encodeName(path_);
        fd_ = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kPrivateFileMode);
        created_ = fd_ >= 0;
        if (fd_ < 0 && errno == EEXIST)
            fd_ = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd_ < 0)
            return false;
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            // A running program holds it; what it wrote says where.
            held_ = true;
            owner_ = LockOwner::parse(readAllAt(fd_));
            otherComputer_ = owner_ && otherComputer(*owner_, own_);
            lastTouched_ = modifiedAt(fd_);
            ::close(fd_);
            fd_ = -1;
            return false;
        }
        if (samePlace(fd_, path_))
            return true;
        ::close(fd_);
        fd_ = -1;
    }
    return false;
}

void InstanceLock::judge(const QDateTime& now)
{
    const QByteArray content = readAllAt(fd_);
    if (created_ && content.isEmpty()) {
        writeOwn();
        return;
    }
    // An empty file found here was left between its making and its first line.
    owner_ = LockOwner::parse(content);
    if (!owner_) {
        stale_ = Stale::Unreadable;
        return;
    }
    lastTouched_ = modifiedAt(fd_);
    const bool idsKnown = !owner_->machineId.isEmpty() && !own_.machineId.isEmpty();
    const bool thisComputer = !otherComputer(*owner_, own_) && (idsKnown || owner_->host == own_.host);
    if (thisComputer && !owner_->bootId.isEmpty()) {
        // Nobody on this computer holds the flock: the program that wrote it has ended, in
        // this boot or before the computer was restarted.
        writeOwn();
        return;
    }
    if (thisComputer) {
        // An earlier version's lock names no boot: its process may still run without a flock.
        if (processAlive(owner_->pid) && owner_->pid != own_.pid) {
            held_ = true;
            release();
        } else {
            stale_ = Stale::EndedProcess;
        }
        return;
    }
    otherComputer_ = true;
    const qint64 silent = lastTouched_.isValid() ? lastTouched_.secsTo(now) : qint64(kStaleMinutes) * 60;
    if (silent >= qint64(kStaleMinutes) * 60) {
        stale_ = Stale::OtherComputer;
        return;
    }
    held_ = true;
    release();
}

bool InstanceLock::writeOwn()
{
    const QByteArray text = own_.text();
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, text.constData(), static_cast<size_t>(text.size()), 0) != text.size() || ::fsync(fd_) != 0) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    acquired_ = true;
    stale_ = Stale::None;
    return true;
}

bool InstanceLock::takeOver()
{
    if (acquired())
        return true;
    if (fd_ < 0 || stale_ == Stale::None)
        return false;
    return writeOwn();
}

bool InstanceLock::stillOwn() const
{
    if (fd_ < 0 || !acquired_ || !samePlace(fd_, path_))
        return false;
    const auto owner = LockOwner::parse(readAllAt(fd_));
    return owner && owner->token == own_.token;
}

bool InstanceLock::touch()
{
    if (!stillOwn())
        return false;
    return ::futimens(fd_, nullptr) == 0;
}

void InstanceLock::keepFresh()
{
    if (touchTimer_ || !acquired())
        return;
    touchTimer_ = std::make_unique<QTimer>();
    touchTimer_->setInterval(kTouchSeconds * 1000);
    QObject::connect(touchTimer_.get(), &QTimer::timeout, [this] { touch(); });
    touchTimer_->start();
}

void InstanceLock::release()
{
    touchTimer_.reset();
    if (fd_ < 0)
        return;
    // Removed while the flock is still held, and only when it is still this program's file.
    if (stillOwn())
        ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
    fd_ = -1;
    acquired_ = false;
}

} // namespace store

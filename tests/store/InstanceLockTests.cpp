// The lock of the data folder: held by one running program at a time, on this computer and
// on others that share the folder, and removed only by the program that holds it.
#include "InstanceLock.h"
#include "TempDataDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

using namespace store;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

qint64 endedPid()
{
    QProcess child;
    child.start("true");
    child.waitForFinished();
    return child.processId() > 0 ? child.processId() : 999999;
}

// A lock file's lines as another program writes them.
QByteArray lockText(qint64 pid, const QByteArray& host, const QByteArray& machineId, const QByteArray& bootId, const QByteArray& token = "0123456789abcdef")
{
    return QByteArray::number(pid) + "\nQuorel1\n" + host + "\n" + machineId + "\n" + bootId + "\n" + token + "\n";
}

QDateTime modified(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec, Qt::UTC);
}

void setModified(const QString& path, const QDateTime& when)
{
    struct utimbuf times {};
    times.actime = times.modtime = static_cast<time_t>(when.toSecsSinceEpoch());
    ::utime(QFile::encodeName(path).constData(), &times);
}

} // namespace

TEST(InstanceLock, ALockOfAProgramThatEndedOnThisComputerIsTakenOverWithoutAQuestion)
{
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const QByteArray machine = QSysInfo::machineUniqueId();
    ASSERT_FALSE(QSysInfo::bootUniqueId().isEmpty());
    const QByteArray cases[] = {
        lockText(endedPid(), host, machine, QSysInfo::bootUniqueId()), // this boot
        lockText(1, host, machine, QSysInfo::bootUniqueId()),          // a live process id reused
        lockText(endedPid(), host, machine, "boot-before-the-restart"), // before a restart
    };
    for (const QByteArray& content : cases) {
        TempDataDir dir;
        writeFile(dir.filePath("Quorel1.lock"), content);
        InstanceLock lock(dir.path());
        EXPECT_TRUE(lock.acquired()) << content.toStdString();
        EXPECT_EQ(lock.stale(), InstanceLock::Stale::None);
        const auto written = LockOwner::parse(TempDataDir::readAll(lock.path()));
        ASSERT_TRUE(written);
        EXPECT_EQ(written->pid, QCoreApplication::applicationPid());
        EXPECT_EQ(written->bootId, QSysInfo::bootUniqueId());
        EXPECT_EQ(written->token.size(), 32);
    }
}

TEST(InstanceLock, AnotherComputersLockIsRefusedWhileFreshAndOnlyOfferedAfterTenSilentMinutes)
{
    TempDataDir dir;
    const QString path = dir.filePath("Quorel1.lock");
    const QByteArray content = lockText(4242, "office-pc", "another-machine-id", "another-boot");
    writeFile(path, content);
    const QDateTime touched = modified(path);
    {
        InstanceLock fresh(dir.path(), touched.addSecs(InstanceLock::kStaleMinutes * 60 - 1));
        EXPECT_FALSE(fresh.acquired());
        EXPECT_TRUE(fresh.heldOnOtherComputer());
        EXPECT_EQ(fresh.staleHost(), "office-pc");
        EXPECT_EQ(fresh.lastTouched().toSecsSinceEpoch(), touched.toSecsSinceEpoch());
        EXPECT_FALSE(fresh.takeOver());
    }
    EXPECT_EQ(TempDataDir::readAll(path), content);
    {
        InstanceLock silent(dir.path(), touched.addSecs(InstanceLock::kStaleMinutes * 60 + 1));
        EXPECT_FALSE(silent.acquired());
        EXPECT_FALSE(silent.heldByAnother());
        EXPECT_EQ(silent.stale(), InstanceLock::Stale::OtherComputer);
        // While the question is open, a second start is refused.
        InstanceLock meanwhile(dir.path(), touched.addSecs(3600));
        EXPECT_TRUE(meanwhile.heldByAnother());
        EXPECT_EQ(meanwhile.stale(), InstanceLock::Stale::None);
    }
    // Declined: the file is as it was. Agreed: it is this program's.
    EXPECT_EQ(TempDataDir::readAll(path), content);
    InstanceLock agreed(dir.path(), touched.addSecs(3600));
    ASSERT_TRUE(agreed.takeOver());
    EXPECT_EQ(LockOwner::parse(TempDataDir::readAll(path))->pid, QCoreApplication::applicationPid());
}

TEST(InstanceLock, ALockOfAnotherComputerNameIsAnotherComputersEvenWithThisMachineId)
{
    // A copied system: this machine id and boot, under a computer name of its own.
    TempDataDir dir;
    const QString path = dir.filePath("Quorel1.lock");
    const QByteArray content = lockText(endedPid(), "cloned-pc", QSysInfo::machineUniqueId(), QSysInfo::bootUniqueId());
    ASSERT_NE(QSysInfo::machineHostName(), "cloned-pc");
    writeFile(path, content);
    const QDateTime touched = modified(path);
    {
        InstanceLock fresh(dir.path(), touched.addSecs(60));
        EXPECT_FALSE(fresh.acquired());
        EXPECT_TRUE(fresh.heldOnOtherComputer());
        EXPECT_EQ(fresh.staleHost(), "cloned-pc");
    }
    {
        InstanceLock silent(dir.path(), touched.addSecs(InstanceLock::kStaleMinutes * 60 + 1));
        EXPECT_FALSE(silent.acquired()) << "offered after asking, never taken over silently";
        EXPECT_EQ(silent.stale(), InstanceLock::Stale::OtherComputer);
    }
    EXPECT_EQ(TempDataDir::readAll(path), content);
}

TEST(InstanceLock, ARunningHolderIsNeverTakenOverAndOnlyTheHolderRemovesItsLock)
{
    TempDataDir dir;
    const QString path = dir.filePath("Quorel1.lock");
    auto first = std::make_unique<InstanceLock>(dir.path());
    ASSERT_TRUE(first->acquired());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Whatever the file is made to say (another computer, an ended process, nothing), a
    // program that holds it is found: a second one is refused and asks nothing.
    for (const QByteArray& content : {lockText(4242, "office-pc", "another-machine-id", "another-boot"), lockText(endedPid(), "x", "", ""), QByteArray()}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.resize(0);
        file.write(content);
        file.close();
        InstanceLock second(dir.path());
        EXPECT_FALSE(second.acquired());
        EXPECT_TRUE(second.heldByAnother());
        EXPECT_EQ(second.stale(), InstanceLock::Stale::None);
    }
    // The file now names another program: the first neither touches nor removes it.
    const QDateTime past = QDateTime::currentDateTimeUtc().addSecs(-3600);
    setModified(path, past);
    EXPECT_FALSE(first->touch());
    EXPECT_EQ(modified(path).toSecsSinceEpoch(), past.toSecsSinceEpoch());
    first.reset();
    EXPECT_TRUE(QFile::exists(path));

    // A lock that is its own is touched while it runs and removed at the end.
    QFile::remove(path);
    InstanceLock own(dir.path());
    ASSERT_TRUE(own.acquired());
    setModified(path, past);
    EXPECT_TRUE(own.touch());
    EXPECT_GT(modified(path), past.addSecs(1800));
    own.release();
    EXPECT_FALSE(QFile::exists(path));
    // A file put in its place after a removal by hand is another program's: left alone.
    InstanceLock again(dir.path());
    ASSERT_TRUE(again.acquired());
    QFile::remove(path);
    writeFile(path, lockText(4242, "office-pc", "another-machine-id", "another-boot"));
    again.release();
    EXPECT_TRUE(QFile::exists(path));
}

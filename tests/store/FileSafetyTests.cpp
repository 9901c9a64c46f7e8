// Files the program writes are whole or absent, and the user's alone.
#include "DataFiles.h"
#include "FileModes.h"
#include "PrivateFiles.h"
#include "SmallDisk.h"
#include "TempDataDir.h"
#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace store;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST(WholeFile, OnAFullDiskEveryWayOfWritingFailsAndLeavesTheTargetAsItWas)
{
    SmallDisk disk(64);
    if (!disk.available())
        GTEST_SKIP() << "no permission to mount a small file system";
    const QString kept = disk.filePath("kept.csv");
    writeFile(kept, "old contents\n");
    disk.fill();
    const QByteArray big(256 * 1024, 'y');

    // Bytes in one go: a new file stays absent, an existing one keeps its contents.
    const QString fresh = disk.filePath("fresh.csv");
    EXPECT_FALSE(writeWholeFile(fresh, big).isEmpty());
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_FALSE(writeWholeFile(kept, big).isEmpty());
    EXPECT_EQ(TempDataDir::readAll(kept), "old contents\n");

    // Step by step: the failed write is told with the system's number.
    {
        WholeFile file(kept);
        ASSERT_TRUE(file.isOpen());
        EXPECT_FALSE(file.write(big));
        EXPECT_FALSE(file.commit());
        EXPECT_EQ(file.osError(), ENOSPC) << file.error().toStdString();
    }
    EXPECT_EQ(TempDataDir::readAll(kept), "old contents\n");

    // A writer of its own (a workbook library) that stops on the full disk, or that says
    // nothing went wrong but leaves an empty file.
    EXPECT_FALSE(replaceWholeFile(kept, [&](const QString& temporary) {
        QFile out(temporary);
        out.open(QIODevice::WriteOnly);
        return out.write(big) == big.size() && out.flush() ? QString() : QStringLiteral("full");
    }).isEmpty());
    EXPECT_FALSE(replaceWholeFile(kept, [](const QString&) { return QString(); }).isEmpty());
    EXPECT_EQ(TempDataDir::readAll(kept), "old contents\n");

    // A copy of a file larger than the room left.
    QTemporaryDir elsewhere;
    const QString source = elsewhere.filePath("source.mdb");
    writeFile(source, big);
    int os = 0;
    EXPECT_FALSE(copyWholeFile(source, disk.filePath("copy.mdb"), &os).isEmpty());
    EXPECT_EQ(os, ENOSPC);

    // Nothing half made is left behind under a temporary name.
    EXPECT_EQ(disk.entries(), (QStringList{"filler", "kept.csv"}));
}

TEST(WholeFile, WritesTheWholeFileForTheOwnerAloneUnlessTheUmaskIsStricter)
{
    QTemporaryDir dir;
    const struct {
        mode_t umask;
        unsigned expected;
    } cases[] = {{022, 0600}, {002, 0600}, {077, 0600}, {0277, 0400}};
    for (const auto& c : cases) {
        Umask mask(c.umask);
        const QString written = dir.filePath("written.csv");
        ASSERT_TRUE(writeWholeFile(written, "a,b\n").isEmpty());
        EXPECT_EQ(TempDataDir::readAll(written), "a,b\n");
        EXPECT_EQ(modeOf(written), c.expected) << std::oct << c.umask;
        // A writer that makes the file anew with the modes of any new file (0666 less the umask).
        const QString made = dir.filePath("made.xlsx");
        ASSERT_TRUE(replaceWholeFile(made, [](const QString& temporary) {
            QFile::remove(temporary);
            QFile out(temporary);
            out.open(QIODevice::WriteOnly);
            out.write("PK");
            return QString();
        }).isEmpty());
        EXPECT_EQ(TempDataDir::readAll(made), "PK");
        EXPECT_EQ(modeOf(made), c.expected) << std::oct << c.umask;
        const QString copied = dir.filePath("copied.mdb");
        ASSERT_TRUE(copyWholeFile(written, copied).isEmpty());
        EXPECT_EQ(modeOf(copied), c.expected) << std::oct << c.umask;
        QFile::remove(written);
        QFile::remove(made);
        QFile::remove(copied);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST(PrivateFiles, NewDataFoldersAndFilesAreTheOwnersAloneAndOldOnesAreNarrowedAtStart)
{
    Umask mask(022);
    QTemporaryDir root;
    const QString data = root.filePath("data/");
    createMissingDataFiles(data);
    EXPECT_EQ(modeOf(data), 0700u);
    EXPECT_EQ(modeOf(data + kMainFileName), 0600u);
    EXPECT_EQ(modeOf(data + kWorkFileName), 0600u);

    // What an earlier version left: everything readable by every user of the computer.
    QDir().mkpath(data + "backup");
    for (const char* name : {"Quorel1.mdb", "Quorel1Work.mdb", "Quorel1.mdb-journal", "Quorel1.lock", "backup/Quorel1_20260101-090000_daily.mdb",
             "backup/Quorel1_20260101-090000_journal.journal", "notes.txt"}) {
        writeFile(data + name, "x");
        ASSERT_EQ(::chmod(QFile::encodeName(data + name).constData(), 0644), 0);
    }
    ::chmod(QFile::encodeName(data).constData(), 0755);
    ::chmod(QFile::encodeName(data + "backup").constData(), 0775);
    // A file the user made stricter stays so.
    ::chmod(QFile::encodeName(data + kWorkFileName).constData(), 0400);

    narrowDataFolder(data);
    EXPECT_EQ(modeOf(data), 0700u);
    EXPECT_EQ(modeOf(data + "backup"), 0700u);
    for (const char* name : {"Quorel1.mdb", "Quorel1.mdb-journal", "Quorel1.lock", "backup/Quorel1_20260101-090000_daily.mdb",
             "backup/Quorel1_20260101-090000_journal.journal"})
        EXPECT_EQ(modeOf(data + name), 0600u) << name;
    EXPECT_EQ(modeOf(data + kWorkFileName), 0400u);
    // A file that is not the program's, in a folder the user chose, is not touched.
    EXPECT_EQ(modeOf(data + "notes.txt"), 0644u);

    // A new private file is made for the owner alone, and never over an existing one.
    EXPECT_TRUE(createPrivateFile(data + "new.mdb"));
    EXPECT_EQ(modeOf(data + "new.mdb"), 0600u);
    EXPECT_FALSE(createPrivateFile(data + "new.mdb"));
}

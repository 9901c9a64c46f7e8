// Logout, shutdown and a closed terminal end the real program with SIGTERM, SIGHUP or
// SIGINT: it closes as its close button does, without a question, keeping the line typed
// and not registered in the work file, making the close-time backup and letting go of the
// lock.
#include "ProgramUnderX.h"
#include "RealInputSeeds.h"
#include "SheetLayout.h"

#include "BackupFolder.h"
#include "Sql.h"

#include <QFile>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <csignal>

using layout::Column;

namespace {

// The typed line in the work file's sheet: "payee scheduled-yen", or "" when it is not there.
QString typedLineInWorkFile(const TempDataDir& data, const char* payee)
{
    SQLite::Database work(data.workPath().toStdString(), SQLite::OPEN_READONLY);
    const auto rows = store::queryRows(work, QStringLiteral("SELECT 支払先名, 予定額 FROM InpWork WHERE 支払先名 = ?"), {QString::fromUtf8(payee)});
    return rows.empty() ? QString() : rows.front().at(0).toString() + QLatin1Char(' ') + QString::number(rows.front().at(1).toLongLong() / 10000);
}

} // namespace

TEST(SignalEnding, TermHupAndIntCloseTheProgramKeepingTheTypedLineWithTheBackupAndWithoutTheLock)
{
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        TempDataDir data;
        realinput::seedJanuary2006(data);
        ProgramUnderX program(data.path());
        ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString();
        ASSERT_TRUE(realinput::loadMonth(program, QStringLiteral("200601")));
        // A registered line first, so that the book changed and the close keeps a backup.
        Input registered;
        registered.click(layout::cell(8, Column::Payee)).keys({"<Left>", "29", "<Tab>", "India", "<Tab>", "100", "<Return>"});
        ASSERT_TRUE(program.send(registered));
        ASSERT_TRUE(program.registerMonth());
        // Then a line typed and not registered.
        Input typed;
        typed.click(layout::cell(9, Column::Payee)).keys({"<Left>", "30", "<Tab>", "Juliett", "<Tab>", "200", "<Return>"});
        ASSERT_TRUE(program.send(typed));
        ASSERT_TRUE(program.waitUntilIdle());
        ASSERT_TRUE(QFile::exists(data.filePath("Quorel1.lock")));

        ASSERT_TRUE(program.signal(number));
        ASSERT_TRUE(program.waitForExit(15000)) << "signal " << number << ": the program did not end (a question may be open)";
        if (!program.exitedCleanly())
            std::cerr << "screenshot: " << program.screenshot(QStringLiteral("signal-%1").arg(number)).toStdString() << "\n";
        EXPECT_TRUE(program.exitedCleanly()) << "signal " << number;
        EXPECT_FALSE(QFile::exists(data.filePath("Quorel1.lock"))) << "signal " << number;
        const auto backups = backup::BackupFolder(data.path()).list();
        ASSERT_FALSE(backups.empty());
        EXPECT_EQ(backups.front().reason, backup::Reason::Shutdown) << "signal " << number;
        EXPECT_EQ(typedLineInWorkFile(data, "Juliett"), "Juliett 200") << "signal " << number;
        EXPECT_EQ(realinput::storedLines(data, "2006-01").count("India"), 1);
        EXPECT_EQ(realinput::storedLines(data, "2006-01").count("Juliett"), 0);
    }
}

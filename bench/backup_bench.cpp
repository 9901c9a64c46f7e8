// A backup of a 100,000-line book through the engine's online backup API beside a plain
// copy of the same file that is synced to disk as the backup is, with the SHA-256 of its
// bytes written beside it as the backup's record is (target: at most 3×), and the deletion
// of a stored line with the backup kept before it beside the same deletion without one.

#include "BackupFolder.h"
#include "BackupService.h"
#include "StoredBook.h"
#include "Msg.h"
#include "RatioReporter.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "Transaction.h"

#include <benchmark/benchmark.h>

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>

#include <SQLiteCpp/Database.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kLines = 100000;

struct Data {
    TempDataDir dir;
    Data()
    {
        auto session = store::Session::open(dir.path());
        const QDate first(2000, 1, 1);
        bare::fillStoredBook(session->mainDb().getHandle(), first, first.addDays(kLines / 20 - 1), kLines);
    }
};

Data& data()
{
    static Data instance;
    return instance;
}

void clearFolder(const QString& path)
{
    QDir(path).removeRecursively();
}

void BM_Backup_OnlineApi(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    const backup::BackupFolder folder(data().dir.path());
    for (auto _ : state) {
        if (!backup::makeBackup(session->mainDb(), folder, QDateTime::currentDateTime(), backup::Reason::Daily).ok)
            state.SkipWithError("the backup failed");
        state.PauseTiming();
        clearFolder(folder.path());
        state.ResumeTiming();
    }
}

void syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
    ::fsync(fd);
    ::close(fd);
}

// A copy of the closed file's bytes into a new file, synced like the backup, and the
// SHA-256 of the copy's bytes in a synced file beside it, like the backup's record.
void BM_Backup_PlainFileCopy(benchmark::State& state)
{
    const QString target = data().dir.filePath("copy.mdb");
    const QString record = target + ".sha256";
    for (auto _ : state) {
        if (!QFile::copy(data().dir.mainPath(), target))
            state.SkipWithError("the copy failed");
        syncFile(target);
        QFile copy(target);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!copy.open(QIODevice::ReadOnly) || !hash.addData(&copy))
            state.SkipWithError("the copy cannot be read");
        QFile digest(record);
        if (!digest.open(QIODevice::WriteOnly) || digest.write(hash.result().toHex() + "  copy.mdb\n") < 0)
            state.SkipWithError("the record cannot be written");
        digest.close();
        syncFile(record);
        state.PauseTiming();
        QFile::remove(target);
        QFile::remove(record);
        state.ResumeTiming();
    }
}

// Deletes the last stored line in one transaction and puts it back untimed.
void deleteLastLine(SQLite::Database& main, benchmark::State& state)
{
    const auto last = store::queryRows(main, bare::lines("SELECT rowid, * FROM %1 ORDER BY 日付 DESC, 行番号 DESC LIMIT 1").c_str()).front();
    {
        store::Transaction tx(main);
        store::exec(main, bare::lines("DELETE FROM %1 WHERE rowid = ?").c_str(), {last[0]});
        tx.commit();
    }
    state.PauseTiming();
    store::exec(main, bare::lines("INSERT INTO %1 (rowid, 日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?, ?)").c_str(),
        {last[0], last[1], last[2], last[3], last[4], last[5], last[6]});
    state.ResumeTiming();
}

void BM_LineDelete_WithBackup(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    backup::BackupService service(*session, msg);
    for (auto _ : state) {
        if (!service.beforeDestructive(backup::Reason::LineDelete))
            state.SkipWithError("the backup failed");
        deleteLastLine(session->mainDb(), state);
        state.PauseTiming();
        clearFolder(service.folder().path());
        state.ResumeTiming();
    }
}

void BM_LineDelete_WithoutBackup(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    for (auto _ : state)
        deleteLastLine(session->mainDb(), state);
}

BENCHMARK(BM_Backup_OnlineApi)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Backup_PlainFileCopy)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LineDelete_WithBackup)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LineDelete_WithoutBackup)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { data(); }))
        return 1;
    reporter.printRatio("backup of a 100,000-line book beside a synced plain copy with its digest", "BM_Backup_OnlineApi", "BM_Backup_PlainFileCopy", 3.0);
    reporter.printRatio("deleting a stored line with its backup beside without", "BM_LineDelete_WithBackup", "BM_LineDelete_WithoutBackup", 50.0);
    benchmark::Shutdown();
    return 0;
}

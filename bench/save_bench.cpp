// Saving a full 200-line month while 12,000 stored lines follow it (so the balance run
// rewrites them all), beside a bare-SQLite baseline that does the same reads and writes
// in one transaction on the same files. Prints the ratio (target: at most 1.5) and the
// commits per save counted through sqlite3_commit_hook.

#include "BareSqlite.h"
#include "StoredBook.h"
#include "RatioReporter.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <SQLiteCpp/Database.h>

#include <QDate>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kLaterLines = 12000;
constexpr int kEarlierLines = 2000;
const QDate kMonth(2015, 6, 1);

using bare::check;
using bare::run;
using bare::Stmt;

int countCommit(void* counter)
{
    ++*static_cast<long*>(counter);
    return 0;
}

// The data directory: stored lines before and after the month, and the month's full
// sheet in InpWork, saved once so that every timed save replaces its 200 stored lines.
struct Data {
    TempDataDir dir;

    Data()
    {
        {
            auto session = store::Session::open(dir.path());
            SQLite::Database& main = session->mainDb();
            const QDate later = kMonth.addMonths(1);
            const sqlite3_int64 carry = bare::fillStoredBook(main.getHandle(), kMonth.addDays(-kEarlierLines / 10), kMonth.addDays(-1), kEarlierLines);
            bare::fillStoredBook(main.getHandle(), later, later.addDays(kLaterLines / 20 - 1), kLaterLines, carry);
            schedule::loadMonthSheet(*session, kMonth, kMonth.addMonths(1).addDays(-1));
            SQLite::Database& work = session->workDb();
            store::exec(work, "BEGIN");
            for (int n = 1; n <= schedule::kSheetLines; ++n) {
                const QDate day = kMonth.addDays((n - 1) * kMonth.daysInMonth() / schedule::kSheetLines);
                store::exec(work, "UPDATE InpWork SET 表示日付 = ?, 日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ? WHERE 行番号 = ?",
                    {QString::number(day.day()), day.toString("yyyy-MM-dd"), QStringLiteral("六月の支払先%1").arg(n), n * 10000LL, (n % 3) * 5000LL, n});
            }
            store::exec(work, "COMMIT");
            const auto result = schedule::Entry支払予定表(main, work, kMonth, store::Amount());
            if (result.stored != schedule::kSheetLines)
                throw std::runtime_error("the first save did not store the whole month");
        }
    }
};

Data& data()
{
    static Data instance;
    return instance;
}

long gMainCommits = 0;
long gWorkCommits = 0;
long gSaves = 0;

void BM_SaveMonth_Logic(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    const store::Amount carry = schedule::Get繰越額(session->mainDb(), kMonth);
    long mainCommits = 0;
    long workCommits = 0;
    sqlite3_commit_hook(session->mainDb().getHandle(), &countCommit, &mainCommits);
    sqlite3_commit_hook(session->workDb().getHandle(), &countCommit, &workCommits);
    long saves = 0;
    for (auto _ : state) {
        const auto result = schedule::Entry支払予定表(session->mainDb(), session->workDb(), kMonth, carry);
        if (result.kind != schedule::SaveResult::Kind::Saved || result.stored != schedule::kSheetLines)
            state.SkipWithError("the save did not store the whole month");
        ++saves;
    }
    sqlite3_commit_hook(session->mainDb().getHandle(), nullptr, nullptr);
    sqlite3_commit_hook(session->workDb().getHandle(), nullptr, nullptr);
    gMainCommits = mainCommits;
    gWorkCommits = workCommits;
    gSaves = saves;
    state.counters["main commits/save"] = saves ? static_cast<double>(mainCommits) / static_cast<double>(saves) : 0;
}

// The same reads and writes without the program's layers: the sheet read, one lookup and
// one update or insert per line, the balance run over every line from the month on, the
// sheet's stored positions brought up to date where they differ, one transaction.
void BM_SaveMonth_BareSQLite(benchmark::State& state)
{
    sqlite3* main = nullptr;
    sqlite3* work = nullptr;
    check(sqlite3_open_v2(data().dir.mainPath().toUtf8().constData(), &main, SQLITE_OPEN_READWRITE, nullptr), main, "open main");
    check(sqlite3_open_v2(data().dir.workPath().toUtf8().constData(), &work, SQLITE_OPEN_READWRITE, nullptr), work, "open work");
    const std::string first = kMonth.toString("yyyy-MM-dd").toStdString();
    {
        Stmt carryRead(main, "SELECT 残高 FROM 支払予定表 WHERE 日付 < ? ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1");
        carryRead.text(1, first);
        carryRead.step();
        const sqlite3_int64 carry = sqlite3_column_int64(carryRead.s, 0);
        carryRead.done();
        Stmt sheet(work, "SELECT rowid, 日付, 支払先名, 予定額, 支払額, 残高, 元行番号, 元日付, 元支払先名 FROM InpWork ORDER BY 行番号, rowid");
        Stmt find(main, "SELECT rowid FROM 支払予定表 WHERE 日付 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1");
        Stmt update(main, "UPDATE 支払予定表 SET 日付 = ?, 行番号 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ? WHERE rowid = ?");
        Stmt insert(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)");
        Stmt later(main, "SELECT rowid, 支払先名, 予定額, 支払額 FROM 支払予定表 WHERE 日付 >= ? ORDER BY 日付, 行番号, rowid");
        Stmt balance(main, "UPDATE 支払予定表 SET 残高 = ? WHERE rowid = ?");
        Stmt follow(work, "UPDATE InpWork SET 元行番号 = ?, 元日付 = ?, 元支払先名 = ? WHERE rowid = ?");
        struct SheetLine {
            sqlite3_int64 rowid, position, scheduled, paid, balance, originalNumber;
            std::string date, payee, originalDate, originalPayee;
        };
        struct Later {
            sqlite3_int64 rowid;
            bool noPayee;
            sqlite3_int64 scheduled, paid;
        };
        const auto text = [](sqlite3_stmt* s, int i) {
            const auto* t = sqlite3_column_text(s, i);
            return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
        };
        for (auto _ : state) {
            std::vector<SheetLine> lines;
            sqlite3_int64 position = 0;
            while (sheet.step()) {
                lines.push_back({sqlite3_column_int64(sheet.s, 0), ++position, sqlite3_column_int64(sheet.s, 3), sqlite3_column_int64(sheet.s, 4),
                    sqlite3_column_int64(sheet.s, 5), sqlite3_column_int64(sheet.s, 6), text(sheet.s, 1), text(sheet.s, 2), text(sheet.s, 7), text(sheet.s, 8)});
            }
            sheet.done();
            run(main, "BEGIN");
            for (const SheetLine& l : lines) {
                if (l.payee.empty() || l.date.empty())
                    continue;
                find.text(1, l.date);
                find.text(2, l.payee);
                std::optional<sqlite3_int64> existing;
                if (find.step())
                    existing = sqlite3_column_int64(find.s, 0);
                find.done();
                Stmt& write = existing ? update : insert;
                write.text(1, l.date);
                write.integer(2, l.position);
                write.text(3, l.payee);
                write.integer(4, l.scheduled);
                write.integer(5, l.paid);
                write.integer(6, l.balance);
                if (existing)
                    write.integer(7, *existing);
                write.done();
            }
            std::vector<Later> rows;
            later.text(1, first);
            while (later.step()) {
                const int payeeType = sqlite3_column_type(later.s, 1);
                rows.push_back({sqlite3_column_int64(later.s, 0), payeeType == SQLITE_NULL || (payeeType == SQLITE_TEXT && sqlite3_column_bytes(later.s, 1) == 0),
                    sqlite3_column_int64(later.s, 2), sqlite3_column_int64(later.s, 3)});
            }
            later.done();
            sqlite3_int64 running = carry;
            for (const Later& r : rows) {
                if (r.noPayee)
                    break;
                running = running + r.scheduled - r.paid;
                balance.integer(1, running);
                balance.integer(2, r.rowid);
                balance.done();
            }
            run(main, "COMMIT");
            run(work, "BEGIN");
            for (const SheetLine& l : lines) {
                if (l.payee.empty() || l.date.empty() || (l.originalNumber == l.position && l.originalDate == l.date && l.originalPayee == l.payee))
                    continue;
                follow.integer(1, l.position);
                follow.text(2, l.date);
                follow.text(3, l.payee);
                follow.integer(4, l.rowid);
                follow.done();
            }
            run(work, "COMMIT");
        }
    }
    sqlite3_close(main);
    sqlite3_close(work);
}

BENCHMARK(BM_SaveMonth_Logic)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_SaveMonth_BareSQLite)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { data(); }))
        return 1;
    reporter.printRatio("save a 200-line month before 12,000 stored lines", "BM_SaveMonth_Logic", "BM_SaveMonth_BareSQLite", 1.5);
    if (gSaves > 0)
        std::printf("commits per save: main file %.2f, work file %.2f (%ld saves)\n", static_cast<double>(gMainCommits) / static_cast<double>(gSaves),
            static_cast<double>(gWorkCommits) / static_cast<double>(gSaves), gSaves);
    benchmark::Shutdown();
    return 0;
}

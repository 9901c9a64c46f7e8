// Loading a month and recomputing stored balances over a schedule of 100,000 lines
// spread over 20 years, each beside a bare-SQLite baseline that does the same reads and
// writes on the same files. Prints the two ratios (target: at most 1.5 each).

#include "BareSqlite.h"
#include "StoredBook.h"
#include "RatioReporter.h"
#include "Balances.h"
#include "MonthSheet.h"
#include "Session.h"
#include "TempDataDir.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QDate>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kLaterLines = 12000;
const QDate kFirstDay(2005, 1, 1);
const QDate kMonthFirst(2015, 6, 1);
const QDate kMonthLast(2015, 6, 30);

using bare::check;
using bare::run;
using bare::Stmt;

// The data directory with the schedule, made once for the whole run.
struct Data {
    TempDataDir dir;
    std::string startOfLater; // the date from which kLaterLines lines follow

    Data()
    {
        sqlite3* db = nullptr;
        check(sqlite3_open_v2(dir.mainPath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
        bare::fillStoredBook(db, kFirstDay, QDate(2024, 12, 31), kLines);
        Stmt later(db, "SELECT 日付 FROM 支払予定表 ORDER BY 日付 DESC, 行番号 DESC LIMIT 1 OFFSET ?");
        later.integer(1, kLaterLines - 1);
        if (later.step())
            startOfLater = reinterpret_cast<const char*>(sqlite3_column_text(later.s, 0));
        sqlite3_close(db);
    }
};

Data& data()
{
    static Data instance;
    return instance;
}

// ---- (1) loading one month ----

void BM_LoadMonth_Logic(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    for (auto _ : state) {
        schedule::loadMonthSheet(*session, kMonthFirst, kMonthLast);
        benchmark::DoNotOptimize(schedule::予定額月計(session->workDb()));
        benchmark::DoNotOptimize(schedule::支払額月計(session->workDb()));
        benchmark::DoNotOptimize(schedule::Get繰越額(session->mainDb(), kMonthFirst));
        benchmark::DoNotOptimize(schedule::Get累計額(session->mainDb()));
    }
}

void BM_LoadMonth_BareSQLite(benchmark::State& state)
{
    sqlite3* main = nullptr;
    sqlite3* work = nullptr;
    check(sqlite3_open_v2(data().dir.mainPath().toUtf8().constData(), &main, SQLITE_OPEN_READWRITE, nullptr), main, "open main");
    check(sqlite3_open_v2(data().dir.workPath().toUtf8().constData(), &work, SQLITE_OPEN_READWRITE, nullptr), work, "open work");
    const std::string first = kMonthFirst.toString("yyyy-MM-dd").toStdString();
    const std::string last = kMonthLast.toString("yyyy-MM-dd").toStdString();
    {
        Stmt count(work, "SELECT count(*) FROM InpWork");
        Stmt add(work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)");
        Stmt month(main, "SELECT 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 WHERE 日付 >= ? AND 日付 <= ? ORDER BY 日付, 行番号 LIMIT ?");
        Stmt sheet(work, "SELECT rowid FROM InpWork ORDER BY 行番号");
        Stmt copy(work, "UPDATE InpWork SET 日付 = ?, 元行番号 = ?, 表示日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ?, 元日付 = ?, 元支払先名 = ? WHERE rowid = ?");
        Stmt plan(work, "SELECT sum(予定額) AS total FROM InpWork");
        Stmt paid(work, "SELECT sum(支払額) AS total FROM InpWork");
        Stmt carry(main, "SELECT 残高 FROM 支払予定表 WHERE 日付 < ? ORDER BY 日付 DESC, 行番号 DESC LIMIT 1");
        Stmt cumulative(main, "SELECT 残高 FROM 支払予定表 ORDER BY 日付 DESC, 行番号 DESC LIMIT 1");
        struct Line {
            std::string date, payee;
            sqlite3_int64 number, scheduled, paid, balance;
        };
        for (auto _ : state) {
            run(work, "BEGIN");
            run(work, "DELETE FROM InpWork");
            count.step();
            const bool empty = sqlite3_column_int64(count.s, 0) == 0;
            count.done();
            if (empty) {
                for (int i = 1; i <= schedule::kSheetLines; ++i) {
                    add.integer(1, i);
                    add.integer(2, i);
                    add.done();
                }
            }
            std::vector<Line> lines;
            month.text(1, first);
            month.text(2, last);
            month.integer(3, schedule::kSheetLines);
            while (month.step()) {
                lines.push_back({reinterpret_cast<const char*>(sqlite3_column_text(month.s, 0)), reinterpret_cast<const char*>(sqlite3_column_text(month.s, 2)),
                    sqlite3_column_int64(month.s, 1), sqlite3_column_int64(month.s, 3), sqlite3_column_int64(month.s, 4), sqlite3_column_int64(month.s, 5)});
            }
            month.done();
            std::vector<sqlite3_int64> rowids;
            while (sheet.step())
                rowids.push_back(sqlite3_column_int64(sheet.s, 0));
            sheet.done();
            for (size_t i = 0; i < lines.size() && i < rowids.size(); ++i) {
                const Line& l = lines[i];
                copy.text(1, l.date);
                copy.integer(2, l.number);
                copy.text(3, l.date.substr(8, 2));
                copy.text(4, l.payee);
                copy.integer(5, l.scheduled);
                copy.integer(6, l.paid);
                copy.integer(7, l.balance);
                copy.text(8, l.date);
                copy.text(9, l.payee);
                copy.integer(10, rowids[i]);
                copy.done();
            }
            run(work, "COMMIT");
            for (Stmt* total : {&plan, &paid}) {
                total->step();
                benchmark::DoNotOptimize(sqlite3_column_int64(total->s, 0));
                total->done();
            }
            carry.text(1, first);
            carry.step();
            benchmark::DoNotOptimize(sqlite3_column_int64(carry.s, 0));
            carry.done();
            cumulative.step();
            benchmark::DoNotOptimize(sqlite3_column_int64(cumulative.s, 0));
            cumulative.done();
        }
    }
    sqlite3_close(main);
    sqlite3_close(work);
}

// ---- (2) stored balances from a date with 12,000 later lines ----

void BM_CalcBalances_Logic(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    const QDate start = QDate::fromString(QString::fromStdString(data().startOfLater), "yyyy-MM-dd");
    for (auto _ : state) {
        const schedule::BalanceRun result = schedule::Calc残高(session->mainDb(), start, store::Amount());
        if (result.rewritten < kLaterLines)
            state.SkipWithError("fewer lines than expected were rewritten");
    }
}

void BM_CalcBalances_BareSQLite(benchmark::State& state)
{
    sqlite3* main = nullptr;
    check(sqlite3_open_v2(data().dir.mainPath().toUtf8().constData(), &main, SQLITE_OPEN_READWRITE, nullptr), main, "open main");
    {
        Stmt read(main, "SELECT rowid, 支払先名, 予定額, 支払額 FROM 支払予定表 WHERE 日付 >= ? ORDER BY 日付, 行番号");
        Stmt update(main, "UPDATE 支払予定表 SET 残高 = ? WHERE rowid = ?");
        struct Line {
            sqlite3_int64 rowid;
            bool noPayee;
            sqlite3_int64 scheduled, paid;
        };
        for (auto _ : state) {
            run(main, "BEGIN");
            std::vector<Line> lines;
            read.text(1, data().startOfLater);
            while (read.step()) {
                const int payeeType = sqlite3_column_type(read.s, 1);
                const bool noPayee = payeeType == SQLITE_NULL || (payeeType == SQLITE_TEXT && sqlite3_column_bytes(read.s, 1) == 0);
                lines.push_back({sqlite3_column_int64(read.s, 0), noPayee, sqlite3_column_int64(read.s, 2), sqlite3_column_int64(read.s, 3)});
            }
            read.done();
            sqlite3_int64 running = 0;
            for (const Line& line : lines) {
                if (line.noPayee)
                    break;
                running = running + line.scheduled - line.paid;
                update.integer(1, running);
                update.integer(2, line.rowid);
                update.done();
            }
            run(main, "COMMIT");
        }
    }
    sqlite3_close(main);
}

BENCHMARK(BM_LoadMonth_Logic)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadMonth_BareSQLite)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CalcBalances_Logic)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CalcBalances_BareSQLite)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { data(); }))
        return 1;
    reporter.printRatio("load one month", "BM_LoadMonth_Logic", "BM_LoadMonth_BareSQLite", 1.5);
    reporter.printRatio("Calc残高 over 12,000 later lines", "BM_CalcBalances_Logic", "BM_CalcBalances_BareSQLite", 1.5);
    benchmark::Shutdown();
    return 0;
}

// Registering a full 200-line month while 12,000 stored lines follow it: one amount of the
// month changes before each save, so that the balance run rewrites every later line. Beside
// a bare-SQLite baseline that does the same reads and writes on the same files (target:
// ratio at most 1.3). Prints the commits per save counted through sqlite3_commit_hook.

#include "BareSqlite.h"
#include "MonthController.h"
#include "RatioReporter.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetModel.h"
#include "StoredBook.h"
#include "TempDataDir.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <SQLiteCpp/Database.h>

#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kLaterLines = 12000;
constexpr int kEarlierLines = 2000;
const QDate kMonth(2015, 6, 1);
constexpr int kSheet = schedule::kSheetLines;

using bare::check;
using bare::run;
using bare::Stmt;

int countCommit(void* counter)
{
    ++*static_cast<long*>(counter);
    return 0;
}

// The data directory: stored lines before and after the month, and the month's 200 lines
// registered once, so that every timed save rewrites them.
struct Data {
    TempDataDir dir;

    Data()
    {
        auto session = store::Session::open(dir.path());
        SQLite::Database& main = session->mainDb();
        const QDate later = kMonth.addMonths(1);
        const sqlite3_int64 carry = bare::fillStoredBook(main.getHandle(), kMonth.addDays(-kEarlierLines / 10), kMonth.addDays(-1), kEarlierLines);
        bare::fillStoredBook(main.getHandle(), later, later.addDays(kLaterLines / 20 - 1), kLaterLines, carry);
        schedule::MonthController month(*session);
        month.setMonth(kMonth);
        month.load();
        for (int n = 0; n < kSheet; ++n) {
            const QDate day = kMonth.addDays(n * kMonth.daysInMonth() / kSheet);
            month.model()->setData(month.model()->index(n, schedule::kCol表示日付), QString::number(day.day()));
            month.model()->setData(month.model()->index(n, schedule::kCol支払先名), QStringLiteral("六月の支払先%1").arg(n + 1));
            month.model()->setData(month.model()->index(n, schedule::kCol予定額), QString::number(n + 1));
        }
        if (month.save().stored != kSheet)
            throw std::runtime_error("the first save did not store the whole month");
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
    schedule::MonthController month(*session);
    month.setMonth(kMonth);
    month.load();
    long mainCommits = 0;
    long workCommits = 0;
    sqlite3_commit_hook(session->mainDb().getHandle(), &countCommit, &mainCommits);
    sqlite3_commit_hook(session->workDb().getHandle(), &countCommit, &workCommits);
    long saves = 0;
    for (auto _ : state) {
        month.model()->setData(month.model()->index(0, schedule::kCol予定額), QString::number(saves % 2 ? 1 : 2));
        const auto result = month.save();
        if (result.kind != schedule::SaveResult::Kind::Saved || result.stored != kSheet)
            state.SkipWithError("the save did not store the whole month");
        ++saves;
    }
    sqlite3_commit_hook(session->mainDb().getHandle(), nullptr, nullptr);
    sqlite3_commit_hook(session->workDb().getHandle(), nullptr, nullptr);
    gMainCommits = mainCommits;
    gWorkCommits = workCommits;
    gSaves = saves;
}

// The least reads and writes that store the same month without the program's layers: the
// edited line's draft, the stored month read once, one lookup and one rewrite per line, the
// balance before the month read once, the carry-over checked, the balance run from the
// month on (changed balances written), the month read back and the draft state written.
void BM_SaveMonth_BareSQLite(benchmark::State& state)
{
    sqlite3* main = nullptr;
    check(sqlite3_open_v2(data().dir.mainPath().toUtf8().constData(), &main, SQLITE_OPEN_READWRITE, nullptr), main, "open main");
    sqlite3* work = bare::openWorkFile(data().dir.workPath().toStdString());
    const std::string first = kMonth.toString(Qt::ISODate).toStdString();
    const std::string next = kMonth.addMonths(1).toString(Qt::ISODate).toStdString();
    {
        Stmt draft(work, "UPDATE InpWork SET 予定額 = ?, 残高 = ? WHERE rowid = ?");
        Stmt month(main, bare::lines("SELECT rowid, 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM %1 WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid LIMIT ?").c_str());
        Stmt find(main, bare::lines("SELECT rowid FROM %1 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1").c_str());
        Stmt update(main, bare::lines("UPDATE %1 SET 日付 = ?, 行番号 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = NULL WHERE rowid = ?").c_str());
        Stmt before(main, bare::lines("SELECT 日付, 残高 FROM %1 WHERE 日付 < ? AND 残高 IS NOT NULL ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1").c_str());
        Stmt carryBefore(main, "SELECT 年月, 繰越額 FROM 繰越額 WHERE 年月 < ? ORDER BY 年月 DESC LIMIT 1");
        Stmt carry(main, "DELETE FROM 繰越額 WHERE 年月 = ?");
        Stmt later(main, bare::lines("SELECT rowid, 日付, 支払先名, 予定額, 支払額, 残高 FROM %1 WHERE 日付 >= ? ORDER BY 日付, 行番号, rowid").c_str());
        Stmt balance(main, bare::lines("UPDATE %1 SET 残高 = ? WHERE rowid = ?").c_str());
        Stmt state_(work, "UPDATE InpWork状態 SET 未登録 = 0");
        struct Line {
            sqlite3_int64 rowid, number, scheduled, paid, balance;
            std::string date, payee;
        };
        const auto readMonth = [&] {
            std::vector<Line> lines;
            month.text(1, first);
            month.text(2, next);
            month.integer(3, kSheet);
            while (month.step()) {
                lines.push_back({sqlite3_column_int64(month.s, 0), sqlite3_column_int64(month.s, 2), sqlite3_column_int64(month.s, 4), sqlite3_column_int64(month.s, 5),
                    sqlite3_column_int64(month.s, 6), reinterpret_cast<const char*>(sqlite3_column_text(month.s, 1)), reinterpret_cast<const char*>(sqlite3_column_text(month.s, 3))});
            }
            month.done();
            return lines;
        };
        std::vector<Line> sheet = readMonth();
        long saves = 0;
        for (auto _ : state) {
            sheet[0].scheduled = (saves++ % 2 ? 1 : 2) * 10000;
            run(work, "BEGIN");
            draft.integer(1, sheet[0].scheduled);
            draft.integer(2, 0);
            draft.integer(3, 1);
            draft.done();
            run(work, "COMMIT");
            run(main, "BEGIN");
            month.text(1, first);
            month.text(2, next);
            month.integer(3, -1);
            while (month.step()) {
            }
            month.done();
            std::vector<sqlite3_int64> rowids;
            for (const Line& l : sheet) {
                find.text(1, l.date);
                find.integer(2, l.number);
                find.text(3, l.payee);
                rowids.push_back(find.step() ? sqlite3_column_int64(find.s, 0) : 0);
                find.done();
            }
            for (size_t i = 0; i < sheet.size(); ++i) {
                const Line& l = sheet[i];
                update.text(1, l.date);
                update.integer(2, l.number);
                update.text(3, l.payee);
                update.integer(4, l.scheduled);
                update.integer(5, l.paid);
                update.integer(6, rowids[i]);
                update.done();
            }
            sqlite3_int64 running = 0;
            before.text(1, first);
            if (before.step())
                running = sqlite3_column_int64(before.s, 1);
            before.done();
            carryBefore.text(1, first);
            carryBefore.done();
            carry.text(1, first);
            carry.done();
            later.text(1, first);
            std::vector<Line> rows;
            while (later.step()) {
                rows.push_back({sqlite3_column_int64(later.s, 0), 0, sqlite3_column_int64(later.s, 3), sqlite3_column_int64(later.s, 4),
                    sqlite3_column_type(later.s, 5) == SQLITE_NULL ? -1 : sqlite3_column_int64(later.s, 5), {}, {}});
            }
            later.done();
            for (const Line& r : rows) {
                running = running + r.scheduled - r.paid;
                if (running == r.balance)
                    continue;
                balance.integer(1, running);
                balance.integer(2, r.rowid);
                balance.done();
            }
            run(main, "COMMIT");
            sheet = readMonth();
            run(work, "BEGIN");
            state_.done();
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
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { data(); }))
        return 1;
    reporter.printRatio("save a 200-line month before 12,000 stored lines", "BM_SaveMonth_Logic", "BM_SaveMonth_BareSQLite", 1.3);
    if (gSaves > 0)
        std::printf("commits per save: main file %.2f, work file %.2f (%ld saves)\n", static_cast<double>(gMainCommits) / static_cast<double>(gSaves),
            static_cast<double>(gWorkCommits) / static_cast<double>(gSaves), gSaves);
    benchmark::Shutdown();
    return 0;
}

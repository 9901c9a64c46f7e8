// Looking up the holiday name and the bank-holiday flag of every day from 1948 to 2099,
// beside a bare loop that only asks QDate for each day's weekday. Prints the ratio and
// checks the whole run against its limit of 50 ms; also prints what the first lookup
// (which builds the table) and computing every year's holidays from the rules cost.

#include "Holidays.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QDate>

#include <chrono>
#include <cstdio>

namespace {

const qint64 kFirstDay = QDate(1948, 1, 1).toJulianDay();
const qint64 kLastDay = QDate(2099, 12, 31).toJulianDay();

double firstLookupSeconds = 0;

void BM_HolidayLookup(benchmark::State& state)
{
    for (auto _ : state) {
        int named = 0;
        int closed = 0;
        for (qint64 jd = kFirstDay; jd <= kLastDay; ++jd) {
            const QDate day = QDate::fromJulianDay(jd);
            named += calendar::holidayName(day).isEmpty() ? 0 : 1;
            closed += calendar::isBankHoliday(day) ? 1 : 0;
        }
        benchmark::DoNotOptimize(named);
        benchmark::DoNotOptimize(closed);
    }
    state.SetItemsProcessed(state.iterations() * (kLastDay - kFirstDay + 1));
}

void BM_BareDayOfWeek(benchmark::State& state)
{
    for (auto _ : state) {
        int weekends = 0;
        for (qint64 jd = kFirstDay; jd <= kLastDay; ++jd) {
            const QDate day = QDate::fromJulianDay(jd);
            benchmark::DoNotOptimize(day);
            weekends += day.dayOfWeek() >= 6 ? 1 : 0;
        }
        benchmark::DoNotOptimize(weekends);
    }
    state.SetItemsProcessed(state.iterations() * (kLastDay - kFirstDay + 1));
}

// The rules alone, as the table's first build runs them (there up to 2150).
void BM_ComputeEveryYear(benchmark::State& state)
{
    for (auto _ : state) {
        qsizetype count = 0;
        for (int year = 1948; year <= 2099; ++year)
            count += calendar::holidaysOfYear(year).size();
        benchmark::DoNotOptimize(count);
    }
}

} // namespace

BENCHMARK(BM_HolidayLookup)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareDayOfWeek)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ComputeEveryYear)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    RatioReporter reporter;
    const auto prepare = [] {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(calendar::holidayName(QDate(1948, 1, 1)));
        firstLookupSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    if (!runBenchmarks(argc, argv, reporter, prepare))
        return 1;
    reporter.printRatio("holiday name + bank holiday, every day 1948-2099 / bare weekday", "BM_HolidayLookup", "BM_BareDayOfWeek", 5.0);
    const auto lookup = reporter.seconds.find("BM_HolidayLookup");
    if (lookup != reporter.seconds.end()) {
        const double total = lookup->second + firstLookupSeconds;
        std::printf("every day 1948-2099 with the first lookup's table build: %.3f ms + %.3f ms = %.3f ms (target < 50) %s\n",
            lookup->second * 1e3, firstLookupSeconds * 1e3, total * 1e3, total < 0.050 ? "ok" : "OVER");
    }
    benchmark::Shutdown();
    return 0;
}

// The import of a list of 50,000 new payee names into a master of 2,000 (the file read a
// block at a time, the names checked, planned against the master and added in one
// transaction) beside a bare one-transaction insert of the same names, in the program's
// order, into the same file (target: at most 1.5×); and the payee page filled from a master of 52,000 names beside
// the same statement run bare.

#include "BareSqlite.h"
#include "PayeeImport.h"
#include "PayeeTable.h"
#include "RatioReporter.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

#include <SQLiteCpp/Database.h>

namespace {

constexpr int kExisting = 2000;
constexpr int kNew = 50000;

struct Data {
    TempDataDir dir;
    QString listPath;
    QStringList names;
    Data()
        : listPath(dir.filePath("names.csv"))
    {
        auto session = store::Session::open(dir.path());
        sqlite3* db = session->mainDb().getHandle();
        bare::run(db, "BEGIN");
        bare::Stmt insert(db, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)");
        for (int i = 0; i < kExisting; ++i) {
            insert.text(1, "既存の支払先" + std::to_string(i));
            insert.done();
        }
        bare::run(db, "COMMIT");
        QByteArray csv = "支払先名,メモ\r\n";
        for (int i = 0; i < kNew; ++i) {
            names << QStringLiteral("株式会社 新しい取引先%1").arg(i * 7919 % kNew, 5, 10, QLatin1Char('0'));
            csv += names.back().toUtf8() + ",\r\n";
        }
        QFile file(listPath);
        file.open(QIODevice::WriteOnly);
        file.write(csv);
    }
};

Data& data()
{
    static Data instance;
    return instance;
}

// Takes the imported names out again, untimed.
void dropNewNames(sqlite3* db)
{
    bare::run(db, "DELETE FROM 支払先マスタ WHERE 支払先名 NOT LIKE '既存%'");
}

void BM_Import_Program(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    for (auto _ : state) {
        QFile file(data().listPath);
        file.open(QIODevice::ReadOnly);
        const exchange::PayeeList list = exchange::readPayeeList(file, true, exchange::TextEncoding::Detect, [](qint64, qint64) { return true; });
        const exchange::ImportPlan plan = exchange::planImport(*session, list.names);
        if (plan.toAdd.size() != kNew || !exchange::addPayees(*session, plan.toAdd, {}, [](qint64, qint64) { return true; }))
            state.SkipWithError("the import did not add every name");
        state.PauseTiming();
        dropNewNames(session->mainDb().getHandle());
        state.ResumeTiming();
    }
}

// The three steps of the import apart, to see where its time goes.
void BM_ImportStep_Read(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(data().listPath);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(exchange::readPayeeList(file, true, exchange::TextEncoding::Detect, [](qint64, qint64) { return true; }));
    }
}

void BM_ImportStep_Plan(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(exchange::planImport(*session, data().names));
}

void BM_ImportStep_Add(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    for (auto _ : state) {
        exchange::addPayees(*session, data().names);
        state.PauseTiming();
        dropNewNames(session->mainDb().getHandle());
        state.ResumeTiming();
    }
}

// The names inserted in the order the program writes them (sorted by their text, so that
// the index on the name grows at neighbouring places): the same file at the end.
void BM_Import_BareInsert(benchmark::State& state)
{
    QStringList ordered = data().names;
    std::sort(ordered.begin(), ordered.end());
    std::vector<std::string> names;
    for (const QString& name : ordered)
        names.push_back(name.toStdString());
    auto session = store::Session::open(data().dir.path());
    sqlite3* db = session->mainDb().getHandle();
    for (auto _ : state) {
        bare::run(db, "BEGIN");
        {
            bare::Stmt insert(db, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)");
            for (const std::string& name : names) {
                insert.text(1, name);
                insert.done();
            }
        }
        bare::run(db, "COMMIT");
        state.PauseTiming();
        dropNewNames(db);
        state.ResumeTiming();
    }
}

// The payee page read from the master after an import: 52,000 names in name order.
void BM_PayeePage_Read(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    exchange::addPayees(*session, data().names);
    ledger::PayeeTable master(*session);
    for (auto _ : state)
        master.readIntoCopy();
    dropNewNames(session->mainDb().getHandle());
}

void BM_PayeePage_BareStatement(benchmark::State& state)
{
    auto session = store::Session::open(data().dir.path());
    exchange::addPayees(*session, data().names);
    sqlite3* db = session->workDb().getHandle();
    for (auto _ : state) {
        bare::run(db, "BEGIN");
        bare::run(db, "DELETE FROM w支払先マスタ");
        bare::run(db, "INSERT INTO w支払先マスタ (支払先名) SELECT 支払先名 FROM mainfile.支払先マスタ ORDER BY 支払先名 COLLATE ja");
        bare::run(db, "COMMIT");
    }
    dropNewNames(session->mainDb().getHandle());
}

BENCHMARK(BM_Import_Program)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Import_BareInsert)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ImportStep_Read)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ImportStep_Plan)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ImportStep_Add)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_PayeePage_Read)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_PayeePage_BareStatement)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { data(); }))
        return 1;
    reporter.printRatio("import of 50,000 names beside a bare one-transaction insert", "BM_Import_Program", "BM_Import_BareInsert", 1.5);
    reporter.printRatio("payee page filled from 52,000 names beside the bare statement", "BM_PayeePage_Read", "BM_PayeePage_BareStatement", 1.2);
    benchmark::Shutdown();
    return 0;
}

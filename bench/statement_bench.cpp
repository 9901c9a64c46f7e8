// A bank statement of 50,000 lines (全銀 入出金取引明細, 200-byte records with CR LF) read
// whole and its withdrawals matched to a book of 100,000 open lines, beside a bare parse
// of the same bytes into the same fields (day, in/out flag, amount, reference, name and
// description as text) with nothing checked, every day taken as 令和 and nothing matched
// (target: at most 1.5×). The reading alone is timed too.

#include "Matching.h"
#include "RatioReporter.h"
#include "ZenginStatement.h"

#include <QCoreApplication>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kStatementLines = 50000;
constexpr int kBookLines = 100000;
constexpr int kPayees = 2000;
const QDate kFirst(2026, 1, 5);
const QDate kLimit(2027, 12, 31);

QByteArray halfWidth(const QString& text, int width)
{
    QByteArray out;
    for (const QChar c : text)
        out += c.unicode() >= 0xFF61 ? char(c.unicode() - 0xFF61 + 0xA1) : char(c.unicode());
    return out.leftJustified(width, ' ', true);
}

QByteArray digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

// Era YYMMDD of a day of 令和.
QByteArray eraDay(const QDate& day)
{
    return digits(day.year() - 2018, 2) + digits(day.month(), 2) + digits(day.day(), 2);
}

QString holder(int payee)
{
    return QStringLiteral("ﾄﾘﾋｷｻｷ%1").arg(payee);
}

struct Data {
    QByteArray bytes;
    std::vector<statement::OpenLine> book;
    statement::MatchSources sources;
};

const Data& data()
{
    static const Data made = [] {
        Data d;
        const QDate last = kFirst.addDays(kStatementLines / 200);
        QByteArray header = "1030" + eraDay(last) + eraDay(kFirst) + eraDay(last) + "0005" + halfWidth(QStringLiteral("ﾐﾂﾋﾞｼ"), 15) + "123"
            + halfWidth(QStringLiteral("ｼﾌﾞﾔ"), 15) + "000" + "2" + "7654321" + halfWidth(QStringLiteral("ｶ)ﾄﾊﾞ-ｸ"), 40) + "10" + digits(0, 14);
        d.bytes += header.leftJustified(200, ' ') + "\r\n";
        qint64 total = 0;
        for (int i = 0; i < kStatementLines; ++i) {
            const QDate day = kFirst.addDays(i / 200);
            const qint64 yen = 1000 + (i % 5000) * 7;
            total += yen;
            QByteArray record = "2" + digits(i + 1, 8) + eraDay(day) + eraDay(day) + "2" + "14" + digits(yen, 12) + digits(0, 12) + digits(0, 12) + "0"
                + digits(0, 7) + digits(0, 3) + QByteArray(10, ' ') + halfWidth(QString(), 48) + QByteArray(30, ' ')
                + halfWidth(QStringLiteral("ﾌﾘｺﾐ ") + holder(i % kPayees), 20);
            d.bytes += record.leftJustified(200, ' ') + "\r\n";
        }
        QByteArray trailer = "8" + digits(0, 6) + digits(0, 13) + digits(kStatementLines, 6) + digits(total, 13) + "2" + digits(total, 14) + digits(kStatementLines, 7);
        d.bytes += trailer.leftJustified(200, ' ') + "\r\n" + QByteArray("9").leftJustified(200, ' ') + "\r\n";
        // Half the withdrawals have their line; the book holds as many other lines again.
        for (int i = 0; i < kBookLines; ++i) {
            const int w = i % kStatementLines;
            const bool matching = i < kStatementLines && w % 2 == 0;
            const QDate day = kFirst.addDays(w / 200 - (matching ? 1 : 0));
            const qint64 yen = matching ? 1000 + (w % 5000) * 7 : 900 + i % 97;
            d.book.push_back({i, day, QStringLiteral("取引先%1").arg(w % kPayees), yen * 10000});
        }
        for (int p = 0; p < kPayees; ++p)
            d.sources.accountNames.insert(QStringLiteral("取引先%1").arg(p), holder(p));
        return d;
    }();
    return made;
}

void BM_ReadAndMatch(benchmark::State& state)
{
    const Data& d = data();
    std::size_t proposed = 0;
    for (auto _ : state) {
        const statement::ReadResult read = statement::readZenginStatement(d.bytes, kLimit);
        if (!read.ok()) {
            state.SkipWithError(read.error.text().toStdString().c_str());
            break;
        }
        std::vector<std::size_t> withdrawals;
        withdrawals.reserve(read.statement->lines.size());
        for (std::size_t i = 0; i < read.statement->lines.size(); ++i) {
            if (read.statement->lines[i].direction == statement::Direction::Withdrawal)
                withdrawals.push_back(i);
        }
        const statement::Reconciliation r = statement::matchStatement(*read.statement, withdrawals, d.book, d.sources);
        proposed = r.proposed.size();
        benchmark::DoNotOptimize(proposed);
    }
    state.counters["proposed"] = static_cast<double>(proposed);
}

// The reading alone, to show how the time divides.
void BM_ReadOnly(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state) {
        const statement::ReadResult read = statement::readZenginStatement(d.bytes, kLimit);
        benchmark::DoNotOptimize(read.statement->lines.data());
    }
}

// Half-width text of the banks' single-byte bytes, blanks at the end kept.
QString bareText(const char* bytes, int width)
{
    QString out(width, Qt::Uninitialized);
    for (int i = 0; i < width; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        out[i] = c < 0x80 ? QChar(c) : QChar(char16_t(0xFF61 + (c - 0xA1)));
    }
    return out;
}

int bareNumber(const char* bytes, int width)
{
    int value = 0;
    for (int i = 0; i < width; ++i)
        value = value * 10 + (bytes[i] - '0');
    return value;
}

void BM_BareParse(benchmark::State& state)
{
    const Data& d = data();
    std::vector<statement::StatementLine> lines;
    for (auto _ : state) {
        lines.clear();
        lines.reserve(kStatementLines);
        const char* p = d.bytes.constData();
        const char* end = p + d.bytes.size();
        for (; p + 200 <= end; p += 202) {
            if (*p != '2')
                continue;
            statement::StatementLine line;
            line.reference = QString::number(bareNumber(p + 1, 8));
            line.date = QDate(2018 + bareNumber(p + 9, 2), bareNumber(p + 11, 2), bareNumber(p + 13, 2));
            line.direction = p[21] == '1' ? statement::Direction::Deposit : statement::Direction::Withdrawal;
            for (int i = 24; i < 36; ++i)
                line.yen = line.yen * 10 + (p[i] - '0');
            line.name = bareText(p + 81, 48);
            line.memo = bareText(p + 159, 20);
            lines.push_back(std::move(line));
        }
        benchmark::DoNotOptimize(lines.data());
    }
}

} // namespace

BENCHMARK(BM_ReadAndMatch)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { data(); }))
        return 1;
    reporter.printRatio("a statement of 50,000 lines matched to 100,000", "BM_ReadAndMatch", "BM_BareParse", 1.5);
    benchmark::Shutdown();
    return 0;
}

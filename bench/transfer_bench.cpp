// A bulk-transfer file for 5,000 lines of one day: the program's path (the day's lines
// picked with their payees' details, every field checked, the records made and the file
// written whole through a temporary file), beside a bare loop that writes the same bytes
// from fields encoded before the loop, through a temporary file synced, renamed and its
// folder synced the same way. Prints the ratio of the two.

#include "RatioReporter.h"
#include "TempDataDir.h"
#include "TransferFile.h"
#include "TransferPlan.h"
#include "WholeFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kLines = 5000;
const QDate kDay(2027, 3, 25);

struct Book {
    banking::Sender sender;
    std::vector<banking::SheetEntry> lines;
    banking::PayeeAccounts accounts;
};

Book& book()
{
    static Book made = [] {
        Book b;
        b.sender.code = QStringLiteral("0123456789");
        b.sender.name = QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼﾔ ﾄﾊﾞ-ｸ");
        b.sender.account = {QStringLiteral("0005"), QStringLiteral("ﾐﾂﾋﾞｼ"), QStringLiteral("123"), QStringLiteral("ｼﾌﾞﾔ"), banking::AccountType::Checking,
            QStringLiteral("7654321"), {}};
        for (int i = 0; i < kLines; ++i) {
            const QString payee = QStringLiteral("取引先%1").arg(i % 500);
            b.accounts.emplace(payee,
                banking::PayeeAccount{payee,
                    {QStringLiteral("%1").arg(i % 500, 4, 10, QLatin1Char('0')), QStringLiteral("ﾐｽﾞﾎ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"),
                        banking::AccountType::Ordinary, QString::number(100000 + i % 500), QStringLiteral("ﾄﾘﾋｷｻｷ %1").arg(i % 500)},
                    QString::number(i % 500)});
            b.lines.push_back({i, kDay, payee, ledger::Amount::fromYen(10000 + i), ledger::Amount::fromYen(i % 7 == 0 ? 1 : 0)});
        }
        return b;
    }();
    return made;
}

TempDataDir& folder()
{
    static TempDataDir dir;
    return dir;
}

void BM_TransferFile(benchmark::State& state)
{
    const Book& b = book();
    const QString path = folder().filePath(QStringLiteral("ours.txt"));
    for (auto _ : state) {
        const banking::TransferPlan plan = banking::planTransfers(b.lines, kDay, b.accounts);
        const banking::TransferFile file = banking::makeTransferFile(b.sender, kDay, plan.ready);
        if (!file.ok() || file.count != kLines || !store::writeWholeFile(path, file.bytes).isEmpty())
            state.SkipWithError("the transfer file was not written");
    }
}

// The records' fields, already in the banks' bytes.
struct BareLine {
    std::string front; // 被仕向銀行番号 .. 受取人名, 80 bytes
    std::string code;  // 顧客コード1, 10 bytes
    long long yen;
};

std::vector<BareLine> bareLines(std::string& header)
{
    const QByteArray ours = [] {
        const Book& b = book();
        const banking::TransferPlan plan = banking::planTransfers(b.lines, kDay, b.accounts);
        std::vector<banking::Transfer> transfers;
        for (const banking::TransferCandidate& line : plan.ready)
            transfers.push_back(line.transfer());
        return banking::makeTransferFile(b.sender, kDay, transfers).bytes;
    }();
    header.assign(ours.constData(), 120);
    std::vector<BareLine> lines;
    for (int i = 0; i < kLines; ++i) {
        const char* record = ours.constData() + (i + 1) * 122;
        lines.push_back({std::string(record, 80), std::string(record + 91, 10), std::atoll(std::string(record + 80, 10).c_str())});
    }
    return lines;
}

void BM_BareWrite(benchmark::State& state)
{
    std::string header;
    const std::vector<BareLine> lines = bareLines(header);
    const std::string path = folder().filePath(QStringLiteral("bare.txt")).toStdString();
    const std::string temporary = path + ".tmp";
    const std::string folderPath = folder().path().toStdString();
    std::string bytes;
    for (auto _ : state) {
        bytes.clear();
        bytes.reserve((lines.size() + 3) * 122);
        bytes += header;
        bytes += "\r\n";
        long long total = 0;
        char number[32];
        for (const BareLine& line : lines) {
            bytes += line.front;
            std::snprintf(number, sizeof number, "%010lld", line.yen);
            bytes += number;
            bytes += '0';
            bytes += line.code;
            bytes.append(10, ' ');
            bytes += '7';
            bytes.append(8, ' ');
            bytes += "\r\n";
            total += line.yen;
        }
        std::snprintf(number, sizeof number, "8%06zu%012lld", lines.size(), total);
        bytes += number;
        bytes.append(101, ' ');
        bytes += "\r\n9";
        bytes.append(119, ' ');
        bytes += "\r\n";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const bool ok = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0)
            state.SkipWithError("the bare file was not written");
        // The renamed name is on the disk too, as any file written whole needs.
        const int folderFd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY);
        if (folderFd >= 0) {
            ::fsync(folderFd);
            ::close(folderFd);
        }
    }
}

} // namespace

BENCHMARK(BM_TransferFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { book(); }))
        return 1;
    reporter.printRatio("a transfer file for 5,000 lines", "BM_TransferFile", "BM_BareWrite", 1.5);
    const QByteArray ours = TempDataDir::readAll(folder().filePath(QStringLiteral("ours.txt")));
    const QByteArray bare = TempDataDir::readAll(folder().filePath(QStringLiteral("bare.txt")));
    std::printf("same bytes: %s (%lld bytes)\n", ours == bare ? "yes" : "NO", static_cast<long long>(ours.size()));
    benchmark::Shutdown();
    return ours == bare ? 0 : 1;
}

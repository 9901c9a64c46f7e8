#include "AccountStore.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "TransferPlan.h"
#include "TransferRecords.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <numeric>

using namespace banking;

namespace {

std::optional<ledger::Amount> yen(qint64 value)
{
    return ledger::Amount::fromYen(value);
}

PayeeAccount account(const QString& payee, const QString& holder = QStringLiteral("ﾀﾅｶ"))
{
    return {payee, {QStringLiteral("0001"), QStringLiteral("ﾐｽﾞﾎ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"), AccountType::Ordinary, QStringLiteral("1234567"), holder}, {}};
}

} // namespace

TEST(TransferPlan, ALineIsOfferedOnlyForWhatIsOwedAndEveryOtherLineIsApartWithItsReason)
{
    const QDate day(2027, 3, 25);
    const PayeeAccounts accounts = {{QStringLiteral("田中"), account(QStringLiteral("田中"))},
        {QStringLiteral("佐藤"), account(QStringLiteral("佐藤"))}, {QStringLiteral("壊れ"), account(QStringLiteral("壊れ"), QStringLiteral("田中"))}};
    const std::vector<SheetEntry> lines = {
        {0, day, QStringLiteral("田中"), yen(100000), yen(30000)},                    // ready: 70,000
        {1, day.addDays(-1), QStringLiteral("田中"), yen(5000), yen(0)},               // another day
        {2, day, QStringLiteral("鈴木"), yen(8000), yen(0)},                          // no details
        {3, day, QStringLiteral("佐藤"), yen(8000), yen(8000)},                       // paid
        {4, day, QStringLiteral("佐藤"), yen(100), yen(500)},                         // overpaid
        {5, day, QStringLiteral("佐藤"), ledger::Amount::fromUnits(15000), yen(0)},   // 1.5 yen
        {6, day, QStringLiteral("佐藤"), yen(10'000'000'000), yen(0)},                // 11 digits
        {7, day, QStringLiteral("壊れ"), yen(1), yen(0)},                             // details refused
        {8, day, QStringLiteral("佐藤"), std::nullopt, std::nullopt},                 // blank amounts
        {9, day, QString(), yen(1), yen(0)},                                          // no payee: not a line
        {10, day, QStringLiteral("佐藤"), yen(1), std::nullopt},                      // ready: blank paid
        {11, day, QStringLiteral("佐藤"), yen(123), yen(-500)},                       // a negative paid amount
        {12, day, QStringLiteral("佐藤"), yen(-123), yen(-500)},                      // a negative bill
        {13, day, QStringLiteral("消えた"), yen(10), yen(0)},                         // details of a deleted payee
        {14, day, QStringLiteral("田中"), yen(70000), yen(0)},                        // the same payee and amount again
        {15, day, QStringLiteral("田中"), yen(70001), yen(0)},                        // another amount: no repeat
    };
    const TransferPlan plan = planTransfers(lines, day, accounts, {QStringLiteral("消えた")});
    QStringList ready;
    for (const TransferCandidate& line : plan.ready)
        ready << QStringLiteral("%1 %2 %3%4").arg(line.row).arg(line.details->payee).arg(line.yen).arg(line.repeated ? QStringLiteral(" repeated") : QString());
    EXPECT_EQ(ready, QStringList({"0 田中 70000", "10 佐藤 1", "14 田中 70000 repeated", "15 田中 70001"}));
    QStringList apart;
    for (const ExcludedLine& line : plan.apart)
        apart << QStringLiteral("%1 %2 %3").arg(line.row).arg(line.payee, line.reason);
    EXPECT_EQ(apart, QStringList({QStringLiteral("2 鈴木 支払先の口座が登録されていません"), QStringLiteral("3 佐藤 未払の額がありません"),
                         QStringLiteral("4 佐藤 未払の額がありません"), QStringLiteral("5 佐藤 未払の額に1円未満の端数があります"),
                         QStringLiteral("6 佐藤 金額 10,000,000,000 円は振り込めません（1 円から 9,999,999,999 円まで）"),
                         QStringLiteral("7 壊れ 口座名義: 「田中」は銀行振込に使えない文字です"), QStringLiteral("8 佐藤 未払の額がありません"),
                         QStringLiteral("11 佐藤 予定額か支払額がマイナスです（マイナスの額は振り込みません）"),
                         QStringLiteral("12 佐藤 予定額か支払額がマイナスです（マイナスの額は振り込みません）"),
                         QStringLiteral("13 消えた 支払先マスタにない支払先です（残っている口座は使いません）")}));
}

TEST(AccountStore, PayeeAndSenderDetailsAreKeptReplacedAndRemovedInTheMainFile)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        store::exec(session->mainDb(), QStringLiteral("INSERT INTO 支払先マスタ (支払先名) VALUES ('田中'), ('佐藤')"));
        AccountStore store(session->mainDb());
        EXPECT_TRUE(store.payeeAccounts().empty());
        EXPECT_FALSE(store.sender());
        PayeeAccount tanaka = account(QStringLiteral("田中"));
        tanaka.customerCode = QStringLiteral("0042");
        tanaka.account.type = AccountType::Savings;
        store.savePayeeAccount(tanaka);
        store.savePayeeAccount(account(QStringLiteral("佐藤")));
        PayeeAccount again = account(QStringLiteral("佐藤"), QStringLiteral("ｻﾄｳ ｼﾞﾛｳ"));
        store.savePayeeAccount(again);
        Sender sender;
        sender.code = QStringLiteral("0000000001");
        sender.name = QStringLiteral("ﾄﾊﾞ-ｸ");
        sender.account = account(QString()).account;
        sender.account.holder.clear();
        sender.noLineEnds = true;
        store.saveSender(sender);
        store.saveSender(sender);
    }
    auto session = store::Session::open(dir.path());
    AccountStore store(session->mainDb());
    const auto accounts = store.payeeAccounts();
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts.at(QStringLiteral("田中")).customerCode, QStringLiteral("0042")) << "leading zeros are kept";
    EXPECT_EQ(accounts.at(QStringLiteral("田中")).account.type, AccountType::Savings);
    EXPECT_EQ(accounts.at(QStringLiteral("佐藤")).account.holder, QStringLiteral("ｻﾄｳ ｼﾞﾛｳ")) << "a second save replaces";
    EXPECT_EQ(store.payeeAccount(QStringLiteral("佐藤")), accounts.at(QStringLiteral("佐藤")));
    EXPECT_EQ(store::scalar(session->mainDb(), QStringLiteral("SELECT COUNT(*) FROM 振込依頼人")).toInt(), 1);
    ASSERT_TRUE(store.sender());
    EXPECT_EQ(store.sender()->code, QStringLiteral("0000000001"));
    EXPECT_TRUE(store.sender()->noLineEnds);
    // Details kept under a name the master no longer holds are never offered.
    store::exec(session->mainDb(), QStringLiteral("DELETE FROM 支払先マスタ WHERE 支払先名 = '佐藤'"));
    EXPECT_EQ(store.payeeAccounts().size(), 1u);
    EXPECT_EQ(store.unlistedPayees(), QStringList({QStringLiteral("佐藤")}));
    store.removePayeeAccount(QStringLiteral("田中"));
    store.removeSender();
    EXPECT_FALSE(store.payeeAccount(QStringLiteral("田中")));
    EXPECT_FALSE(store.sender());
}

TEST(AccountStore, AFileOfAnEarlierVersionGetsTheTablesWhenOpened)
{
    TempDataDir dir;
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        main.exec("DROP TABLE 支払先口座; DROP TABLE 振込依頼人;");
    }
    auto session = store::Session::open(dir.path());
    AccountStore store(session->mainDb());
    store.savePayeeAccount(account(QStringLiteral("田中")));
    EXPECT_EQ(store.payeeAccount(QStringLiteral("田中")), account(QStringLiteral("田中")));
}

TEST(TransferRecords, AFileWrittenIsKeptAndItsTransfersAreFoundOnceEachForTheSameDay)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const QDate day(2026, 12, 25);
    TransferRecords records(session->mainDb());
    EXPECT_TRUE(records.forDay(day).empty());
    records.add({day, QDateTime(QDate(2026, 12, 8), QTime(10, 15)), QStringLiteral("/tmp/振込_20261225.txt"),
        {{QStringLiteral("家賃"), 200000, day}, {QStringLiteral("電気"), 5000, day}}});
    records.add({day.addDays(1), QDateTime(QDate(2026, 12, 8), QTime(10, 20)), QStringLiteral("/tmp/other.txt"), {{QStringLiteral("家賃"), 200000, day}}});
    const std::vector<TransferRecord> kept = records.forDay(day);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].transfers.size(), 2u);
    EXPECT_EQ(kept[0].totalYen(), 205000);
    EXPECT_EQ(store::scalar(session->mainDb(), QStringLiteral("SELECT 合計 FROM 振込記録 WHERE 振込指定日 = '2026-12-25'")).toLongLong(), 205000LL * 10000)
        << "the total is kept in ten-thousandths like every amount";

    const PayeeAccount rent = account(QStringLiteral("家賃"));
    const PayeeAccount power = account(QStringLiteral("電気"));
    // The rent twice: one of them was written; another amount of the same payee was not.
    const std::vector<TransferCandidate> chosen = {{0, &rent, 200000}, {1, &rent, 200000}, {2, &power, 5001}};
    EXPECT_EQ(alreadyWritten(kept, chosen), QStringList({QStringLiteral("家賃 200,000 円（2026/12/08 10:15 作成 振込_20261225.txt）")}));
    EXPECT_TRUE(alreadyWritten(records.forDay(day.addDays(2)), chosen).isEmpty());
}

namespace {

struct ReadBack {
    QList<qint64> amounts;
    int count = 0;
    qint64 total = 0;
};

// The data records' 振込金額 (positions 81-90) and the trailer's 合計件数 (2-7) and 合計金額
// (8-19) of a file written with line ends.
ReadBack readBack(const QByteArray& bytes)
{
    ReadBack read;
    for (const QByteArray& record : bytes.split('\n')) {
        if (record.startsWith('2'))
            read.amounts << record.mid(80, 10).toLongLong();
        else if (record.startsWith('8')) {
            read.count = record.mid(1, 6).toInt();
            read.total = record.mid(7, 12).toLongLong();
        }
    }
    return read;
}

} // namespace

TEST(TransferPlan, EachLineIsSentAsItsBearerWantsAndTheFileCarriesTheAmountsSent)
{
    const QDate day(2027, 3, 25);
    // The sender pays from 0001-001; 田中 keeps his account there, 佐藤 at another branch,
    // 鈴木 and 高橋 at another bank.
    PayeeAccount elsewhere = account(QStringLiteral("鈴木"));
    elsewhere.account.bankCode = QStringLiteral("0005");
    PayeeAccount otherBranch = account(QStringLiteral("佐藤"));
    otherBranch.account.branchCode = QStringLiteral("002");
    PayeeAccount fourth = elsewhere;
    fourth.payee = QStringLiteral("高橋");
    const PayeeAccounts accounts = {{QStringLiteral("田中"), account(QStringLiteral("田中"))}, {QStringLiteral("佐藤"), otherBranch},
        {QStringLiteral("鈴木"), elsewhere}, {QStringLiteral("高橋"), fourth}};
    FeeContext fees;
    fees.from = account(QString()).account;
    fees.settings.defaultBearer = FeeBearer::Payee;
    fees.settings.table.of(FeeDestination::SameBranch) = {{0, 0}, {30000, 110}};
    fees.settings.table.of(FeeDestination::OtherBank) = {{0, 330}, {30000, 550}};
    fees.bearers = {{QStringLiteral("高橋"), FeeBearer::Payer}};
    const std::vector<SheetEntry> lines = {
        {0, day, QStringLiteral("鈴木"), yen(50000), yen(0)}, // 49,450 sent, 550 charged
        {1, day, QStringLiteral("鈴木"), yen(30000), yen(0)}, // 29,450 sent, 330 charged
        {2, day, QStringLiteral("田中"), yen(20000), yen(0)}, // no fee within the branch
        {3, day, QStringLiteral("佐藤"), yen(20000), yen(0)}, // no table for the bank's other branches
        {4, day, QStringLiteral("鈴木"), yen(330), yen(0)},   // nothing left after the fee
        {5, day, QStringLiteral("高橋"), yen(30000), yen(0)}, // the owner bears it: 30,000 sent, 550 charged
    };
    const TransferPlan plan = planTransfers(lines, day, accounts, {}, fees);
    ASSERT_EQ(plan.ready.size(), 4u);
    QStringList sent;
    for (const TransferCandidate& line : plan.ready)
        sent << QStringLiteral("%1 %2 %3 %4").arg(line.row).arg(line.yen).arg(line.sentYen()).arg(line.fee->charged.value_or(-1));
    EXPECT_EQ(sent, QStringList({"0 50000 49450 550", "1 30000 29450 330", "2 20000 20000 0", "5 30000 30000 550"}));
    EXPECT_EQ(plan.ready[1].fee->difference(), 220);
    ASSERT_EQ(plan.apart.size(), 2u);
    EXPECT_TRUE(plan.apart[0].reason.contains(QStringLiteral("手数料表（同行他店）が空です"))) << plan.apart[0].reason.toStdString();
    EXPECT_EQ(plan.apart[1].reason, QStringLiteral("先方負担の振込手数料 330 円を差し引くと振り込む額が残りません"));

    const TransferTotals totals = totalsOf(plan.ready);
    EXPECT_EQ(totals.bills, 130000);
    EXPECT_EQ(totals.deducted, 1100);
    EXPECT_EQ(totals.sent, 128900);
    EXPECT_EQ(totals.charged, 1430);
    EXPECT_EQ(totals.withdrawal(), 130330);

    // The file read back: each data record carries the amount sent, the trailer their sum.
    Sender sender;
    sender.code = QStringLiteral("0000000001");
    sender.name = QStringLiteral("ﾄﾊﾞ-ｸ");
    sender.account = fees.from;
    sender.account.holder.clear();
    const TransferFile file = makeTransferFile(sender, day, plan.ready);
    ASSERT_TRUE(file.ok()) << file.problems.join(QLatin1Char('\n')).toStdString();
    const auto [amounts, trailerCount, trailerTotal] = readBack(file.bytes);
    EXPECT_EQ(amounts, QList<qint64>({49450, 29450, 20000, 30000}));
    EXPECT_EQ(trailerCount, 4);
    EXPECT_EQ(trailerTotal, std::accumulate(amounts.begin(), amounts.end(), qint64(0)));
    EXPECT_EQ(file.total, trailerTotal);
}

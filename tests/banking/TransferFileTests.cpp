// The transfer file read back byte by byte: record lengths, field positions, padding, the
// trailer's count and total, and the code the bytes are in.

#include "TransferFile.h"
#include "TransferPlan.h"

#include <QDate>

#include <unicode/ucnv.h>

#include <gtest/gtest.h>

#include <random>

using namespace banking;

namespace {

// Decodes with ICU's own Shift_JIS converter, apart from the program's byte mapping.
QString fromShiftJis(const QByteArray& bytes)
{
    QString text(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_convert("UTF-16LE", "Shift_JIS", reinterpret_cast<char*>(text.data()), static_cast<int32_t>(text.size() * 2), bytes.constData(),
        static_cast<int32_t>(bytes.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    text.truncate(length / 2);
    return text;
}

// The records of a file written with or without line ends; a test failure when the bytes
// are not whole records.
std::vector<QByteArray> records(const QByteArray& bytes, bool lineEnds)
{
    const int step = kRecordLength + (lineEnds ? 2 : 0);
    EXPECT_EQ(bytes.size() % step, 0) << "bytes " << bytes.size();
    std::vector<QByteArray> out;
    for (qsizetype at = 0; at + step <= bytes.size(); at += step) {
        if (lineEnds) {
            EXPECT_EQ(bytes.mid(at + kRecordLength, 2), QByteArray("\r\n")) << "record " << out.size();
        }
        out.push_back(bytes.mid(at, kRecordLength));
    }
    return out;
}

// A field by its 1-based position and width, as text.
QString field(const QByteArray& record, int position, int width)
{
    return fromShiftJis(record.mid(position - 1, width));
}

Sender sender()
{
    Sender s;
    s.code = QStringLiteral("1234567890");
    s.name = QStringLiteral("かぶしきがいしゃ　とばーく");
    s.account = {QStringLiteral("0005"), QStringLiteral("みつびし"), QStringLiteral("123"), QStringLiteral("しぶや"), AccountType::Checking, QStringLiteral("7654321"), {}};
    EXPECT_TRUE(normalize(s).empty());
    return s;
}

Transfer transfer(const char* payee, const char* holder, qint64 yen, const char* customer = "")
{
    PayeeAccount details{QString::fromUtf8(payee),
        {QStringLiteral("0001"), QStringLiteral("みずほ"), QStringLiteral("002"), QStringLiteral("ほんてん"), AccountType::Ordinary, QStringLiteral("42"),
            QString::fromUtf8(holder)},
        QString::fromUtf8(customer)};
    EXPECT_TRUE(normalize(details).empty()) << payee;
    return {details.payee, details.account, details.customerCode, yen};
}

} // namespace

TEST(TransferFile, EveryRecordHoldsItsFieldsAtTheirPlacesPaddedAsTheBanksWant)
{
    const std::vector<Transfer> transfers = {
        transfer("山田商店", "やまだ しょうてん", 123456, "987"),
        transfer("Acme", "ａｃｍｅ ｃｏｒｐ．", 9'999'999'999),
        transfer("喫茶", "きっさ こーひー", 1),
    };
    const TransferFile file = makeTransferFile(sender(), QDate(2027, 3, 5), transfers);
    ASSERT_TRUE(file.ok()) << file.problems.join(u'\n').toStdString();
    EXPECT_EQ(file.count, 3);
    EXPECT_EQ(file.total, 123456 + 9'999'999'999 + 1);
    const std::vector<QByteArray> lines = records(file.bytes, true);
    ASSERT_EQ(lines.size(), 6u);
    for (const QByteArray& line : lines) {
        for (const char byte : line)
            EXPECT_TRUE(static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F) << "a control byte in a record";
    }

    const QByteArray& header = lines[0];
    EXPECT_EQ(field(header, 1, 1), "1");
    EXPECT_EQ(field(header, 2, 2), "21");
    EXPECT_EQ(field(header, 4, 1), "0");
    EXPECT_EQ(field(header, 5, 10), "1234567890");
    EXPECT_EQ(field(header, 15, 40), QStringLiteral("ｶﾌﾞｼｷｶﾞｲｼﾔ ﾄﾊﾞ-ｸ").leftJustified(40, u' '));
    EXPECT_EQ(field(header, 55, 4), "0305");
    EXPECT_EQ(field(header, 59, 4), "0005");
    EXPECT_EQ(field(header, 63, 15), QStringLiteral("ﾐﾂﾋﾞｼ          "));
    EXPECT_EQ(field(header, 78, 3), "123");
    EXPECT_EQ(field(header, 81, 15), QStringLiteral("ｼﾌﾞﾔ           "));
    EXPECT_EQ(field(header, 96, 1), "2");
    EXPECT_EQ(field(header, 97, 7), "7654321");
    EXPECT_EQ(field(header, 104, 17), QString(17, u' '));

    const QByteArray& first = lines[1];
    EXPECT_EQ(field(first, 1, 1), "2");
    EXPECT_EQ(field(first, 2, 4), "0001");
    EXPECT_EQ(field(first, 6, 15), QStringLiteral("ﾐｽﾞﾎ           "));
    EXPECT_EQ(field(first, 21, 3), "002");
    EXPECT_EQ(field(first, 24, 15), QStringLiteral("ﾎﾝﾃﾝ           "));
    EXPECT_EQ(field(first, 39, 4), "0000");
    EXPECT_EQ(field(first, 43, 1), "1");
    EXPECT_EQ(field(first, 44, 7), "0000042");
    EXPECT_EQ(field(first, 51, 30), QStringLiteral("ﾔﾏﾀﾞ ｼﾖｳﾃﾝ").leftJustified(30, u' '));
    EXPECT_EQ(field(first, 81, 10), "0000123456");
    EXPECT_EQ(field(first, 91, 1), "0");
    EXPECT_EQ(field(first, 92, 10), "0000000987");
    EXPECT_EQ(field(first, 102, 10), QString(10, u' '));
    EXPECT_EQ(field(first, 112, 1), "7");
    EXPECT_EQ(field(first, 113, 8), QString(8, u' '));
    EXPECT_EQ(field(lines[2], 51, 30), QStringLiteral("ACME CORP.").leftJustified(30, u' '));
    EXPECT_EQ(field(lines[2], 81, 10), "9999999999");
    EXPECT_EQ(field(lines[2], 92, 10), QString(10, u' ')) << "no customer code: spaces";
    EXPECT_EQ(field(lines[3], 51, 30), QStringLiteral("ｷﾂｻ ｺ-ﾋ-").leftJustified(30, u' '));

    const QByteArray& trailer = lines[4];
    EXPECT_EQ(field(trailer, 1, 1), "8");
    EXPECT_EQ(field(trailer, 2, 6), "000003");
    EXPECT_EQ(field(trailer, 8, 12), "010000123456");
    EXPECT_EQ(field(trailer, 20, 101), QString(101, u' '));
    EXPECT_EQ(lines[5], QByteArray("9") + QByteArray(119, ' '));

    // The half-width kana are single bytes of the JIS X 0201 block.
    EXPECT_EQ(first.mid(5, 4), QByteArray("\xD0\xBD\xDE\xCE", 4)) << "ﾐｽﾞﾎ";
}

TEST(TransferFile, WithoutLineEndsTheRecordsFollowEachOther)
{
    Sender s = sender();
    s.noLineEnds = true;
    const TransferFile file = makeTransferFile(s, QDate(2027, 12, 31), {transfer("a", "あ", 5)});
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.bytes.size(), 4 * kRecordLength);
    EXPECT_FALSE(file.bytes.contains('\r'));
    EXPECT_FALSE(file.bytes.contains('\n'));
    const std::vector<QByteArray> lines = records(file.bytes, false);
    EXPECT_EQ(field(lines[0], 55, 4), "1231");
    EXPECT_EQ(field(lines[2], 1, 19), "8000001000000000005");
}

TEST(TransferFile, ANameTooLongAKanjiABadAmountOrNoLineRefuseTheWholeFile)
{
    Transfer longName = transfer("長い", "ｱ", 100);
    longName.account.holder = QStringLiteral("ｱ").repeated(31);
    Transfer kanji = transfer("漢字", "ｱ", 100);
    kanji.account.holder = QStringLiteral("ﾔﾏ田");
    Transfer zero = transfer("零", "ｾﾞﾛ", 0);
    Transfer huge = transfer("大", "ﾀﾞｲ", 10'000'000'000);
    const TransferFile file = makeTransferFile(sender(), QDate(2027, 3, 5), {transfer("良", "ﾖｼ", 1), longName, kanji, zero, huge});
    EXPECT_FALSE(file.ok());
    EXPECT_TRUE(file.bytes.isEmpty()) << "nothing is cut or written in part";
    EXPECT_EQ(file.problems,
        QStringList({QStringLiteral("2件目「長い」の口座名義: 長すぎます（半角で 31 文字、30 文字まで）"), QStringLiteral("3件目「漢字」の口座名義: 「田」は銀行振込に使えない文字です"),
            QStringLiteral("4件目「零」の金額 0 円は振り込めません（1 円から 9,999,999,999 円まで）"),
            QStringLiteral("5件目「大」の金額 10,000,000,000 円は振り込めません（1 円から 9,999,999,999 円まで）")}));

    Sender nameless = sender();
    nameless.name = QStringLiteral("ｱ").repeated(41);
    EXPECT_EQ(makeTransferFile(nameless, QDate(2027, 3, 5), std::vector<Transfer>()).problems,
        QStringList({QStringLiteral("依頼人の依頼人名: 長すぎます（半角で 41 文字、40 文字まで）"), QStringLiteral("振り込む行が選ばれていません")}));
}

// Random days of random lines, some of them ticked off: the trailer counts and sums
// exactly the lines left ticked, and the data records carry their amounts in order.
TEST(TransferFile, TheTrailerMatchesTheTickedLinesOfRandomDays)
{
    std::mt19937 random(20270305);
    const QDate day(2027, 3, 25);
    for (int round = 0; round < 200; ++round) {
        PayeeAccounts accounts;
        std::vector<SheetEntry> lines;
        const int count = std::uniform_int_distribution<int>(0, 200)(random);
        for (int row = 0; row < count; ++row) {
            const QString payee = QStringLiteral("支払先%1").arg(std::uniform_int_distribution<int>(0, 30)(random));
            if (payee.size() % 2 == 0 || std::bernoulli_distribution(0.8)(random)) {
                Transfer t = transfer("", "ｶﾌﾞｼｷｶﾞｲｼﾔ", 0, "12");
                accounts.emplace(payee, PayeeAccount{payee, t.account, t.customerCode});
            }
            const qint64 scheduled = std::uniform_int_distribution<qint64>(0, 1'000'000'000)(random);
            const qint64 paid = std::bernoulli_distribution(0.3)(random) ? std::uniform_int_distribution<qint64>(0, scheduled)(random) : 0;
            const QDate date = std::bernoulli_distribution(0.7)(random) ? day : day.addDays(std::uniform_int_distribution<int>(-24, 6)(random));
            lines.push_back({row, date, payee, ledger::Amount::fromYen(scheduled), ledger::Amount::fromYen(paid)});
        }
        const TransferPlan plan = planTransfers(lines, day, accounts);
        std::vector<Transfer> ticked;
        std::vector<TransferCandidate> chosen;
        qint64 expected = 0;
        for (const TransferCandidate& candidate : plan.ready) {
            EXPECT_EQ(lines[static_cast<std::size_t>(candidate.row)].date, day);
            if (std::bernoulli_distribution(0.75)(random)) {
                ticked.push_back(candidate.transfer());
                chosen.push_back(candidate);
                expected += candidate.yen;
            }
        }
        const TransferFile file = makeTransferFile(sender(), day, ticked);
        EXPECT_EQ(makeTransferFile(sender(), day, chosen).bytes, file.bytes) << "the dialog's lines make the same file";
        if (ticked.empty()) {
            EXPECT_FALSE(file.ok());
            continue;
        }
        ASSERT_TRUE(file.ok()) << file.problems.join(u'\n').toStdString();
        const std::vector<QByteArray> out = records(file.bytes, true);
        ASSERT_EQ(out.size(), ticked.size() + 3);
        qint64 summed = 0;
        for (std::size_t i = 0; i < ticked.size(); ++i) {
            EXPECT_EQ(out[i + 1].at(0), '2');
            EXPECT_EQ(out[i + 1].mid(80, 10).toLongLong(), ticked[i].yen);
            summed += out[i + 1].mid(80, 10).toLongLong();
        }
        const QByteArray& trailer = out[out.size() - 2];
        EXPECT_EQ(trailer.mid(1, 6).toInt(), static_cast<int>(ticked.size()));
        EXPECT_EQ(trailer.mid(7, 12).toLongLong(), expected);
        EXPECT_EQ(summed, expected);
        EXPECT_EQ(file.total, expected);
    }
}

#include "ExpectedFees.h"
#include "TransferFees.h"

#include <gtest/gtest.h>

using namespace banking;

namespace {

// A bank's table as its help pages give it: free within the branch under 30,000 yen, three
// bands to the bank's other branches, two to other banks.
FeeSettings bankTable(FeeMethod method)
{
    FeeSettings settings;
    settings.method = method;
    settings.table.of(FeeDestination::SameBranch) = {{0, 0}, {30000, 110}};
    settings.table.of(FeeDestination::SameBank) = {{0, 110}, {10000, 220}, {30000, 330}};
    settings.table.of(FeeDestination::OtherBank) = {{0, 330}, {30000, 550}};
    return settings;
}

ledger::Amount yen(qint64 value)
{
    return *ledger::Amount::fromYen(value);
}

struct FeeCase {
    FeeMethod method;
    FeeDestination destination;
    qint64 bill;
    qint64 deducted;
    qint64 charged;
};

constexpr auto 据置 = FeeMethod::Fixed;
constexpr auto 未満 = FeeMethod::AddLowerFee;
constexpr auto 以上 = FeeMethod::AddOwnFee;
constexpr auto 同店 = FeeDestination::SameBranch;
constexpr auto 他店 = FeeDestination::SameBank;
constexpr auto 他行 = FeeDestination::OtherBank;

// Worked by hand from the table above, at each band edge E with its own fee F and the fee f
// of the band below: bills E−1, E and E+F−1, E+F (据置型, 以上手数料加算型) or E+f−1, E+f
// (未満手数料加算型, whose edges are raised by f).
const FeeCase kCases[] = {
    // 同行同店: E 30,000, F 110, f 0.
    {据置, 同店, 29999, 0, 0}, {据置, 同店, 30000, 110, 0}, {据置, 同店, 30109, 110, 0}, {据置, 同店, 30110, 110, 110},
    {未満, 同店, 29999, 0, 0}, {未満, 同店, 30000, 110, 0},
    {以上, 同店, 29999, 0, 0}, {以上, 同店, 30000, 0, 110}, {以上, 同店, 30109, 0, 110}, {以上, 同店, 30110, 110, 110},
    // 同行他店: E 10,000 (F 220, f 110) and E 30,000 (F 330, f 220).
    {据置, 他店, 9999, 110, 110}, {据置, 他店, 10000, 220, 110}, {据置, 他店, 10219, 220, 110}, {据置, 他店, 10220, 220, 220},
    {据置, 他店, 29999, 220, 220}, {据置, 他店, 30000, 330, 220}, {据置, 他店, 30329, 330, 220}, {据置, 他店, 30330, 330, 330},
    {未満, 他店, 9999, 110, 110}, {未満, 他店, 10000, 110, 110}, {未満, 他店, 10109, 110, 110}, {未満, 他店, 10110, 220, 110},
    {未満, 他店, 29999, 220, 220}, {未満, 他店, 30000, 220, 220}, {未満, 他店, 30219, 220, 220}, {未満, 他店, 30220, 330, 220},
    {以上, 他店, 9999, 110, 110}, {以上, 他店, 10000, 110, 110}, {以上, 他店, 10219, 110, 220}, {以上, 他店, 10220, 220, 220},
    {以上, 他店, 29999, 220, 220}, {以上, 他店, 30000, 220, 220}, {以上, 他店, 30329, 220, 330}, {以上, 他店, 30330, 330, 330},
    // 他行: E 30,000, F 550, f 330; the bank's examples are 50,000 and 30,000 under 据置型.
    {据置, 他行, 29999, 330, 330}, {据置, 他行, 30000, 550, 330}, {据置, 他行, 30549, 550, 330}, {据置, 他行, 30550, 550, 550},
    {据置, 他行, 50000, 550, 550},
    {未満, 他行, 29999, 330, 330}, {未満, 他行, 30000, 330, 330}, {未満, 他行, 30329, 330, 330}, {未満, 他行, 30330, 550, 330},
    {未満, 他行, 50000, 550, 550},
    {以上, 他行, 29999, 330, 330}, {以上, 他行, 30000, 330, 330}, {以上, 他行, 30549, 330, 550}, {以上, 他行, 30550, 550, 550},
    {以上, 他行, 50000, 550, 550},
    // The lowest bills still left with something to send.
    {据置, 同店, 1, 0, 0}, {据置, 他行, 331, 330, 330}, {以上, 他店, 111, 110, 110},
};

} // namespace

TEST(TransferFees, ThePayeesFeeIsDeductedByTheMethodAndTheBankChargesForWhatIsSent)
{
    for (const FeeCase& c : kCases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3 円").arg(methodName(c.method), destinationName(c.destination)).arg(c.bill).toStdString());
        const auto result = transferFee(bankTable(c.method), c.destination, FeeBearer::Payee, yen(c.bill));
        ASSERT_TRUE(std::holds_alternative<TransferFee>(result)) << std::get<QString>(result).toStdString();
        const TransferFee& fee = std::get<TransferFee>(result);
        EXPECT_EQ(fee.deducted, c.deducted);
        EXPECT_EQ(fee.sent, yen(c.bill - c.deducted));
        EXPECT_EQ(fee.charged, c.charged);
        EXPECT_EQ(fee.difference(), c.deducted - c.charged);
    }
}

TEST(TransferFees, TheBankExamplesSendTheBillLessTheFeeAndNameTheDifference)
{
    const FeeSettings settings = bankTable(FeeMethod::Fixed);
    const TransferFee large = std::get<TransferFee>(transferFee(settings, FeeDestination::OtherBank, FeeBearer::Payee, yen(50000)));
    EXPECT_EQ(large.sent, yen(49450));
    EXPECT_EQ(large.charged, 550);
    EXPECT_FALSE(large.differs());
    const TransferFee edge = std::get<TransferFee>(transferFee(settings, FeeDestination::OtherBank, FeeBearer::Payee, yen(30000)));
    EXPECT_EQ(edge.sent, yen(29450));
    EXPECT_EQ(edge.charged, 330);
    EXPECT_EQ(edge.difference(), 220);
}

TEST(TransferFees, TheOwnerSendsTheWholeBillAndPaysTheFeeOfIt)
{
    const FeeSettings settings = bankTable(FeeMethod::AddOwnFee);
    for (const auto& [bill, charged] : {std::pair<qint64, qint64>{29999, 330}, {30000, 550}, {1, 330}}) {
        const TransferFee fee = std::get<TransferFee>(transferFee(settings, FeeDestination::OtherBank, FeeBearer::Payer, yen(bill)));
        EXPECT_EQ(fee.deducted, 0);
        EXPECT_EQ(fee.sent, yen(bill));
        EXPECT_EQ(fee.charged, charged);
        EXPECT_FALSE(fee.differs()) << bill;
    }
    // Without a table the owner's transfer still goes, its fee unknown.
    const TransferFee unknown = std::get<TransferFee>(transferFee(FeeSettings(), FeeDestination::OtherBank, FeeBearer::Payer, yen(5000)));
    EXPECT_EQ(unknown.sent, yen(5000));
    EXPECT_FALSE(unknown.charged.has_value());
}

TEST(TransferFees, ABillNoLargerThanItsFeeOrWithoutATableIsRefusedWithItsReason)
{
    const FeeSettings settings = bankTable(FeeMethod::Fixed);
    for (qint64 bill : {330, 1}) {
        const auto refused = transferFee(settings, FeeDestination::OtherBank, FeeBearer::Payee, yen(bill));
        ASSERT_TRUE(std::holds_alternative<QString>(refused)) << bill;
        EXPECT_EQ(std::get<QString>(refused), QStringLiteral("先方負担の振込手数料 330 円を差し引くと振り込む額が残りません"));
    }
    // Half a yen more than the fee leaves half a yen: the file's check of whole yen refuses it later.
    EXPECT_TRUE(std::holds_alternative<TransferFee>(transferFee(settings, FeeDestination::OtherBank, FeeBearer::Payee, ledger::Amount::fromUnits(3305000))));
    const auto empty = transferFee(FeeSettings(), FeeDestination::SameBank, FeeBearer::Payee, yen(50000));
    ASSERT_TRUE(std::holds_alternative<QString>(empty));
    EXPECT_TRUE(std::get<QString>(empty).contains(QStringLiteral("手数料表（同行他店）が空です")));
}

TEST(TransferFees, TheDestinationComesFromTheBankAndBranchCodes)
{
    BankAccount from;
    from.bankCode = QStringLiteral("0001");
    from.branchCode = QStringLiteral("100");
    BankAccount to = from;
    EXPECT_EQ(destinationOf(to, from), FeeDestination::SameBranch);
    to.branchCode = QStringLiteral("101");
    EXPECT_EQ(destinationOf(to, from), FeeDestination::SameBank);
    to.bankCode = QStringLiteral("0005");
    EXPECT_EQ(destinationOf(to, from), FeeDestination::OtherBank);
    // The same branch code at another bank is another bank.
    to.branchCode = from.branchCode;
    EXPECT_EQ(destinationOf(to, from), FeeDestination::OtherBank);
}

TEST(TransferFees, BandsMustRiseAndStayWithinTenDigits)
{
    EXPECT_TRUE(bandProblems({}).isEmpty());
    EXPECT_TRUE(bandProblems({{0, 330}, {30000, 550}}).isEmpty());
    const QStringList problems = bandProblems({{0, 330}, {30000, 550}, {30000, 660}, {-1, 0}, {40000, -5}, {kLargestFeeYen + 1, 0}});
    EXPECT_EQ(problems.size(), 4) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems.value(0).startsWith(QStringLiteral("3段目の下限 30,000 円が前の段")));
    EXPECT_TRUE(bearerFromText(QStringLiteral("先方")) == FeeBearer::Payee);
    EXPECT_TRUE(bearerFromText(QStringLiteral("当方負担")) == FeeBearer::Payer);
    EXPECT_FALSE(bearerFromText(QStringLiteral("先")).has_value());
    EXPECT_TRUE(methodFromName(QStringLiteral("未満手数料加算型")) == FeeMethod::AddLowerFee);
}

TEST(TransferFees, TypedBandsAreWholeYenSortedByTheirEdgesAndBlankRowsLeftOut)
{
    const TypedBands typed = bandsFromTexts({{"３０，０００", "550"}, {"", ""}, {" 0 ", "330"}});
    EXPECT_TRUE(typed.problems.isEmpty()) << typed.problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(typed.bands, (FeeBands{{0, 330}, {30000, 550}}));
    EXPECT_EQ(bandsFromTexts({{"1.5", "330"}, {"30000", ""}}).problems,
        QStringList({QStringLiteral("下限「1.5」 は円の整数で入力してください"), QStringLiteral("手数料「」 は円の整数で入力してください")}));
    EXPECT_EQ(bandsFromTexts({{"0", "330"}, {"0", "550"}}).problems.size(), 1);
}

TEST(TransferFees, TheExpectedFeesOfAMonthAreThoseOfItsUnpaidLinesOnEachDay)
{
    const PayeeAccount payee{QStringLiteral("家賃"),
        {QStringLiteral("0005"), QStringLiteral("ﾐﾂﾋﾞｼ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"), AccountType::Ordinary, QStringLiteral("1"), QStringLiteral("ﾔﾁﾝ")}, {}};
    const PayeeAccounts accounts = {{payee.payee, payee}};
    FeeContext fees;
    fees.from.bankCode = QStringLiteral("0001");
    fees.settings = bankTable(FeeMethod::Fixed);
    const QDate day(2027, 4, 25);
    const std::vector<SheetEntry> lines = {
        {-1, day, payee.payee, yen(30000), std::nullopt},          // sent whole by the owner: 550
        {-1, day.addDays(-5), payee.payee, yen(5000), yen(5000)}, // paid: nothing to send
        {-1, day.addDays(-5), QStringLiteral("口座なし"), yen(5000), std::nullopt},
        {-1, day.addDays(1), payee.payee, yen(10000), yen(0)},    // 330 either way
    };
    EXPECT_EQ(expectedFees(lines, accounts, fees), 550 + 330);
    fees.settings.defaultBearer = FeeBearer::Payee;
    EXPECT_EQ(expectedFees(lines, accounts, fees), 330 + 330) << "the 30,000 bill sent as 29,450 costs 330";
}

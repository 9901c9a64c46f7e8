#include "Amount.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <limits>

using ledger::Amount;

TEST(Amount, ParsesTypedFormsExactly)
{
    EXPECT_EQ(Amount::parse("1,234")->units(), 12'340'000);
    EXPECT_EQ(Amount::parse("１２，３４５")->units(), 123'450'000);
    EXPECT_EQ(Amount::parse("－５００")->units(), -5'000'000);
    EXPECT_EQ(Amount::parse(" -0.99 ")->units(), -9'900);
    EXPECT_EQ(Amount::parse("0.0001")->units(), 1);
    EXPECT_EQ(Amount::parse("922,337,203,685,477.5807")->units(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Amount::parse("-922337203685477.5808")->units(), std::numeric_limits<std::int64_t>::min());
    for (const char* bad : {"", " ", "abc", "1.00001", "922337203685477.5808", "-922337203685477.5809", "99999999999999999999", "1-2", "1.2.3", "-", "1e5"})
        EXPECT_FALSE(Amount::parse(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(Amount, FormatsAsCommaGroupsWithBlankZero)
{
    EXPECT_EQ(Amount::parse("0")->format(), "");
    // A fraction of a yen from an older file shows as it is stored, never rounded.
    EXPECT_EQ(Amount::parse("0.4")->format(), "0.4");
    EXPECT_EQ(Amount::parse("-1234.5")->format(), "-1,234.5");
    EXPECT_EQ(Amount::parse("1234567.0001")->format(), "1,234,567.0001");
    EXPECT_EQ(Amount::parse("-1234")->format(), "-1,234");
    EXPECT_EQ(Amount::parse("999")->format(), "999");
    EXPECT_EQ(Amount::parse("1000")->format(), "1,000");
    EXPECT_EQ(Amount::parse("1234567")->format(), "1,234,567");
    EXPECT_EQ(Amount::fromUnits(std::numeric_limits<std::int64_t>::min()).format(), "-922,337,203,685,477.5808");
    EXPECT_EQ(ledger::formatAmount(QVariant()), "");
    EXPECT_EQ(ledger::formatAmount(QVariant(qlonglong(150'000'000))), "15,000");
    // The widest text of an amount in whole yen is the smallest one's: the largest is
    // narrower by its sign.
    EXPECT_EQ(Amount::widestText(), "-922,337,203,685,477");
    EXPECT_EQ(Amount::parse("922337203685477")->format(), "922,337,203,685,477");
    EXPECT_FALSE(Amount::parse("-922337203685478").has_value());
}

TEST(Amount, ArithmeticRefusesOverflowAndRoundTripsExactly)
{
    const Amount max = Amount::fromUnits(std::numeric_limits<std::int64_t>::max());
    EXPECT_FALSE(max.plus(Amount::fromUnits(1)).has_value());
    EXPECT_FALSE(Amount::fromUnits(std::numeric_limits<std::int64_t>::min()).minus(Amount::fromUnits(1)).has_value());
    EXPECT_EQ(Amount::fromUnits(5).minus(Amount::fromUnits(7))->units(), -2);
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < 2000; ++i) {
        const auto units = static_cast<std::int64_t>(random->generate64());
        const Amount a = Amount::fromUnits(units);
        ASSERT_EQ(Amount::parse(a.toExactString())->units(), units) << a.toExactString().toStdString();
    }
}

TEST(Amount, TellsAnAmountPastTheRangeFromTextThatIsNoAmount)
{
    for (const char* past : {"922,337,203,685,478", "-922337203685477.5809", "99999999999999999999", "+１０００００００００００００００００"})
        EXPECT_TRUE(Amount::isOutOfRange(QString::fromUtf8(past))) << past;
    for (const char* other : {"922,337,203,685,477", "-922337203685477.5808", "12x", "1e30", "", "-", "0.00001", "1.2.3"})
        EXPECT_FALSE(Amount::isOutOfRange(QString::fromUtf8(other))) << other;
}

TEST(Amount, TypedAmountsAreWholeYenAndEachRefusalIsTold)
{
    EXPECT_TRUE(Amount::fromTyped("  ").blank());
    EXPECT_EQ(Amount::fromTyped("１２，０００").value->units(), 120'000'000);
    EXPECT_EQ(Amount::fromTyped("1.0").value->units(), 10'000);
    EXPECT_EQ(Amount::fromTyped("-3").value->units(), -30'000);
    EXPECT_EQ(Amount::fromTyped("1.5").refusal, ledger::AmountRefusal::Fraction);
    EXPECT_EQ(Amount::fromTyped("０．０１").refusal, ledger::AmountRefusal::Fraction);
    EXPECT_EQ(Amount::fromTyped("abc").refusal, ledger::AmountRefusal::NotAnAmount);
    EXPECT_EQ(Amount::fromTyped("99999999999999999999").refusal, ledger::AmountRefusal::OutOfRange);
}

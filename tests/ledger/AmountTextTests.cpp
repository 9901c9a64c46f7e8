#include "Amount.h"
#include "AmountText.h"

#include <gtest/gtest.h>

using ledger::Amount;
using store::hasValidThousandsGrouping;

TEST(AmountText, CommasAreTakenOnlyBetweenGroupsOfThreeDigitsOfTheWholePart)
{
    for (const char* grouped : {"1,234", "12,345,678", "-1,234", "+1,234.5", " 1,234 ", "１，２３４", "１、２３４", "999", "1234", "1234.5678", "-0.5"})
        EXPECT_TRUE(hasValidThousandsGrouping(QString::fromUtf8(grouped))) << grouped;
    for (const char* broken : {"1,2,3", "12,34", "1234,567", ",123", "1,234,", "1,,234", "1,234.5,6", "1.234,5", "-,123", "1, 234", "１，２３"})
        EXPECT_FALSE(hasValidThousandsGrouping(QString::fromUtf8(broken))) << broken;
    // The amount's parser follows the rule: "1,2,3" is no amount, not 123.
    EXPECT_FALSE(Amount::parse("1,2,3"));
    EXPECT_FALSE(Amount::parse("12,34"));
    EXPECT_EQ(Amount::parse("12,345")->units(), 123'450'000);
}

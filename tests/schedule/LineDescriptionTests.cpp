#include "LineDescription.h"

#include <gtest/gtest.h>

using messages::describeLine;

TEST(LineDescription, NamesDayPayeeAndBothAmountsAsTheGridShowsThem)
{
    const auto yen = [](qint64 y) { return ledger::Amount::fromYen(y); };
    EXPECT_EQ(describeLine("7", "山田商店", yen(12000), yen(-1234567)), "07日　山田商店　予定額 12,000　支払額 -1,234,567");
    EXPECT_EQ(describeLine("31", "A", std::nullopt, yen(0)), "31日　A　予定額 0　支払額 0");
    EXPECT_EQ(describeLine(" ", "", yen(1), std::nullopt), "日付なし　支払先なし　予定額 1　支払額 0");
    EXPECT_EQ(describeLine("1a", "x", std::nullopt, std::nullopt), "1a日　x　予定額 0　支払額 0") << "a text that is no day is named as typed";
}

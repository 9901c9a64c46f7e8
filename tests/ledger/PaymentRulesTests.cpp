#include "Holidays.h"
#include "LedgerFixture.h"
#include "PaymentRules.h"
#include "Transaction.h"

#include <gtest/gtest.h>

using namespace ledger;
using calendar::HolidayShift;

TEST(PaymentRules, UsualDaysAndChoicesReadAsWrittenAndTyped)
{
    EXPECT_EQ(usualDayText(25), "25日");
    EXPECT_EQ(usualDayText(kMonthEnd), "末日");
    EXPECT_EQ(usualDayText(32), "");
    for (const char* text : {"25", "25日", "２５日", " 25 "})
        EXPECT_EQ(usualDayFromText(QString::fromUtf8(text)), 25) << text;
    EXPECT_EQ(usualDayFromText("末日"), kMonthEnd);
    EXPECT_EQ(usualDayFromText("1"), 1);
    for (const char* text : {"0", "32", "25.5", "-1", "", "日", "月末", "100"})
        EXPECT_FALSE(usualDayFromText(QString::fromUtf8(text))) << text;

    for (HolidayShift shift : {HolidayShift::前営業日, HolidayShift::翌営業日, HolidayShift::そのまま})
        EXPECT_EQ(shiftFromText(shiftText(shift)), shift);
    EXPECT_FALSE(shiftFromText("前日"));
    EXPECT_EQ(defaultShift(), HolidayShift::前営業日);
}

TEST(PaymentRules, AUsualDayIsTheMonthsAndABankHolidayMovesWithinTheMonth)
{
    // 末日 and a day past the month's end are its last day.
    EXPECT_EQ(usualDate(kMonthEnd, QDate(2026, 2, 10)), QDate(2026, 2, 28));
    EXPECT_EQ(usualDate(31, QDate(2028, 2, 1)), QDate(2028, 2, 29));
    EXPECT_EQ(usualDate(30, QDate(2026, 4, 1)), QDate(2026, 4, 30));
    EXPECT_EQ(usualDate(15, QDate(2026, 4, 30)), QDate(2026, 4, 15));
    EXPECT_FALSE(usualDate(32, QDate(2026, 4, 1)).isValid());
    EXPECT_FALSE(usualDate(1, QDate()).isValid());

    // Golden week 2026: 5/3 (Sun) to 5/6 (振替休日) are bank holidays.
    EXPECT_EQ(businessDayInMonth(QDate(2026, 5, 6), HolidayShift::前営業日), QDate(2026, 5, 1));
    EXPECT_EQ(businessDayInMonth(QDate(2026, 5, 6), HolidayShift::翌営業日), QDate(2026, 5, 7));
    EXPECT_EQ(businessDayInMonth(QDate(2026, 5, 6), HolidayShift::そのまま), QDate(2026, 5, 6));
    EXPECT_EQ(businessDayInMonth(QDate(2026, 5, 7), HolidayShift::前営業日), QDate(2026, 5, 7));
    // Never out of the month: 11/1 (Sun) before goes after, 12/31 after goes before.
    EXPECT_EQ(businessDayInMonth(QDate(2026, 11, 1), HolidayShift::前営業日), QDate(2026, 11, 2));
    EXPECT_EQ(businessDayInMonth(QDate(2026, 12, 31), HolidayShift::翌営業日), QDate(2026, 12, 30));
    EXPECT_EQ(businessDayInMonth(QDate(2027, 1, 1), HolidayShift::前営業日), QDate(2027, 1, 4));
    EXPECT_FALSE(businessDayInMonth(QDate(), HolidayShift::前営業日).isValid());
}

TEST(PaymentRules, RulesAndTheBooksSettingAreStoredByNameAndAnEmptyRuleGoes)
{
    ledgertest::Files f;
    EXPECT_TRUE(readPaymentRules(f.main).empty());
    EXPECT_EQ(readDefaultShift(f.main), HolidayShift::前営業日) << "no row reads as the default";
    {
        store::Transaction tx(f.main);
        writePaymentRule(f.main, "東京電力", {25, HolidayShift::翌営業日});
        writePaymentRule(f.main, "家賃", {kMonthEnd, std::nullopt});
        writePaymentRule(f.main, "O'Brien", {std::nullopt, HolidayShift::そのまま});
        writePaymentRule(f.main, "家賃", {27, std::nullopt}); // replaces
        writeDefaultShift(f.main, HolidayShift::翌営業日);
        writeDefaultShift(f.main, HolidayShift::そのまま);
        tx.commit();
    }
    PaymentRules rules = readPaymentRules(f.main);
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(rules.at("東京電力"), (PaymentRule{25, HolidayShift::翌営業日}));
    EXPECT_EQ(rules.at("家賃"), (PaymentRule{27, std::nullopt}));
    EXPECT_EQ(rules.at("O'Brien"), (PaymentRule{std::nullopt, HolidayShift::そのまま}));
    EXPECT_EQ(readDefaultShift(f.main), HolidayShift::そのまま);
    EXPECT_EQ(store::scalar(f.main, "SELECT count(*) FROM 支払日設定").toInt(), 1);
    EXPECT_EQ(store::scalar(f.main, "SELECT 支払日 FROM 支払日規則 WHERE 支払先名 = '家賃'").toInt(), 27);

    {
        store::Transaction tx(f.main);
        writePaymentRule(f.main, "家賃", {});
        tx.commit();
    }
    EXPECT_EQ(readPaymentRules(f.main).count("家賃"), 0u);
    EXPECT_EQ(store::scalar(f.main, "SELECT count(*) FROM 支払日規則").toInt(), 2);

    // What no month has, or no choice names, is no rule; an unknown setting is the default.
    store::exec(f.main, "INSERT INTO 支払日規則 VALUES ('壊れ', 40, NULL), ('無名の指定', NULL, '前日'), ('文字', 'x', '前営業日')");
    store::exec(f.main, "UPDATE 支払日設定 SET 休日 = 'あとで'");
    rules = readPaymentRules(f.main);
    EXPECT_EQ(rules.count("壊れ") + rules.count("無名の指定") + rules.count("文字"), 0u);
    EXPECT_EQ(readDefaultShift(f.main), HolidayShift::前営業日);
}

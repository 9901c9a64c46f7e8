#include "Holidays.h"
#include "PayeeImport.h"
#include "PayeeRuleImport.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <gtest/gtest.h>

using namespace exchange;
using calendar::HolidayShift;
using ledger::PaymentRule;

TEST(PayeeRuleImport, TheOptionalColumnsGiveRulesByNameAndWhatNamesNoDayOrChoiceIsNamed)
{
    const ListedRules listed = rulesFromText("支払日,支払先名,休日\r\n"
                                             "25,電気,翌営業日\r\n"
                                             "末日,家賃,\r\n"
                                             ",通信,\r\n"
                                             "１０日,\"'=式\",そのまま\r\n"
                                             "5,電気,前営業日\r\n"
                                             ",手形,そのまま\r\n",
        true);
    EXPECT_TRUE(listed.unreadable.isEmpty());
    const std::vector<std::pair<QString, PaymentRule>> expected = {{"電気", {25, HolidayShift::翌営業日}}, {"家賃", {ledger::kMonthEnd, std::nullopt}},
        {"=式", {10, HolidayShift::そのまま}}, {"手形", {std::nullopt, HolidayShift::そのまま}}};
    EXPECT_EQ(listed.rules, expected) << "a blank line says nothing, a name's first rule holds";

    const ListedRules bad = rulesFromText("支払先名,支払日,休日\n電気,32,前日\nガス,15,\n", true);
    EXPECT_EQ(bad.unreadable, (QStringList{"「電気」の支払日「32」", "「電気」の休日「前日」"}));
    EXPECT_EQ(bad.rules.size(), 1u);

    EXPECT_TRUE(rulesFromText("支払先名,予定額\n電気,25\n", true).rules.empty()) << "no rule columns";
    EXPECT_TRUE(rulesFromText("電気,25,翌営業日\n", true).rules.empty()) << "no heading record";
    EXPECT_TRUE(rulesFromText("支払先名,支払日\n電気,25\n", false).rules.empty()) << "a text file lists names only";
}

TEST(PayeeRuleImport, RulesAreStoredWithTheAddedNamesAllOrNothing)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& main = session->mainDb();
    store::exec(main, "INSERT INTO 支払先マスタ VALUES ('電気')");
    store::exec(main, "INSERT INTO 支払日規則 VALUES ('電気', 10, NULL)");
    const std::vector<std::pair<QString, PaymentRule>> rules = {{"電気", {25, HolidayShift::翌営業日}}, {"家賃", {ledger::kMonthEnd, std::nullopt}}};

    store::exec(main, "CREATE TRIGGER refuse BEFORE INSERT ON 支払先マスタ WHEN NEW.支払先名 = '家賃' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(addPayees(*session, {"家賃"}, rules), store::DbError);
    EXPECT_EQ(ledger::readPaymentRules(main).at("電気"), (PaymentRule{10, std::nullopt})) << "nothing of the list is stored";
    store::exec(main, "DROP TRIGGER refuse");

    addPayees(*session, {"家賃"}, rules);
    const ledger::PaymentRules stored = ledger::readPaymentRules(main);
    EXPECT_EQ(stored.at("電気"), (PaymentRule{25, HolidayShift::翌営業日})) << "a listed rule replaces the one the payee had";
    EXPECT_EQ(stored.at("家賃"), (PaymentRule{ledger::kMonthEnd, std::nullopt}));
}

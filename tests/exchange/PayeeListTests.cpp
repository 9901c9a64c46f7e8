// The payee list with its bank details: out to a file and back in, details included.

#include "AccountStore.h"
#include "MessagePresenter.h"
#include "Msg.h"
#include "PayeeAccountsCsv.h"
#include "PayeeBearers.h"
#include "PayeeExportCommand.h"
#include "PayeeImport.h"
#include "PayeeImportCommand.h"
#include "PayeeRuleImport.h"
#include "Holidays.h"
#include "PaymentRules.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace exchange;

namespace {

banking::PayeeAccount details(const char* payee, const char* holder, banking::AccountType type, const char* customer)
{
    return {QString::fromUtf8(payee),
        {QStringLiteral("0005"), QStringLiteral("ﾐﾂﾋﾞｼ"), QStringLiteral("012"), QStringLiteral("ｼﾌﾞﾔ"), type, QStringLiteral("0012345"), QString::fromUtf8(holder)},
        QString::fromUtf8(customer)};
}

} // namespace

TEST(PayeeList, DetailsGoOutWithTheirNamesAndComeBackAsTheyWereOrAreNamedWhenUnfit)
{
    const QStringList names = {"=危険", "山田商店", "口座なし"};
    const banking::PayeeAccounts accounts = {{"=危険", details("=危険", "ｷｹﾝ", banking::AccountType::Savings, "")},
        {"山田商店", details("山田商店", "ﾔﾏﾀﾞ ｼﾖｳﾃﾝ", banking::AccountType::Checking, "0042")}};
    const QString text = payeeListCsv(names, accounts);
    EXPECT_TRUE(text.startsWith("支払先名,支払日,休日,銀行番号,銀行名,支店番号,支店名,預金種目,口座番号,口座名義,顧客コード,手数料負担\r\n"));
    EXPECT_TRUE(text.contains("'=危険,,,0005,ﾐﾂﾋﾞｼ,012,ｼﾌﾞﾔ,貯蓄,0012345,ｷｹﾝ,,\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("口座なし,,,,,,,,,,,\r\n"));
    EXPECT_EQ(namesFromText(text, true), names);

    const ImportedAccounts back = accountsFromRecords(csvRecords(text));
    EXPECT_TRUE(back.refused.isEmpty());
    ASSERT_EQ(back.accounts.size(), 2u);
    EXPECT_EQ(back.accounts[0], accounts.at("=危険"));
    EXPECT_EQ(back.accounts[1], accounts.at("山田商店"));

    // A spreadsheet's save: columns in another order, codes without their zeros, the kind
    // by number, names typed in hiragana; details that do not fit are named.
    const QString edited = "口座名義,支払先名,口座番号,銀行番号,支店番号,預金種目\r\n"
                           "たなか はなこ,田中,123,5,12,2\r\n"
                           "山田,山田,1,1,1,1\r\n"
                           ",空,,,,\r\n";
    const ImportedAccounts read = accountsFromRecords(csvRecords(edited));
    ASSERT_EQ(read.accounts.size(), 1u);
    EXPECT_EQ(read.accounts[0].account.holder, "ﾀﾅｶ ﾊﾅｺ");
    EXPECT_EQ(read.accounts[0].account.bankCode, "0005");
    EXPECT_EQ(read.accounts[0].account.branchCode, "012");
    EXPECT_EQ(read.accounts[0].account.type, banking::AccountType::Checking);
    EXPECT_EQ(read.refused, QStringList({"山田: 口座名義: 「山田」は銀行振込に使えない文字です"}));
    EXPECT_TRUE(accountsFromRecords(csvRecords("支払先名\r\n山田\r\n")).accounts.empty()) << "a list of names alone carries no details";
}

TEST(PayeeList, ThePaymentRulesGoOutWithTheirNamesAndAreReadBackAsTheyWere)
{
    using calendar::HolidayShift;
    const QStringList names = {"東京電力", "家賃", "決まりなし", "休日だけ"};
    const ledger::PaymentRules rules = {{"東京電力", {25, HolidayShift::翌営業日}}, {"家賃", {ledger::kMonthEnd, std::nullopt}},
        {"休日だけ", {std::nullopt, HolidayShift::そのまま}}};
    const QString text = payeeListCsv(names, {}, rules);
    EXPECT_TRUE(text.contains("東京電力,25日,翌営業日,")) << text.toStdString();
    EXPECT_TRUE(text.contains("家賃,末日,,")) << text.toStdString();

    const ListedRules back = rulesFromText(text, true);
    EXPECT_TRUE(back.unreadable.isEmpty()) << back.unreadable.join(" ").toStdString();
    EXPECT_EQ(ledger::PaymentRules(back.rules.begin(), back.rules.end()), rules);
    EXPECT_TRUE(accountsFromRecords(csvRecords(text)).accounts.empty()) << "a list without details gives none";
}

TEST(PayeeList, TheExportedFileIsImportedIntoAnotherBookWithItsDetails)
{
    TempDataDir from;
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    const QString path = from.filePath("支払先一覧");
    {
        auto session = store::Session::open(from.path());
        store::exec(session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES ('山田商店'), ('口座なし')");
        banking::AccountStore(session->mainDb()).savePayeeAccount(details("山田商店", "ﾔﾏﾀﾞ", banking::AccountType::Ordinary, "7"));
        ledger::writePaymentRule(session->mainDb(), "口座なし", {ledger::kMonthEnd, calendar::HolidayShift::前営業日});
        banking::PayeeBearers(session->mainDb()).set("山田商店", banking::FeeBearer::Payee);
        PayeeExportCommand command(*session, msg);
        QString written;
        command.askPath = [&](const QString& suggested, QWidget*) {
            EXPECT_TRUE(suggested.endsWith("/支払先.csv"));
            return path;
        };
        command.written = [&](const QString& file) { written = file; };
        ASSERT_TRUE(command.run(nullptr));
        EXPECT_EQ(written, path + ".csv");
    }
    const QByteArray bytes = TempDataDir::readAll(path + ".csv");
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "Shift_JIS when every name has a code there";

    TempDataDir to;
    auto session = store::Session::open(to.path());
    store::exec(session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES ('山田商店')");
    PayeeImportCommand import(*session, msg);
    presenter.clear();
    presenter.setDefaultAnswer(true);
    ASSERT_TRUE(import.importFile(path + ".csv", TextEncoding::Detect));
    ASSERT_FALSE(presenter.shown().empty());
    EXPECT_TRUE(presenter.shown()[0].text.contains(messages::findMessage(messages::MsgId::入力_取込口座, "1").text)) << presenter.shown()[0].text.toStdString();
    EXPECT_EQ(store::scalar(session->mainDb(), "SELECT COUNT(*) FROM 支払先マスタ").toInt(), 2);
    const auto kept = banking::AccountStore(session->mainDb()).payeeAccount("山田商店");
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, details("山田商店", "ﾔﾏﾀﾞ", banking::AccountType::Ordinary, "7")) << "the details of a name already there are updated";
    const ledger::PaymentRules rules = ledger::readPaymentRules(session->mainDb());
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules.at("口座なし"), (ledger::PaymentRule{ledger::kMonthEnd, calendar::HolidayShift::前営業日}));
    EXPECT_EQ(banking::PayeeBearers(session->mainDb()).all(), (std::map<QString, banking::FeeBearer>{{"山田商店", banking::FeeBearer::Payee}}));
}

TEST(PayeeList, TheFeeBearerGoesOutAndComesBackAndAListWithoutItLeavesTheBearers)
{
    const QStringList names = {"先方の店", "当方の店", "既定の店"};
    const std::map<QString, banking::FeeBearer> bearers = {{"先方の店", banking::FeeBearer::Payee}, {"当方の店", banking::FeeBearer::Payer}};
    const QString text = payeeListCsv(names, {}, {}, bearers);
    EXPECT_TRUE(text.contains("先方の店,,,,,,,,,,,先方\r\n")) << text.toStdString();
    const ImportedAccounts back = accountsFromRecords(csvRecords(text));
    EXPECT_TRUE(back.refused.isEmpty());
    using Read = std::pair<QString, std::optional<banking::FeeBearer>>;
    EXPECT_EQ(back.bearers, (std::vector<Read>{{"先方の店", banking::FeeBearer::Payee}, {"当方の店", banking::FeeBearer::Payer}, {"既定の店", std::nullopt}}));

    // A list of an earlier version has no column: nothing is said about the bearers.
    EXPECT_TRUE(accountsFromRecords(csvRecords("支払先名,銀行番号,口座番号\r\n山田,5,1\r\n")).bearers.empty());
    // A typed list may say 先方負担; a word that is neither is named.
    const ImportedAccounts typed = accountsFromRecords(csvRecords("支払先名,手数料負担\r\n山田,先方負担\r\n川口,半分\r\n"));
    EXPECT_EQ(typed.bearers, (std::vector<Read>{{"山田", banking::FeeBearer::Payee}}));
    EXPECT_EQ(typed.refused, QStringList({"川口: 手数料負担: 「半分」は当方か先方で入力してください"}));
}

// The payment path through the real main window: last month repeated twice, a transfer for a
// past day or for transfers already written, the list of a file in front, and bank details
// that follow their payee when it is renamed or deleted.

#include "AccountStore.h"
#include "PayeeBearers.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "PaymentRules.h"
#include "ReportWindow.h"
#include "SheetColumns.h"
#include "Session.h"
#include "Sql.h"
#include "TransferDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace schedule;

namespace {

const QDate kMonth(2031, 6, 1);
const QDate kRentDay(2031, 6, 25);

banking::PayeeAccount account(const QString& payee, const char* number)
{
    return {payee, {"0001", "ﾐｽﾞﾎ", "001", "ﾎﾝﾃﾝ", banking::AccountType::Ordinary, QString::fromUtf8(number), "ﾔﾁﾝ ｶﾝﾘ"}, {}};
}

// May 2031: the rent on the 25th and electricity on the 9th; the sender and both payees'
// details; the payees in the master.
void seedBook(TempDataDir& dir)
{
    seed::storeLines(dir, {{QDate(2031, 5, 9), 1, "電気", 5000, 0, 5000}, {QDate(2031, 5, 26), 2, "家賃", 200000, 0, 205000}});
    seed::storePayees(dir, {"家賃", "電気"});
    auto session = store::Session::open(dir.path());
    banking::AccountStore store(session->mainDb());
    store.savePayeeAccount(account("家賃", "7654321"));
    store.savePayeeAccount(account("電気", "1111111"));
    banking::Sender sender;
    sender.code = "0123456789";
    sender.name = "ﾄﾊﾞ-ｸ";
    sender.account = account("", "2222222").account;
    sender.account.holder.clear();
    store.saveSender(sender);
    ledger::writePaymentRule(session->mainDb(), "家賃", {25, std::nullopt});
}

QString status(MainWindowHarness& w)
{
    return w.find<QLabel>("lblStatus")->text();
}

} // namespace

TEST(SafePaymentsWindow, RepeatingLastMonthAgainAsksAndTheTransferDialogHoldsBackTheRepeatedBill)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    w.click("cmd前月複写");
    EXPECT_TRUE(w.presenter.shown().empty()) << "an empty sheet takes last month without a question";
    EXPECT_EQ(w.lines(3).toStdString(), "09 電気 210,000 / 25 家賃 410,000 /   ");

    // Again: the sheet holds both already. キャンセル changes nothing; いいえ copies only
    // what is missing (nothing) and says what it left out.
    w.presenter.clear();
    w.presenter.pushCancel();
    w.click("cmd前月複写");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::入力_前月重複, "電気 5,000\n家賃 200,000").text);
    w.presenter.pushAnswer(false);
    w.click("cmd前月複写");
    EXPECT_EQ(w.lines(3).toStdString(), "09 電気 210,000 / 25 家賃 410,000 /   ");
    EXPECT_EQ(status(w), "この月にすでにある行は複写しませんでした：電気 5,000、家賃 200,000");
    // はい copies them all again, as asked.
    w.presenter.pushAnswer(true);
    w.click("cmd前月複写");
    EXPECT_EQ(w.lines(5).toStdString(), "09 電気 210,000 / 25 家賃 415,000 / 09 電気 215,000 / 25 家賃 615,000 /   ");

    // The transfer of the 25th offers the rent once ticked; the repeat waits for a tick and
    // the summary names it.
    w.window().transferCommand().today = [] { return QDate(2031, 6, 1); };
    QStringList seen;
    w.window().transferCommand().askChoice = [&](banking::TransferDialog& dialog) -> std::optional<banking::TransferChoice> {
        dialog.setDay(kRentDay);
        seen << dialog.findChild<QLabel*>("lbl振込合計")->text();
        seen << QString::number(dialog.chosen().size());
        dialog.setTicked(1, true);
        seen << dialog.findChild<QLabel*>("lbl振込合計")->text();
        return std::nullopt;
    };
    w.click("cmd振込データ");
    EXPECT_EQ(seen, QStringList({"振込 1 件　合計 200,000 円\n同じ支払先・金額の行が重なるため外しています：家賃 200,000 円", "1",
                        "振込 2 件　合計 400,000 円\n同じ支払先・金額の行を重ねて振り込みます：家賃 200,000 円"}));
}

TEST(SafePaymentsWindow, APastDayAndTransfersAlreadyWrittenAreAskedAndTheListComesToTheFront)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    ASSERT_TRUE(w.show());
    w.click("cmd前月複写");
    // A line whose 支払額 is negative is no bill to pay more than it says.
    ASSERT_TRUE(w.put(2, kCol表示日付, "25"));
    ASSERT_TRUE(w.put(2, kCol支払先名, "電気"));
    ASSERT_TRUE(w.put(2, kCol予定額, "123"));
    ASSERT_TRUE(w.put(2, kCol支払額, "-500"));
    w.window().transferCommand().today = [] { return QDate(2031, 6, 26); };
    QStringList apart;
    QString dateNote;
    w.window().transferCommand().askChoice = [&](banking::TransferDialog& dialog) -> std::optional<banking::TransferChoice> {
        dialog.setDay(kRentDay);
        apart.clear();
        for (const auto& line : dialog.plan().apart)
            apart << line.payee + " " + line.reason;
        dateNote = dialog.findChild<QLabel*>("lbl休業日")->text();
        return banking::TransferChoice{dialog.day(), dialog.chosen()};
    };
    int paths = 0;
    w.window().transferCommand().askPath = [&](const QString&, QWidget*) {
        ++paths;
        return dir.filePath(QStringLiteral("振込%1.txt").arg(paths));
    };

    // The 25th is before today: いいえ writes nothing.
    w.presenter.clear();
    w.presenter.pushAnswer(false);
    w.click("cmd振込データ");
    EXPECT_EQ(apart, QStringList({"電気 " + messages::messageText(messages::MsgId::入力_振込負の額)}));
    EXPECT_TRUE(dateNote.contains("今日より前の日付です")) << dateNote.toStdString();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::その他_振込過去日, "2031/06/25（今日は 2031/06/26）").text);
    EXPECT_EQ(paths, 0);

    // はい writes it; the lines are left unpaid (いいえ to the marking); the list of the file
    // is the active window, in front of the main window.
    w.presenter.clear();
    w.presenter.pushAnswer(true);
    w.presenter.pushAnswer(false);
    w.click("cmd振込データ");
    EXPECT_EQ(paths, 1);
    EXPECT_EQ(w.cell(1, kCol支払額), "");
    EXPECT_EQ(w.cell(2, kCol支払額), "-500") << "the negative amount is kept as typed";
    const auto listActive = [] { return qobject_cast<report::ReportWindow*>(QApplication::activeWindow()) != nullptr; };
    ASSERT_TRUE(QTest::qWaitFor(listActive, 3000)) << "the transfer list is not the active window";
    auto* list = qobject_cast<report::ReportWindow*>(QApplication::activeWindow());
    EXPECT_TRUE(list->isVisible());
    list->close();

    // The same transfer again for the same day: asked, and いいえ writes nothing.
    w.presenter.clear();
    w.presenter.pushAnswer(true);
    w.presenter.pushAnswer(false);
    w.click("cmd振込データ");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_TRUE(w.presenter.shown()[1].text.startsWith(messages::findMessage(messages::MsgId::その他_振込作成済確認, "家賃 200,000 円（").text.section("（", 0, 0)))
        << w.presenter.shown()[1].text.toStdString();
    EXPECT_TRUE(w.presenter.shown()[1].text.contains("振込1.txt）")) << w.presenter.shown()[1].text.toStdString();
    EXPECT_EQ(paths, 1);
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT count(*) || ' ' || sum(合計) FROM 振込記録").toString(), "1 2000000000");
}

TEST(SafePaymentsWindow, BankDetailsFollowTheirPayeeWhenRenamedGoWhenItIsDeletedAndComeBackWithTheUndo)
{
    TempDataDir dir;
    seedBook(dir);
    {
        // An earlier version left the details of a deleted payee behind.
        auto session = store::Session::open(dir.path());
        banking::AccountStore(session->mainDb()).savePayeeAccount(account("消えた", "3333333"));
        banking::PayeeBearers(session->mainDb()).set("家賃", banking::FeeBearer::Payee);
        banking::PayeeBearers(session->mainDb()).set("電気", banking::FeeBearer::Payer);
    }
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::Payees);
    w.click("cmd支払先読込");
    auto* grid = w.find<GridView>("Grid支払先マスタ");
    auto* label = w.find<QLabel>("lbl支払先口座");
    EXPECT_EQ(w.column("Grid支払先マスタ", 1).mid(0, 2), QStringList({"家賃", "電気"}));
    grid->setCurrentCell(0, 1);
    EXPECT_EQ(label->text(), "口座：0001 ﾐｽﾞﾎ　001 ﾎﾝﾃﾝ　普通 7654321　ﾔﾁﾝ ｶﾝﾘ　手数料：先方負担");
    // The details an earlier version left behind are never offered for a transfer.
    EXPECT_EQ(banking::AccountStore(w.mainDb()).unlistedPayees(), QStringList({"消えた"}));
    EXPECT_EQ(banking::AccountStore(w.mainDb()).payeeAccounts().count("消えた"), 0u);

    // Renamed and registered: the details and the rule are the new name's.
    w.typeInto("Grid支払先マスタ", 0, 1, "大家", Qt::Key_Return);
    w.click("cmd支払先登録", true);
    banking::AccountStore accounts(w.mainDb());
    ASSERT_TRUE(accounts.payeeAccount("大家"));
    EXPECT_EQ(accounts.payeeAccount("大家")->account.number, "7654321");
    EXPECT_FALSE(accounts.payeeAccount("家賃"));
    EXPECT_EQ(ledger::readPaymentRules(w.mainDb()).count("大家"), 1u);
    EXPECT_EQ(banking::PayeeBearers(w.mainDb()).all(), (std::map<QString, banking::FeeBearer>{{"大家", banking::FeeBearer::Payee}, {"電気", banking::FeeBearer::Payer}}));

    // Ticked and deleted: the details go with the payee, and the status line's undo brings
    // them back.
    w.click("cmd支払先読込");
    const int power = static_cast<int>(w.column("Grid支払先マスタ", 1).indexOf("電気"));
    ASSERT_GE(power, 0);
    QAbstractItemModel* model = grid->model();
    ASSERT_TRUE(model);
    model->setData(model->index(power, 0), Qt::Checked, Qt::CheckStateRole);
    w.click("cmd支払先行削除", true);
    EXPECT_FALSE(accounts.payeeAccount("電気"));
    EXPECT_FALSE(banking::PayeeBearers(w.mainDb()).of("電気")) << "the bearer goes with the payee";
    grid->setCurrentCell(power, 1);
    auto* undo = w.window().findChild<QPushButton*>("cmd元に戻す");
    ASSERT_TRUE(undo && !undo->isHidden()) << "the payee's deletion offers no undo";
    w.presenter.setDefaultAnswer(true);
    undo->click();
    banking::AccountStore restored(w.mainDb());
    ASSERT_TRUE(restored.payeeAccount("電気"));
    EXPECT_EQ(restored.payeeAccount("電気")->account.number, "1111111");
    EXPECT_EQ(banking::PayeeBearers(w.mainDb()).of("電気"), banking::FeeBearer::Payer);

    // The details an earlier version left behind went with the registration of the page.
    EXPECT_TRUE(restored.unlistedPayees().isEmpty());
}

TEST(SafePaymentsWindow, DetailsWithoutAPayeeInAnOlderBookAreNamedOnceAtTheFirstStart)
{
    TempDataDir dir;
    seedBook(dir);
    {
        auto session = store::Session::open(dir.path());
        banking::AccountStore(session->mainDb()).savePayeeAccount(account("消えた", "3333333"));
        // The book of an earlier version: without the tables this version adds.
        store::exec(session->mainDb(), "DROP TABLE 振込記録");
    }
    for (int start = 0; start < 2; ++start) {
        MainWindowHarness w(dir);
        ASSERT_TRUE(w.startOn(kMonth));
        if (start == 0) {
            ASSERT_EQ(w.presenter.shown().size(), 1u);
            EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::その他_孤立口座, "消えた").text);
        } else {
            EXPECT_TRUE(w.presenter.shown().empty()) << "named again at the second start";
        }
        w.close();
    }
}

// Transfer fees through the real main window: the fee settings and a payee's bearer as the
// book keeps them, the dialog's columns and totals, the file's amounts, and the paid marks
// with the day's fee line as one step of the sheet's undo.

#include "AccountStore.h"
#include "BankDetailsDialog.h"
#include "CashFlowChart.h"
#include "CashFlowPage.h"
#include "FeeDialog.h"
#include "FeeSettingsStore.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "PayeeBearers.h"
#include "PayeePage.h"
#include "SchedulePage.h"
#include "Session.h"
#include "SettingsPage.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "TransferDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace schedule;

namespace {

const QDate kMonth(2027, 3, 1);
const QDate kDay(2027, 3, 25);

banking::PayeeAccount account(const char* payee, const char* bank)
{
    return {QString::fromUtf8(payee),
        {QString::fromUtf8(bank), QStringLiteral("ﾐｽﾞﾎ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"), banking::AccountType::Ordinary, QStringLiteral("1234567"),
            QStringLiteral("ﾀﾅｶ")},
        {}};
}

// On the 25th: 田中 (70,000 unpaid) in the sender's own branch, 佐藤 (30,000) at another
// bank; the payee bears the fee by default, 田中 by choice too; a fee line is asked for.
void seedBook(TempDataDir& dir)
{
    seed::storeLines(dir, {{kDay, 1, "田中", 100000, 30000, -70000}, {kDay, 2, "佐藤", 30000, 0, -100000}});
    seed::storePayees(dir, {QStringLiteral("田中"), QStringLiteral("佐藤")});
    auto session = store::Session::open(dir.path());
    banking::AccountStore store(session->mainDb());
    store.savePayeeAccount(account("田中", "0001"));
    store.savePayeeAccount(account("佐藤", "0005"));
    banking::Sender sender;
    sender.code = QStringLiteral("0123456789");
    sender.name = QStringLiteral("ﾄﾊﾞ-ｸ");
    sender.account = account("", "0001").account;
    sender.account.holder.clear();
    store.saveSender(sender);
    banking::FeeSettings fees;
    fees.defaultBearer = banking::FeeBearer::Payee;
    fees.addFeeLine = true;
    fees.table.of(banking::FeeDestination::SameBranch) = {{0, 0}, {30000, 110}};
    fees.table.of(banking::FeeDestination::OtherBank) = {{0, 330}, {30000, 550}};
    banking::FeeSettingsStore(session->mainDb()).write(fees);
    banking::PayeeBearers(session->mainDb()).set(QStringLiteral("田中"), banking::FeeBearer::Payee);
}

} // namespace

TEST(TransferFeesWindow, TheFileSendsTheBillsLessTheFeesAndMarkingPaidAddsTheDaysFees)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    // The cash-flow page names the fees the month's planned transfers will cost.
    w.showPage(MainWindowHarness::CashFlow);
    w.window().findChild<cashflow::CashFlowPage*>()->openAt(kMonth);
    emit w.window().findChild<cashflow::CashFlowChartView*>("Chart資金繰り")->monthHovered(0);
    EXPECT_TRUE(w.find<QLabel>("lbl資金繰り月")->text().endsWith("振込手数料（見込）440 円")) << w.find<QLabel>("lbl資金繰り月")->text().toStdString();
    w.showPage(MainWindowHarness::Schedule);
    w.window().transferCommand().today = [] { return kMonth; };
    w.grid()->setCurrentCell(0, kCol支払先名);

    QStringList seen;
    w.window().transferCommand().askChoice = [&](banking::TransferDialog& dialog) -> std::optional<banking::TransferChoice> {
        auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("grid振込対象"));
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 1; column < table->columnCount(); ++column) {
                if (column < 2 || column > 5)
                    cells << table->item(row, column)->text();
            }
            seen << cells.join(QLatin1Char('|'));
        }
        seen << dialog.findChild<QLabel*>(QStringLiteral("lbl振込合計"))->text();
        return banking::TransferChoice{dialog.day(), dialog.chosen()};
    };
    w.window().transferCommand().askPath = [&](const QString&, QWidget*) { return dir.filePath(QStringLiteral("振込.txt")); };
    w.presenter.clear();
    w.presenter.pushAnswer(true); // mark paid
    w.click("cmd振込データ");

    EXPECT_EQ(seen, QStringList({"田中|先方|70,000|110|69,890|110|", "佐藤|先方|30,000|550|29,450|330|差額 220 円",
                        "振込 2 件　合計 99,340 円　手数料 440 円　引落予定額 99,780 円"}));
    ASSERT_GE(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("合計: 99,340 円\n手数料: 440 円\n引落予定額: 99,780 円")) << w.presenter.shown()[0].text.toStdString();
    const QByteArray bytes = TempDataDir::readAll(dir.filePath(QStringLiteral("振込.txt")));
    ASSERT_EQ(bytes.size(), 5 * 122);
    EXPECT_EQ(bytes.mid(122 + 80, 10), QByteArray("0000069890"));
    EXPECT_EQ(bytes.mid(2 * 122 + 80, 10), QByteArray("0000029450"));
    EXPECT_EQ(bytes.mid(3 * 122, 19), QByteArray("8000002000000099340"));

    // The bills are settled whole, and the day's fees are a line of their own.
    EXPECT_EQ(w.cell(2, kCol表示日付), "25");
    EXPECT_EQ(w.cell(2, kCol支払先名), "振込手数料");
    EXPECT_EQ(w.cell(0, kCol支払額), "100,000");
    EXPECT_EQ(w.cell(1, kCol支払額), "30,000");
    EXPECT_EQ(w.cell(2, kCol予定額), "440");
    EXPECT_EQ(w.cell(2, kCol支払額), "440");
    ASSERT_TRUE(w.window().findChild<SchedulePage*>()->undoSheet());
    EXPECT_EQ(w.cell(2, kCol支払先名), "");
    EXPECT_EQ(w.cell(1, kCol支払額), "");
}

TEST(TransferFeesWindow, TheFeeTableIsTypedOnTheSettingsPageAndEachPayeesBearerWithItsAccount)
{
    TempDataDir dir;
    seedBook(dir);
    {
        auto session = store::Session::open(dir.path());
        banking::FeeSettingsStore(session->mainDb()).write({});
    }
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.start());
    w.showPage(MainWindowHarness::Settings);
    EXPECT_EQ(w.find<QLabel>("lbl振込手数料")->toolTip(), "手数料：据置型・当方負担\n同行同店 未設定\n同行他店 未設定\n他行 未設定");
    auto* page = w.window().findChild<settings::SettingsPage*>();
    QStringList boxes;
    page->askFees = [&](settings::FeeDialog& dialog) {
        QTableWidget* other = dialog.table(banking::FeeDestination::OtherBank);
        EXPECT_EQ(other->rowCount(), 2) << "an empty table offers rows to type into";
        other->setItem(0, 0, new QTableWidgetItem("30,000"));
        other->setItem(0, 1, new QTableWidgetItem("550"));
        other->setItem(1, 0, new QTableWidgetItem("0"));
        other->setItem(1, 1, new QTableWidgetItem("三百"));
        dialog.tryAccept(); // the fee in words is refused, named with its table
        boxes << w.lastBox();
        other->item(1, 1)->setText("330");
        dialog.findChild<QComboBox*>("cmb手数料計算方式")->setCurrentIndex(1);
        dialog.findChild<QComboBox*>("cmb手数料負担既定")->setCurrentIndex(1);
        dialog.tryAccept();
        return dialog.result() == QDialog::Accepted;
    };
    w.presenter.clear();
    w.click("cmd振込手数料");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains("他行: 手数料「三百」 は円の整数で入力してください")) << boxes[0].toStdString();
    const banking::FeeSettings stored = banking::FeeSettingsStore(w.mainDb()).read();
    EXPECT_EQ(stored.table.of(banking::FeeDestination::OtherBank), (banking::FeeBands{{0, 330}, {30000, 550}}));
    EXPECT_TRUE(stored.table.of(banking::FeeDestination::SameBank).empty());
    EXPECT_EQ(stored.method, banking::FeeMethod::AddLowerFee);
    EXPECT_EQ(stored.defaultBearer, banking::FeeBearer::Payee);
    EXPECT_EQ(w.find<QLabel>("lbl振込手数料")->toolTip(), "手数料：未満手数料加算型・先方負担\n同行同店 未設定\n同行他店 未設定\n他行 2段");

    // The payee's bearer is chosen with its account and shown under the payee grid.
    w.showPage(MainWindowHarness::Payees);
    w.click("cmd支払先読込");
    auto* payees = w.window().findChild<payees::PayeePage*>();
    QString shownBearer;
    payees->askAccount = [&](payees::BankDetailsDialog& dialog) {
        auto* bearer = dialog.findChild<QComboBox*>("cmb手数料負担");
        shownBearer = bearer->currentText();
        bearer->setCurrentIndex(1); // 当方負担
        dialog.tryAccept();
        return dialog.result() == QDialog::Accepted;
    };
    const int row = static_cast<int>(w.column("Grid支払先マスタ", 1).indexOf("田中"));
    ASSERT_GE(row, 0);
    w.keyOn("Grid支払先マスタ", row, 1, Qt::Key_Right);
    w.click("cmd支払先口座");
    EXPECT_EQ(shownBearer, "先方負担");
    EXPECT_EQ(banking::PayeeBearers(w.mainDb()).of("田中"), banking::FeeBearer::Payer);
    EXPECT_TRUE(w.find<QLabel>("lbl支払先口座")->text().endsWith("　手数料：当方負担")) << w.find<QLabel>("lbl支払先口座")->text().toStdString();
}

// 振込データ作成 through the real main window: the sender and the payees' details kept by
// their pages, the dialog of the day's lines, the file, and the lines marked paid as one
// step of the sheet's undo.

#include "AccountStore.h"
#include "BankDetailsDialog.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "PayeePage.h"
#include "SchedulePage.h"
#include "SenderDialog.h"
#include "SettingsPage.h"
#include "SmallDisk.h"
#include "SheetColumns.h"
#include "Session.h"
#include "Sql.h"
#include "ReportWindow.h"
#include "TransferDialog.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace schedule;
using banking::AccountType;

namespace {

const QDate kMonth(2027, 3, 1);
const QDate kDay(2027, 3, 25);

banking::PayeeAccount account(const char* payee, const char* holder)
{
    return {QString::fromUtf8(payee),
        {QStringLiteral("0001"), QStringLiteral("ﾐｽﾞﾎ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"), AccountType::Ordinary, QStringLiteral("1234567"),
            QString::fromUtf8(holder)},
        {}};
}

// A book of March 2027 with a sender and two payees' details: on the 10th a line of 田中,
// on the 25th 田中 (100,000, 30,000 paid), 鈴木 without details and 佐藤 (50,000).
void seedBook(TempDataDir& dir)
{
    seed::storeLines(dir, {{QDate(2027, 3, 10), 1, "田中", 1000, 0, -1000}, {kDay, 2, "田中", 100000, 30000, -71000}, {kDay, 3, "鈴木", 8000, 0, -79000},
                              {kDay, 4, "佐藤", 50000, 0, -129000}});
    seed::storePayees(dir, {QStringLiteral("田中"), QStringLiteral("鈴木"), QStringLiteral("佐藤")});
    auto session = store::Session::open(dir.path());
    banking::AccountStore store(session->mainDb());
    store.savePayeeAccount(account("田中", "ﾀﾅｶ ｲﾁﾛｳ"));
    store.savePayeeAccount(account("佐藤", "ｻﾄｳ ﾊﾅｺ"));
    banking::Sender sender;
    sender.code = QStringLiteral("0123456789");
    sender.name = QStringLiteral("ﾄﾊﾞ-ｸ");
    sender.account = account("", "").account;
    sender.account.holder.clear();
    store.saveSender(sender);
}

SchedulePage* schedulePage(MainWindowHarness& w)
{
    return w.window().findChild<SchedulePage*>();
}

} // namespace

TEST(TransferWindow, TheDaysTickedLinesGoToTheFileAndAreMarkedPaidAsOneUndoStep)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    w.window().transferCommand().today = [] { return kMonth; }; // the month's days lie ahead
    w.grid()->setCurrentCell(3, kCol支払先名); // 佐藤 on the 25th
    const QString figuresBefore = w.figures();

    QStringList seen;
    w.window().transferCommand().askChoice = [&](banking::TransferDialog& dialog) -> std::optional<banking::TransferChoice> {
        seen << dialog.day().toString(Qt::ISODate);
        for (const auto& line : dialog.plan().ready)
            seen << QStringLiteral("ready %1 %2").arg(line.details->payee).arg(line.yen);
        for (const auto& line : dialog.plan().apart)
            seen << QStringLiteral("apart %1 %2").arg(line.payee, line.reason);
        seen << dialog.findChild<QLabel*>(QStringLiteral("lbl振込合計"))->text();
        dialog.setDay(QDate(2027, 3, 10));
        seen << QStringLiteral("10th: %1 ready").arg(dialog.plan().ready.size());
        dialog.setDay(kDay);
        dialog.setTicked(1, false); // 佐藤 stays unpaid
        seen << dialog.findChild<QLabel*>(QStringLiteral("lbl振込合計"))->text();
        return banking::TransferChoice{dialog.day(), dialog.chosen()};
    };
    w.window().transferCommand().askPath = [&](const QString& suggested, QWidget*) {
        seen << QFileInfo(suggested).fileName();
        return dir.filePath(QStringLiteral("振込"));
    };
    w.presenter.clear();
    w.presenter.pushAnswer(true); // mark paid
    w.click("cmd振込データ");

    EXPECT_EQ(seen,
        QStringList({"2027-03-25", "ready 田中 70000", "ready 佐藤 50000", "apart 鈴木 支払先の口座が登録されていません", "振込 2 件　合計 120,000 円", "10th: 1 ready",
            "振込 1 件　合計 70,000 円", "振込_20270325.txt"}));
    ASSERT_EQ(w.presenter.shown().size(), 2u) << w.lastBox().toStdString();
    EXPECT_EQ(w.presenter.shown()[0].title, "振込データ作成");
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("件数: 1 件\n合計: 70,000 円")) << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(w.presenter.shown()[1].text, messages::findMessage(messages::MsgId::登録_支払済確認, "1").text);

    const QByteArray bytes = TempDataDir::readAll(dir.filePath(QStringLiteral("振込.txt")));
    ASSERT_EQ(bytes.size(), 4 * 122);
    EXPECT_EQ(bytes.mid(0, 14), QByteArray("12100123456789"));
    EXPECT_EQ(bytes.mid(54, 4), QByteArray("0325"));
    EXPECT_EQ(bytes.mid(122 + 80, 10), QByteArray("0000070000"));
    EXPECT_EQ(bytes.mid(2 * 122, 19), QByteArray("8000001000000070000"));

    // 田中's line is paid; the balances and totals follow; the sheet is not registered yet.
    EXPECT_EQ(w.cell(1, kCol支払額), "100,000");
    EXPECT_EQ(w.cell(3, kCol支払額), "");
    EXPECT_NE(w.figures(), figuresBefore);
    EXPECT_TRUE(w.window().windowTitle().startsWith("* "));
    EXPECT_EQ(schedulePage(w)->sheetHistory()->undoText(), "支払済");

    ASSERT_TRUE(schedulePage(w)->undoSheet());
    EXPECT_EQ(w.cell(1, kCol支払額), "30,000");
    EXPECT_EQ(w.figures(), figuresBefore);
    ASSERT_TRUE(schedulePage(w)->redoSheet());
    EXPECT_EQ(w.cell(1, kCol支払額), "100,000");

    w.click("cmd登録", true);
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT 支払額 FROM 支払予定表 WHERE 行番号 = 2"), seed::yen(100000));
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT 支払額 FROM 支払予定表 WHERE 行番号 = 4"), seed::yen(0));
}

TEST(TransferWindow, OnAFullDiskTheFileIsToldAsNotMadeKeptAsItWasAndNoLineIsMarkedPaid)
{
    SmallDisk disk(64);
    if (!disk.available())
        GTEST_SKIP() << "no permission to mount a small file system";
    const QString path = disk.filePath(QStringLiteral("振込.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the file of last week");
    }
    disk.fill();
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    w.window().transferCommand().today = [] { return kMonth; }; // the month's days lie ahead
    w.grid()->setCurrentCell(1, kCol支払先名);
    const QString figuresBefore = w.figures();
    w.window().transferCommand().askChoice = [](banking::TransferDialog& dialog) { return banking::TransferChoice{dialog.day(), dialog.chosen()}; };
    w.window().transferCommand().askPath = [&](const QString&, QWidget*) { return path; };

    // Every question would be answered yes: marking the lines paid included.
    w.click("cmd振込データ", true);
    ASSERT_EQ(w.presenter.shown().size(), 1u) << w.lastBox().toStdString();
    EXPECT_EQ(w.lastBox(), "出力の失敗: " + messages::findMessage(messages::MsgId::その他_出力失敗, QDir::toNativeSeparators(path)).text);
    EXPECT_EQ(TempDataDir::readAll(path), "the file of last week");
    EXPECT_EQ(disk.entries(), (QStringList{"filler", "振込.txt"})) << "no half-made file is left";
    EXPECT_EQ(w.cell(1, kCol支払額), "30,000");
    EXPECT_EQ(w.cell(3, kCol支払額), "");
    EXPECT_EQ(w.figures(), figuresBefore);
    EXPECT_FALSE(w.window().windowTitle().startsWith("* "));
    EXPECT_EQ(schedulePage(w)->sheetHistory()->count(), 0);
    EXPECT_TRUE(w.window().findChildren<report::ReportWindow*>().isEmpty()) << "no list of a file not made";

    // With room on the disk the same command makes the file and marks the lines paid.
    ASSERT_TRUE(QFile::remove(disk.filePath(QStringLiteral("filler"))));
    w.click("cmd振込データ", true);
    EXPECT_EQ(TempDataDir::readAll(path).size(), 5 * 122);
    EXPECT_EQ(w.cell(1, kCol支払額), "100,000");
    EXPECT_EQ(schedulePage(w)->sheetHistory()->undoText(), "支払済");
}

TEST(TransferWindow, NoSenderNoFileCancelAndNoMarkingChangeNothingAndTheKeyOpensTheCommand)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    w.window().transferCommand().today = [] { return kMonth; }; // the month's days lie ahead
    ASSERT_TRUE(w.show());
    int asked = 0;
    w.window().transferCommand().askChoice = [&](banking::TransferDialog& dialog) -> std::optional<banking::TransferChoice> {
        ++asked;
        if (asked == 1)
            return std::nullopt; // キャンセル
        return banking::TransferChoice{dialog.day(), dialog.chosen()};
    };
    w.window().transferCommand().askPath = [](const QString&, QWidget*) { return QString(); };

    // Ctrl+Shift+T on the month page; the dialog opens on the first day with a transfer.
    w.grid()->setFocus();
    w.grid()->setCurrentCell(0, kCol予定額);
    w.presenter.clear();
    QTest::keyClick(w.grid(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::qWait(250); // a shortcut presses its button after the button's pressed look
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(w.presenter.shown().empty());
    // No file chosen: nothing written, nothing marked.
    w.click("cmd振込データ");
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(w.presenter.shown().empty());
    EXPECT_FALSE(w.window().windowTitle().startsWith("* "));

    store::exec(w.mainDb(), "DELETE FROM 振込依頼人");
    w.click("cmd振込データ", true);
    EXPECT_EQ(asked, 2) << "without a sender the dialog does not open";
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::その他_依頼人未設定, messages::findMessage(messages::MsgId::入力_依頼人なし, "").text).text);
}

TEST(TransferWindow, ThePayeesDetailsAreTypedInKanaStoredConvertedAndRemovedFromTheDialog)
{
    TempDataDir dir;
    seed::storePayees(dir, {"山田商店"});
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::Payees);
    w.click("cmd支払先読込");
    auto* page = w.window().findChild<payees::PayeePage*>();
    auto* grid = w.find<QTableView>("Grid支払先マスタ");

    QStringList boxes;
    int runs = 0;
    page->askAccount = [&](payees::BankDetailsDialog& dialog) {
        ++runs;
        const auto set = [&](const char* name, const char* text) { dialog.findChild<QLineEdit*>(QString::fromUtf8(name))->setText(QString::fromUtf8(text)); };
        if (runs == 1) {
            set("txt銀行番号", "０００５");
            set("txt銀行名", "みつびしゆーえふじぇい");
            set("txt支店番号", "001");
            set("txt支店名", "渋谷");
            set("txt口座番号", "98765");
            set("txt口座名義", "やまだ しょうてん");
            set("txt顧客コード", "42");
            dialog.tryAccept(); // 渋谷 is refused, named with its field
            boxes << w.lastBox();
            set("txt支店名", "しぶや");
            dialog.tryAccept();
        } else {
            boxes << dialog.findChild<QLineEdit*>(QStringLiteral("txt口座名義"))->text();
            dialog.removeDetails();
        }
        return dialog.result() == QDialog::Accepted;
    };

    w.presenter.clear();
    w.keyOn("Grid支払先マスタ", 0, 1, Qt::Key_Right);
    w.click("cmd支払先口座");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains("支店名: 「渋谷」は銀行振込に使えない文字です")) << boxes[0].toStdString();
    const auto stored = banking::AccountStore(w.mainDb()).payeeAccount("山田商店");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->account.bankCode, "0005");
    EXPECT_EQ(stored->account.bankName, "ﾐﾂﾋﾞｼﾕ-ｴﾌｼﾞｴｲ");
    EXPECT_EQ(stored->account.branchName, "ｼﾌﾞﾔ");
    EXPECT_EQ(stored->account.holder, "ﾔﾏﾀﾞ ｼﾖｳﾃﾝ");
    EXPECT_EQ(stored->customerCode, "42");

    // A double-click on the line's number opens the stored details; 削除 removes them.
    QHeaderView* numbers = grid->verticalHeader();
    QTest::mouseDClick(numbers->viewport(), Qt::LeftButton, {}, QPoint(numbers->width() / 2, numbers->sectionViewportPosition(0) + 3));
    ASSERT_EQ(runs, 2);
    EXPECT_EQ(boxes[1], "ﾔﾏﾀﾞ ｼﾖｳﾃﾝ");
    EXPECT_FALSE(banking::AccountStore(w.mainDb()).payeeAccount("山田商店"));

    // The line for a new name has no payee yet.
    w.presenter.clear();
    w.keyOn("Grid支払先マスタ", 1, 1, Qt::Key_Right);
    w.click("cmd支払先口座");
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(w.lastBox(), "支払先の指定: " + messages::findMessage(messages::MsgId::登録_口座支払先なし, "").text);
}

TEST(TransferWindow, TheSenderIsRegisteredConvertedRefusedWhenIncompleteAndGoesWithItsDeleteAndAllDelete)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.start());
    w.showPage(MainWindowHarness::Settings);
    EXPECT_TRUE(w.find<QLabel>("lbl振込依頼人")->text().startsWith("ﾄﾊﾞ-ｸ\n0001 ﾐｽﾞﾎ 001 ﾎﾝﾃﾝ")) << "the stored sender is shown";
    auto* page = w.window().findChild<settings::SettingsPage*>();

    QStringList seen;
    int runs = 0;
    page->askSender = [&](settings::SenderDialog& dialog) {
        ++runs;
        const auto set = [&](const char* name, const char* text) { dialog.findChild<QLineEdit*>(QString::fromUtf8(name))->setText(QString::fromUtf8(text)); };
        seen << dialog.findChild<QLineEdit*>("txt依頼人名")->text();
        if (runs == 1) {
            set("txt依頼人コード", "123");
            set("txt仕向支店名", "本店");
            dialog.tryAccept();
            seen << w.lastBox();
            set("txt依頼人コード", "１２３４５６７８９０");
            set("txt依頼人名", "かぶしきがいしゃ　とばーく");
            set("txt仕向支店名", "ほんてん");
            dialog.findChild<QCheckBox*>("chk改行なし")->setChecked(true);
            dialog.tryAccept();
        } else {
            dialog.removeSender();
        }
        return dialog.result() == QDialog::Accepted;
    };
    w.presenter.clear();
    w.click("cmd振込依頼人");
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], "ﾄﾊﾞ-ｸ") << "the dialog opens on the stored sender";
    EXPECT_EQ(seen[1], "入力項目のチェック: " +
            messages::findMessage(messages::MsgId::登録_依頼人不備, "依頼人コード: 10 桁の数字で入力してください\n支店名: 「本店」は銀行振込に使えない文字です").text);
    auto sender = banking::AccountStore(w.mainDb()).sender();
    ASSERT_TRUE(sender);
    EXPECT_EQ(sender->code, "1234567890");
    EXPECT_EQ(sender->name, "ｶﾌﾞｼｷｶﾞｲｼﾔ ﾄﾊﾞ-ｸ");
    EXPECT_EQ(sender->account.branchName, "ﾎﾝﾃﾝ");
    EXPECT_TRUE(sender->noLineEnds);
    EXPECT_TRUE(w.find<QLabel>("lbl振込依頼人")->text().startsWith("ｶﾌﾞｼｷｶﾞｲｼﾔ ﾄﾊﾞ-ｸ\n"));

    w.click("cmd振込依頼人");
    EXPECT_FALSE(banking::AccountStore(w.mainDb()).sender());
    EXPECT_EQ(w.find<QLabel>("lbl振込依頼人")->text(), "未登録");

    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT COUNT(*) FROM 支払先口座").toInt(), 2);
    w.click("cmd一括削除7", true);
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT COUNT(*) FROM 支払先口座").toInt(), 0);
}

#include "MainWindowHarness.h"

#include "GridView.h"
#include "Msg.h"
#include "Sql.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

using messages::BoxKind;
using messages::findMessage;

namespace {

constexpr int kTick = 0;
constexpr int kName = 1;

// The payee page of a main window started on a master holding `names`.
struct PayeePage : MainWindowHarness {
    explicit PayeePage(const QStringList& names, const char* extraSql = nullptr)
    {
        seed::storePayees(dir(), names);
        if (!start())
            return;
        if (extraSql)
            store::exec(mainDb(), QString::fromUtf8(extraSql));
        show();
        showPage(Payees);
    }
    QStringList shown() { return column("Grid支払先マスタ", kName); }
    void typeName(int row, const QString& text, Qt::Key end = Qt::Key_Return) { typeInto("Grid支払先マスタ", row, kName, text, end); }
    void tick(int row) { keyOn("Grid支払先マスタ", row, kTick, Qt::Key_Space); }
};

QString text(messages::MsgId id, const char* target)
{
    return findMessage(id, QString::fromUtf8(target)).text;
}

} // namespace

TEST(PayeeWindow, StartsEmptyLoadsSortedAndRegistersThePageAsItStands)
{
    PayeePage w({"山田商店", "Acme", "O'Neil", "zone"});
    ASSERT_TRUE(w.outcome().window);
    EXPECT_EQ(w.shown(), QStringList({""})) << "only the line for a new name";

    w.click("cmd支払先読込");
    EXPECT_EQ(w.shown(), QStringList({"Acme", "O'Neil", "zone", "山田商店", ""}));
    // A rename, a row removed with Delete, a new name, and one still in its editor.
    w.typeName(0, "エース");
    w.keyOn("Grid支払先マスタ", 2, kName, Qt::Key_Delete);
    w.typeName(3, "新規 支払先");
    w.typeName(4, "入力中", Qt::Key_unknown);
    w.click("cmd支払先登録", true);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, text(messages::MsgId::登録_確認, "支払先"));
    EXPECT_EQ(w.storedPayees(), QStringList({"エース", "O'Neil", "山田商店", "新規 支払先", "入力中"}));

    w.click("cmd支払先クリア", true);
    EXPECT_EQ(w.storedPayees().size(), 5) << "クリア leaves the master";
    EXPECT_EQ(w.shown(), QStringList({""}));
    w.click("cmd支払先登録", true);
    EXPECT_TRUE(w.storedPayees().isEmpty()) << "an empty page empties the master";
}

TEST(PayeeWindow, NoToAnyQuestionChangesNothing)
{
    PayeePage w({"b", "a"});
    ASSERT_TRUE(w.outcome().window);
    w.click("cmd支払先読込");
    w.tick(0);
    w.typeName(1, "edited");
    w.click("cmd支払先登録", false);
    w.click("cmd支払先行削除", false);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, text(messages::MsgId::削除_指定確認, "支払先"));
    EXPECT_EQ(w.presenter.shown()[0].kind, BoxKind::AskDefaultNo);
    w.click("cmd支払先削除", false);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "すべての支払先を削除します。よろしいですか");
    EXPECT_EQ(w.presenter.shown()[0].kind, BoxKind::AskDefaultNo) << "Enter never empties the master";
    EXPECT_EQ(w.storedPayees(), QStringList({"b", "a"}));
    EXPECT_EQ(w.shown(), QStringList({"a", "edited", ""}));
}

TEST(PayeeWindow, TickedDeleteRemovesEveryOccurrenceAndDeleteEmptiesMasterAndPage)
{
    PayeePage w({"O'Brien", "keep", "O'Brien", "o'brien"});
    ASSERT_TRUE(w.outcome().window);
    w.click("cmd支払先読込");
    // Japanese order: letters whatever their case, then small before capital.
    ASSERT_EQ(w.shown(), QStringList({"keep", "o'brien", "O'Brien", "O'Brien", ""}));
    w.click("cmd支払先行削除", true);
    EXPECT_EQ(w.storedPayees().size(), 4) << "nothing ticked";

    // The tick is still in the line being edited when the command runs; the rename stays
    // on the page without reaching the master.
    w.typeName(0, "keep renamed");
    w.tick(2);
    w.click("cmd支払先行削除", true);
    EXPECT_EQ(w.storedPayees(), QStringList({"keep", "o'brien"}));
    EXPECT_EQ(w.shown(), QStringList({"keep renamed", "o'brien", "O'Brien", ""}));

    w.click("cmd支払先削除", true);
    EXPECT_TRUE(w.storedPayees().isEmpty());
    EXPECT_EQ(w.shown(), QStringList({""}));
}

TEST(PayeeWindow, FailedRegistrationIsReportedAndLeavesMasterAndPageAsTheyWere)
{
    PayeePage w({"one", "two"}, "CREATE TRIGGER refuse BEFORE INSERT ON 支払先マスタ WHEN NEW.支払先名 = '拒否' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    ASSERT_TRUE(w.outcome().window);
    w.click("cmd支払先読込");
    w.typeName(2, "拒否");
    w.click("cmd支払先登録", true);
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].title, findMessage(messages::MsgId::登録_失敗, "支払先").title);
    EXPECT_EQ(w.presenter.shown()[1].text, text(messages::MsgId::登録_失敗, "支払先"));
    EXPECT_EQ(w.storedPayees(), QStringList({"one", "two"}));
    EXPECT_EQ(w.shown(), QStringList({"one", "two", "拒否", ""}));

    // Nothing was left half done: once the file accepts the name, registering works.
    store::exec(w.mainDb(), "DROP TRIGGER refuse");
    w.click("cmd支払先登録", true);
    EXPECT_EQ(w.storedPayees(), QStringList({"one", "two", "拒否"}));
}

TEST(PayeeWindow, CtrlVOnACellPastesTheNamesWithoutOpeningItAndNamesTheRefusedOnes)
{
    PayeePage w({"Acme", "zone"});
    ASSERT_TRUE(w.outcome().window);
    w.click("cmd支払先読込");
    auto* grid = w.find<GridView>("Grid支払先マスタ");
    ASSERT_TRUE(grid);

    // A column of names from a spreadsheet onto the second line: it replaces that name and
    // the lines after the last one are new; the refused value is named, the others go in.
    QGuiApplication::clipboard()->setText("北海商事\r\n 東京電力 \r\n" + QString(101, QChar(u'長')) + "\r\n最後\r\n");
    grid->setCurrentCell(1, kName);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(w.shown(), QStringList({"Acme", "北海商事", "東京電力", "最後", ""}));
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "貼り付けの注意");
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("4 行目 支払先名「" + QString(40, QChar(u'長')) + "…」 支払先名にできません"))
        << w.presenter.shown()[0].text.toStdString();

    // The page's copy holds them, as typed names: 登録 stores them.
    w.click("cmd支払先登録", true);
    EXPECT_EQ(w.storedPayees(), QStringList({"Acme", "北海商事", "東京電力", "最後"}));
}

TEST(PayeeWindow, CtrlZAndCtrlYWalkThePageEditsAndADeletedPayeeComesBackWithItsBankDetails)
{
    PayeePage w({"A社", "B社"}, "INSERT INTO 支払先口座 (支払先名, 銀行番号, 口座番号) VALUES ('B社', '0001', '1234567')");
    ASSERT_TRUE(w.outcome().window);
    auto* undo = w.window().findChild<QAction*>("act元に戻す");
    auto* redo = w.window().findChild<QAction*>("actやり直し");
    ASSERT_TRUE(undo && redo);
    w.click("cmd支払先読込");
    EXPECT_FALSE(redo->isEnabled());
    w.typeName(0, "エース");
    w.tick(1);
    w.click("cmd支払先行削除", true);
    ASSERT_EQ(w.storedPayees(), QStringList({"A社"}));
    const auto accounts = [&] { return store::scalar(w.mainDb(), "SELECT count(*) FROM 支払先口座 WHERE 支払先名 = 'B社'").toInt(); };
    EXPECT_EQ(accounts(), 0);

    // Ctrl+Z on the grid undoes the page's last step: the deletion, details included.
    auto* grid = w.find<GridView>("Grid支払先マスタ");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.storedPayees(), QStringList({"A社", "B社"}));
    EXPECT_EQ(accounts(), 1);
    EXPECT_EQ(w.shown(), QStringList({"エース", "B社", ""}));
    EXPECT_TRUE(redo->isEnabled());
    // Then the tick and the rename, one step each.
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.shown(), QStringList({"A社", "B社", ""}));
    EXPECT_EQ(store::scalar(w.workDb(), "SELECT group_concat(支払先名, ',') FROM w支払先マスタ").toString(), "A社,B社");

    // The Edit menu's やり直し (Ctrl+Y) does them again, the deletion last.
    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    redo->trigger();
    EXPECT_EQ(w.storedPayees(), QStringList({"A社", "B社"}));
    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.storedPayees(), QStringList({"A社"}));
    EXPECT_EQ(accounts(), 0);
    EXPECT_EQ(w.shown(), QStringList({"エース", ""}));
    EXPECT_FALSE(redo->isEnabled());

    // On the month sheet the page's steps are not on offer.
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    w.showPage(MainWindowHarness::Schedule);
    EXPECT_FALSE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(w.storedPayees(), QStringList({"A社", "B社"}));
}

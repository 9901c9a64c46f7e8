#include "AmountField.h"
#include "FrmQuorel1.h"
#include "GridView.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

struct EditWindow {
    FrmQuorel1& window;

    GridView* grid() { return window.findChild<GridView*>("GridInp"); }
    store::WorkTableModel& sheet() { return *window.findChild<store::WorkTableModel*>("datInp"); }
    QString cell(int row, int column) { return sheet().data(sheet().index(row, column)).toString(); }
    QString field(const char* name) { return window.findChild<AmountField*>(QString::fromUtf8(name))->text(); }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(QString::fromUtf8(name)); }
    // 繰越額 | 予定額月計 | 支払額月計 | 累計 as shown.
    QString figures() { return QStringList{field("num繰越額"), field("num予定額月計"), field("num支払額月計"), field("num累計")}.join(" | "); }
    // Payee and balance of the first lines, as shown.
    QString lines(int count)
    {
        QStringList shown;
        for (int row = 0; row < count; ++row)
            shown << cell(row, 2) + " " + cell(row, 4) + " " + cell(row, 7);
        return shown.join(" / ");
    }
    // Types into a cell; Japanese goes as key events carrying the text.
    void type(int row, int column, const QString& text)
    {
        grid()->setFocus();
        grid()->setCurrentCell(row, column);
        for (QChar c : text) {
            QWidget* target = QApplication::focusWidget();
            if (c.unicode() < 0x80)
                QTest::keyClick(target, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
};

QString stored(const QString& mainPath)
{
    SQLite::Database main(mainPath.toStdString(), SQLite::OPEN_READONLY);
    return store::scalar(main, "SELECT group_concat(line, ' / ') FROM (SELECT substr(日付, 6) || ' ' || 行番号 || ' ' || 支払先名 || ' ' || (予定額 / 10000) || ' ' || "
                               "(支払額 / 10000) || ' ' || (残高 / 10000) AS line FROM 支払予定表 ORDER BY 日付, 行番号)")
        .toString();
}

} // namespace

TEST(EditWindow, TheRoadOfOneEditFromTypedLinesToStoredBalancesAndBack)
{
    TempDataDir dir;
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        store::exec(main, "INSERT INTO 支払予定表 VALUES ('2005-02-20', 1, '二月', 50000000, 0, 50000000), ('2005-04-10', 1, '四月', 0, 10000000, 10000), "
                          "('2005-05-01', 1, '五月', 2000000, 0, 10000)");
    }
    ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    EditWindow w{*started.window};
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.window.findChild<YearMonthEdit*>("Dt年月")->setFromText("20050301");
    w.button("cmd読込")->click();
    EXPECT_EQ(w.figures(), "5,000 |  |  | 1");

    // A day, a Japanese payee and amounts: totals and balances follow each amount at once.
    w.type(0, 2, "5");
    w.type(0, 4, "山田商店");
    w.type(0, 5, "10,000");
    EXPECT_EQ(w.lines(1), "5 山田商店 15,000");
    EXPECT_EQ(w.figures(), "5,000 | 10,000 |  | 1");
    w.type(0, 6, "3000");
    w.type(1, 2, "31");
    w.type(1, 4, "O'Brien");
    w.type(1, 6, "２，０００");
    EXPECT_EQ(w.lines(2), "5 山田商店 12,000 / 31 O'Brien 10,000");
    EXPECT_EQ(w.figures(), "5,000 | 10,000 | 5,000 | 1");
    EXPECT_TRUE(presenter.shown().empty());

    // Register with Yes: the lines are stored and every later month's balances follow.
    w.button("cmd登録")->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].title, "登録の確認");
    EXPECT_EQ(stored(dir.mainPath()), "02-20 1 二月 5000 0 5000 / 03-05 1 山田商店 10000 3000 12000 / 03-31 2 O'Brien 0 2000 10000 / "
                                      "04-10 1 四月 0 1000 9000 / 05-01 1 五月 200 0 9200");
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READONLY);
        EXPECT_EQ(store::scalar(main, "SELECT group_concat(支払先名, ',') FROM 支払先マスタ").toString(), "山田商店,O'Brien");
    }
    w.button("cmd読込")->click();
    EXPECT_EQ(w.lines(3), "05 山田商店 12,000 / 31 O'Brien 10,000 /   ");
    EXPECT_EQ(w.figures(), "5,000 | 10,000 | 5,000 | 9,200");

    // Deleting the first line (asked, default No) repairs the later months at once.
    presenter.clear();
    w.grid()->setCurrentCell(0, 4);
    w.button("cmd行削除")->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "指定された行 を削除します。よろしいですか");
    EXPECT_EQ(presenter.shown()[0].kind, messages::BoxKind::AskDefaultNo);
    EXPECT_EQ(w.lines(1), "31 O'Brien 3,000");
    EXPECT_EQ(w.figures(), "5,000 |  | 2,000 | 2,200");
    EXPECT_EQ(stored(dir.mainPath()), "02-20 1 二月 5000 0 5000 / 03-31 2 O'Brien 0 2000 3000 / 04-10 1 四月 0 1000 2000 / 05-01 1 五月 200 0 2200");

    // A blank line above, then the line 200 guard.
    w.grid()->setCurrentCell(0, 2);
    w.button("cmd行挿入")->click();
    EXPECT_EQ(w.lines(2), "   / 31 O'Brien 3,000");
    EXPECT_EQ(w.sheet().rowCount(), 200);
    w.sheet().setValue(199, 5, QVariant(qlonglong(10000)));
    w.sheet().commit();
    presenter.clear();
    w.button("cmd行挿入")->click();
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, "行挿入する余白はありません。");
    EXPECT_EQ(w.cell(1, 4), "O'Brien");

    // Delete everything (No does nothing), then register the month still shown.
    presenter.clear();
    presenter.pushAnswer(false);
    w.button("cmd一括削除7")->click();
    EXPECT_FALSE(stored(dir.mainPath()).isEmpty());
    presenter.pushAnswer(true);
    w.button("cmd一括削除7")->click();
    EXPECT_EQ(stored(dir.mainPath()), "");
    EXPECT_EQ(presenter.shown().back().text, "すべてのデータを削除します。よろしいですか");
    w.button("cmd登録")->click();
    EXPECT_EQ(stored(dir.mainPath()), "03-31 2 O'Brien 0 2000 3000");
    w.window.close();
}

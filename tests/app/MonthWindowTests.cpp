#include "AmountField.h"
#include "FrmQuorel1.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

void storeLine(SQLite::Database& main, const QDate& date, int lineNumber, const QString& payee, qint64 scheduled, qint64 paid, qint64 balance)
{
    store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)",
        {date.toString("yyyy-MM-dd"), lineNumber, payee, scheduled * 10000, paid * 10000, balance * 10000});
}

struct MonthWindow {
    FrmQuorel1& window;

    QTableView* grid() { return window.findChild<QTableView*>("GridInp"); }
    YearMonthEdit* month() { return window.findChild<YearMonthEdit*>("Dt年月"); }
    QString field(const char* name) { return window.findChild<AmountField*>(QString::fromUtf8(name))->text(); }
    QString cell(int row, int column) { return grid()->model()->index(row, column).data().toString(); }
    void click(const char* name) { QTest::mouseClick(window.findChild<QPushButton*>(QString::fromUtf8(name)), Qt::LeftButton); }

    // Payees shown in the grid, top to bottom, up to the first blank line.
    QStringList payees()
    {
        QStringList names;
        for (int row = 0; row < grid()->model()->rowCount() && !cell(row, 4).isEmpty(); ++row)
            names << cell(row, 4);
        return names;
    }
    // 繰越額 | 予定額月計 | 支払額月計 | 累計 as shown.
    std::string figures()
    {
        return QStringList{field("num繰越額"), field("num予定額月計"), field("num支払額月計"), field("num累計")}.join(" | ").toStdString();
    }
};

} // namespace

TEST(MonthWindow, StepButtonsAndATypedYearMonthLoadTheSheetTheFiguresAndTheGrid)
{
    TempDataDir dir;
    const QDate thisMonth = QDate::currentDate().addDays(1 - QDate::currentDate().day());
    const QDate nextMonth = thisMonth.addMonths(1);
    const QDate lastMonth = thisMonth.addMonths(-1);
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        storeLine(main, QDate(2005, 2, 28), 3, "二月末", 0, 0, 500);
        storeLine(main, QDate(2005, 3, 5), 1, "O'Brien", 1000, 0, 1500);
        storeLine(main, QDate(2005, 3, 31), 2, "月末払い", 0, 300, 1200);
        storeLine(main, lastMonth.addDays(4), 1, "先月", 20000, 0, 20000);
        storeLine(main, thisMonth.addDays(9), 2, "今月 二", 0, 5000, 40000);
        storeLine(main, thisMonth.addDays(9), 1, "今月 一", 25000, 0, 45000);
        storeLine(main, nextMonth.addDays(27), 1, "来月", 1234567, 0, 1274567);
        storeLine(main, QDate(2090, 1, 1), 1, "ずっと先", 0, 0, 999999);
    }
    ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    MonthWindow w{*started.window};
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.window));

    // Start-up shows the current month.
    EXPECT_EQ(w.month()->date().year(), thisMonth.year());
    EXPECT_EQ(w.month()->date().month(), thisMonth.month());
    EXPECT_EQ(w.payees(), (QStringList{"今月 一", "今月 二"}));
    EXPECT_EQ(QStringList({w.cell(0, 2), w.cell(0, 5), w.cell(1, 6), w.cell(1, 7)}).join(' '), "10 25,000 5,000 40,000");
    EXPECT_EQ(w.figures(), "20,000 | 25,000 | 5,000 | 999,999");

    w.click("cmdMonNext");
    EXPECT_EQ(w.month()->date().month(), nextMonth.month());
    EXPECT_EQ(w.payees(), QStringList{"来月"});
    EXPECT_EQ(w.cell(0, 2), "28");
    EXPECT_EQ(w.figures(), "40,000 | 1,234,567 |  | 999,999");

    w.click("cmdMonBef");
    w.click("cmdMonBef");
    EXPECT_EQ(w.month()->date().month(), lastMonth.month());
    EXPECT_EQ(w.payees(), QStringList{"先月"});
    EXPECT_EQ(w.figures(), "1,200 | 20,000 |  | 999,999");

    // Typing a year-month and pressing Enter moves the focus on and loads that month.
    w.month()->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.month()->selectAll();
    QTest::keyClicks(w.month(), "2005/03");
    QTest::keyClick(w.month(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(w.month()->hasFocus());
    EXPECT_EQ(w.month()->text(), "2005年03月");
    EXPECT_EQ(w.payees(), (QStringList{"O'Brien", "月末払い"}));
    EXPECT_EQ(QStringList({w.cell(0, 2), w.cell(1, 2), w.cell(1, 7)}).join(' '), "05 31 1,200");
    EXPECT_EQ(w.figures(), "500 | 1,000 | 300 | 999,999");

    // Steps keep the day, or take the month's last day and keep that: 03/31 back is 02/28,
    // forward again 03/28; December forward is January of the next year.
    ASSERT_TRUE(w.month()->setFromText("20050331"));
    w.click("cmdMonBef");
    EXPECT_EQ(w.month()->date(), QDate(2005, 2, 28));
    EXPECT_EQ(w.payees(), QStringList{"二月末"});
    w.click("cmdMonNext");
    EXPECT_EQ(w.month()->date(), QDate(2005, 3, 28));
    ASSERT_TRUE(w.month()->setFromText("20051215"));
    w.click("cmdMonNext");
    EXPECT_EQ(w.month()->date(), QDate(2006, 1, 15));
    w.click("cmdMonBef");
    EXPECT_EQ(w.month()->date(), QDate(2005, 12, 15));
    EXPECT_TRUE(presenter.shown().empty());

    // Once the window has closed its files, late clicks find nothing to load.
    w.window.close();
    for (const char* button : {"cmdMonNext", "cmd読込", "cmd履歴クリア"})
        w.window.findChild<QPushButton*>(QString::fromUtf8(button))->click();
    EXPECT_FALSE(w.window.session().isOpen());
}

#include "MainWindowHarness.h"

#include "MainWindow.h"
#include "GridEditing.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace schedule;
using seed::StoredLine;

namespace {

// Payees shown in the grid, top to bottom, up to the first line without one.
QStringList payeesShown(MainWindowHarness& w)
{
    QStringList names;
    for (int row = 0; row < kSheetLines && !w.cell(row, kCol支払先名).isEmpty(); ++row)
        names << w.cell(row, kCol支払先名);
    return names;
}

} // namespace

TEST(MonthWindow, StartUpShowsThisMonthAndTheStepButtonsAndATypedYearMonthLoadOthers)
{
    const QDate thisMonth = QDate::currentDate().addDays(1 - QDate::currentDate().day());
    const QDate nextMonth = thisMonth.addMonths(1);
    const QDate lastMonth = thisMonth.addMonths(-1);
    MainWindowHarness w;
    seed::storeLines(w.dir(), {
        StoredLine{QDate(2005, 2, 28), 3, "二月末", 0, 0, 500},
        StoredLine{QDate(2005, 3, 5), 1, "O'Brien", 1000, 0, 1500},
        StoredLine{QDate(2005, 3, 31), 2, "月末払い", 0, 300, 1200},
        StoredLine{lastMonth.addDays(4), 1, "先月", 20000, 0, 20000},
        StoredLine{thisMonth.addDays(9), 2, "今月 二", 0, 5000, 40000},
        StoredLine{thisMonth.addDays(9), 1, "今月 一", 25000, 0, 45000},
        StoredLine{nextMonth.addDays(27), 1, "来月", 1234567, 0, 1274567},
        StoredLine{QDate(2090, 1, 1), 1, "ずっと先", 0, 0, 999999},
    });
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());

    // Start-up shows the current month in line-number order, with its figures.
    EXPECT_EQ(w.yearMonth()->date().year(), thisMonth.year());
    EXPECT_EQ(w.yearMonth()->date().month(), thisMonth.month());
    EXPECT_EQ(payeesShown(w), (QStringList{"今月 一", "今月 二"}));
    EXPECT_EQ(QStringList({w.cell(0, kCol表示日付), w.cell(0, kCol予定額), w.cell(1, kCol支払額), w.cell(1, kCol残高)}).join(' '), "10 25,000 5,000 40,000");
    EXPECT_EQ(w.figures(), "20,000 | 25,000 | 5,000 | 999,999");

    w.click("cmdMonNext");
    EXPECT_EQ(w.yearMonth()->date().month(), nextMonth.month());
    EXPECT_EQ(payeesShown(w), QStringList{"来月"});
    EXPECT_EQ(w.figures(), "40,000 | 1,234,567 |  | 999,999");
    w.click("cmdMonBef");
    w.click("cmdMonBef");
    EXPECT_EQ(w.yearMonth()->date().month(), lastMonth.month());
    EXPECT_EQ(payeesShown(w), QStringList{"先月"});
    EXPECT_EQ(w.figures(), "1,200 | 20,000 |  | 999,999");

    // Typing a year-month and pressing Enter moves the focus on and loads that month.
    w.yearMonth()->setFocus();
    w.yearMonth()->selectAll();
    QTest::keyClicks(w.yearMonth(), "2005/03");
    QTest::keyClick(w.yearMonth(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(w.yearMonth()->hasFocus());
    EXPECT_EQ(w.yearMonth()->text(), "2005年03月");
    EXPECT_EQ(payeesShown(w), (QStringList{"O'Brien", "月末払い"}));
    EXPECT_EQ(w.figures(), "500 | 1,000 | 300 | 999,999");

    // The step buttons take the calendar's month step: 03/31 back is 02/28.
    ASSERT_TRUE(w.yearMonth()->setFromText("20050331"));
    w.click("cmdMonBef");
    EXPECT_EQ(w.yearMonth()->date(), QDate(2005, 2, 28));
    EXPECT_EQ(payeesShown(w), QStringList{"二月末"});
    EXPECT_TRUE(w.presenter.shown().empty());

    // Once the window has closed its files, late clicks find nothing to load.
    w.close();
    for (const char* button : {"cmdMonNext", "cmd読込", "cmd履歴クリア"})
        w.find<QPushButton>(button)->click();
    EXPECT_FALSE(w.window().session().isOpen());
}

TEST(MonthWindow, ClearShowsTodaysBlankMonthAndReadBringsTheStoredLinesBackWithTheProgressBar)
{
    const QDate today = QDate::currentDate();
    MainWindowHarness w;
    seed::storeLines(w.dir(), {StoredLine{today, 1, "今月", 10, 0, 10}});
    ASSERT_TRUE(w.start());
    auto* bar = w.find<QProgressBar>("Pbar");
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(w.cell(0, kCol支払先名), "今月");
    EXPECT_EQ(w.figures(), " | 10 |  | 10");

    // Clear: today's month, a blank sheet, blank figures, the drop-down refilled; the
    // stored line stays and comes back with the read button, the bar at 10, 30, 90, 100.
    store::exec(w.mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES ('新しい支払先')");
    ASSERT_TRUE(w.yearMonth()->setFromText("20050301"));
    w.click("cmd履歴クリア");
    EXPECT_EQ(w.yearMonth()->date(), today);
    EXPECT_EQ(w.sheet().rowCount(), kSheetLines);
    EXPECT_TRUE(w.sheet().value(0, kCol支払先名).isNull());
    EXPECT_EQ(w.figures(), " |  |  | ");
    auto* names = w.find<WorkTableModel>("dat支払先名");
    ASSERT_EQ(names->rowCount(), 1);
    EXPECT_EQ(names->value(0, 0).toString(), "新しい支払先");

    std::vector<std::pair<int, bool>> seen;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) { seen.emplace_back(value, !bar->isHidden()); });
    w.click("cmd読込");
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{10, true}, {30, true}, {90, true}, {100, true}}));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(w.cell(0, kCol支払先名), "今月");

    // With the field empty neither read nor step touches the sheet.
    ASSERT_TRUE(w.yearMonth()->setFromText(""));
    for (const char* button : {"cmdMonBef", "cmdMonNext", "cmd読込"})
        w.click(button);
    EXPECT_FALSE(w.yearMonth()->date().isValid());
    EXPECT_EQ(w.sheet().value(0, kCol支払先名).toString(), "今月");
    EXPECT_TRUE(w.presenter.shown().empty());
}

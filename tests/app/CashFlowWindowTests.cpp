#include "CashFlowChart.h"
#include "CashFlowModel.h"
#include "MainWindow.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <QChart>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

void storeLine(SQLite::Database& main, const char* date, int lineNumber, const QString& payee, qint64 scheduled, qint64 paid, qint64 balance)
{
    store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)",
        {date, lineNumber, payee, scheduled * 10000, paid * 10000, balance * 10000});
}

} // namespace

TEST(CashFlowWindow, PageShowsTheRangeFromTheShownMonthAndADoubleClickedMonthOpensOnTheSchedulePage)
{
    TempDataDir dir;
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        storeLine(main, "2025-01-10", 1, "家賃", 0, 80000, -80000);
        storeLine(main, "2025-03-05", 1, "東京電力", 100000, 0, 20000);
        storeLine(main, "2025-03-20", 2, "東京ガス", 0, 5000, 15000);
    }
    ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    MainWindow& window = *started.window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* month = window.findChild<YearMonthEdit*>("Dt年月");
    month->setDate(QDate(2025, 1, 20));
    auto* tabs = window.findChild<QTabWidget*>("SSTab1");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(3).trimmed(), QStringLiteral("資金繰り"));

    const QSize size = window.size();
    tabs->setCurrentIndex(3);
    auto* from = window.findChild<YearMonthEdit*>("Dt開始年月");
    ASSERT_NE(from, nullptr);
    EXPECT_EQ(from->date(), QDate(2025, 1, 1)) << "the range starts at the month the schedule page shows";
    EXPECT_EQ(window.findChild<QSpinBox*>("num月数")->value(), 12);
    auto* grid = window.findChild<QTableView*>("Grid資金繰り");
    ASSERT_EQ(grid->model()->rowCount(), 12);
    EXPECT_EQ(grid->model()->index(2, cashflow::CashFlowModel::Closing).data().toString(), QStringLiteral("15,000"));
    EXPECT_EQ(grid->model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), cashflow::negativeColor()) << "January goes below zero";
    EXPECT_EQ(grid->model()->index(2, 0).data(Qt::ForegroundRole).value<QColor>(), cashflow::negativeColor()) << "March starts below zero";
    EXPECT_FALSE(grid->model()->index(3, 0).data(Qt::ForegroundRole).isValid());
    window.findChild<QSpinBox*>("num月数")->setValue(36);
    EXPECT_EQ(grid->model()->rowCount(), 36);
    // The page fits the window as it is, the month under the mouse named or not, and its
    // table shows every column.
    auto* chartView = window.findChild<cashflow::CashFlowChartView*>("Chart資金繰り");
    emit chartView->monthHovered(2);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.findChild<QLabel*>("lbl資金繰り月")->text().isEmpty());
    EXPECT_EQ(window.size(), size);
    EXPECT_GE(grid->viewport()->width(), grid->horizontalHeader()->length());

    // A click on March in the table selects it; a double-click opens March on the schedule page.
    grid->scrollTo(grid->model()->index(2, 0));
    const QPoint march = grid->visualRect(grid->model()->index(2, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, march);
    EXPECT_EQ(tabs->currentIndex(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(2, {}));
    EXPECT_EQ(month->date(), QDate(2025, 1, 20));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, march);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(month->date(), QDate(2025, 3, 1));
    auto* sheet = window.findChild<QTableView*>("GridInp");
    EXPECT_EQ(sheet->model()->index(0, 4).data().toString(), QStringLiteral("東京電力"));
    EXPECT_EQ(sheet->model()->index(1, 4).data().toString(), QStringLiteral("東京ガス"));

    // The range follows the schedule page's month; Enter on a selected month opens it.
    tabs->setCurrentIndex(3);
    EXPECT_EQ(from->date(), QDate(2025, 3, 1));
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    EXPECT_EQ(tabs->currentIndex(), 3);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(month->date(), QDate(2025, 4, 1));

    // In the chart too a click on February selects it and a double-click opens it.
    tabs->setCurrentIndex(3);
    month->setDate(QDate(2025, 1, 1));
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(3);
    auto* chart = window.findChild<cashflow::CashFlowChartView*>("Chart資金繰り");
    ASSERT_NE(chart, nullptr);
    QCoreApplication::processEvents();
    const QPointF inChart = chart->chart()->mapToPosition(QPointF(31 + 14, 0), chart->chart()->series().front());
    const QPoint inView = chart->mapFromScene(chart->chart()->mapToScene(inChart));
    EXPECT_EQ(chart->monthAt(inView), 1);
    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, inView);
    EXPECT_EQ(tabs->currentIndex(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 1);
    QTest::mouseDClick(chart->viewport(), Qt::LeftButton, {}, inView);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(month->date(), QDate(2025, 2, 1));
    EXPECT_EQ(window.size(), size) << "the window keeps its size after the cash-flow page";
    EXPECT_TRUE(presenter.shown().empty());
}

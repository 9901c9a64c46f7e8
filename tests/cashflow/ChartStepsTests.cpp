#include "CashFlowChart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>

#include <gtest/gtest.h>

#include <algorithm>

using ledger::Amount;

namespace {

Amount yen(qint64 value)
{
    return Amount::fromUnits(value * Amount::kScale);
}

} // namespace

// A day of many lines is drawn as one upright line from the level before it through the
// day's lowest and highest balance to its last: four points, whatever the count of lines.
TEST(ChartSteps, ADayOfManyLinesIsDrawnWithItsLevelBeforeItsLowestHighestAndLastBalance)
{
    ledger::Overview overview;
    overview.first = QDate(2026, 1, 1);
    overview.end = QDate(2026, 2, 1);
    overview.開始残高 = yen(10000);
    overview.months.push_back({.month = overview.first});
    for (const qint64 balance : {15000, -3000, 42000, 7000, 9000})
        overview.points.push_back({QDate(2026, 1, 10), 0, yen(balance)});
    overview.points.push_back({QDate(2026, 1, 20), 0, yen(2000)});
    QChart chart;
    cashflow::fillChart(chart, overview);
    ASSERT_GE(chart.series().size(), 2);
    const auto pointsOf = [&](int series) { return qobject_cast<QAreaSeries*>(chart.series().at(series))->upperSeries()->points(); };

    // Above zero: 10 until the 10th, between 0 (the -3 below) and 42 that day, on at 9;
    // the 20th's one line from 9 to 2 still takes its four points.
    const QList<QPointF> above = pointsOf(0);
    const QList<QPointF> expected{{0, 10}, {9, 10}, {9, 0}, {9, 42}, {9, 9}, {19, 9}, {19, 2}, {19, 9}, {19, 2}, {31, 2}};
    EXPECT_EQ(above, expected);
    // Below zero: the -3 on the 10th only.
    const QList<QPointF> below = pointsOf(1);
    ASSERT_EQ(below.size(), expected.size());
    EXPECT_EQ(std::min_element(below.begin(), below.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); })->y(), -3);
    EXPECT_EQ(below.at(2), QPointF(9, -3));
}

#pragma once

#include "Overview.h"

#include <QChartView>

class QChart;

namespace cashflow {

// The overview's figures come from the ledger.
using ledger::BalancePoint;
using ledger::MonthFlow;
using ledger::Overview;

// Draws the running balance of an overview into a chart: a step line per stored line
// from the carry-over to the closing balance, filled blue above zero and red below, the
// zero line, and a grid line at each month boundary with the months named under it.
// The horizontal value is the number of days since the overview's first day.
void fillChart(QChart& chart, const Overview& overview);

// The month under a horizontal chart value, or -1 outside the range.
int monthAtValue(const Overview& overview, qreal x);

// The chart on the page: names the month under the mouse and reports a click on a month.
class CashFlowChartView : public QChartView {
    Q_OBJECT
public:
    explicit CashFlowChartView(QWidget* parent = nullptr);

    void setOverview(const Overview& overview);
    // The month under a point of the view, or -1.
    int monthAt(const QPoint& position) const;

signals:
    void monthHovered(int month);
    void monthClicked(int month);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Overview overview_;
    int hovered_ = -1;
};

} // namespace cashflow

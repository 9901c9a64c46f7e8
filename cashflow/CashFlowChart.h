#pragma once

#include "Overview.h"

#include <QChartView>

class QChart;

namespace cashflow {

// The overview's figures come from the ledger.
using ledger::BalancePoint;
using ledger::MonthFlow;
using ledger::Overview;

// Draws the running balance of an overview into a chart: a step line through each day's
// from the carry-over to the closing balance, filled blue above zero and red below, the
// zero line, and a grid line at each month boundary with the months named under it.
// The horizontal value is the number of days since the overview's first day.
void fillChart(QChart& chart, const Overview& overview);

// The month under a horizontal chart value, or -1 outside the range.
int monthAtValue(const Overview& overview, qreal x);

// How the months are named under the chart: every step-th month named (the first always),
// written across or turned upright.
struct MonthLabels {
    int step = 1;
    bool upright = false;
    bool operator==(const MonthLabels&) const = default;
};

// The month names of an overview, as the chart writes them ("yy/M" at the first month
// and each January, else "M").
QStringList monthLabelTexts(const Overview& overview);

// The plainest way the names fit under months `monthWidth` pixels wide (the narrowest
// month): all across; else all upright; else upright and only every few months.
MonthLabels planMonthLabels(const QStringList& texts, const QFont& font, qreal monthWidth);


// The chart on the page: names the month under the mouse and reports a click and a
// double-click on a month. It writes the month names under the plot itself, whole, in the
// plainest way the chart's width allows (see planMonthLabels).
class CashFlowChartView : public QChartView {
    Q_OBJECT
public:
    explicit CashFlowChartView(QWidget* parent = nullptr);

    void setOverview(const Overview& overview);
    // The month under a point of the view, or -1.
    int monthAt(const QPoint& position) const;
    // How the months are named at the chart's present width, and each name written with
    // its box in the view.
    MonthLabels monthLabels() const { return labels_; }
    QList<std::pair<QString, QRectF>> monthLabelBoxes() const;

signals:
    void monthHovered(int month);
    void monthClicked(int month);
    void monthActivated(int month);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    // The month names planned again for the width the months now have.
    void fitMonthLabels();

    Overview overview_;
    int hovered_ = -1;
    MonthLabels labels_;
    QFont labelFont_;
};

} // namespace cashflow

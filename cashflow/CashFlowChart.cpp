#include "CashFlowChart.h"

#include "CashFlowModel.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace cashflow {

namespace {

// Balances are drawn in thousands of yen; the exact figures are in the table.
qreal thousands(ledger::Amount amount)
{
    return static_cast<qreal>(amount.units()) / (ledger::Amount::kScale * 1000.0);
}

QFont chartFont(int points)
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(points);
    return font;
}

// The balance as steps: level until each day with lines, then the day's balances, all on
// one upright line at that day. The line is drawn from the level before, the day's lowest
// and highest balance and its last one: a few points a day, however many lines it holds.
QList<QPointF> steps(const Overview& overview)
{
    QList<QPointF> points;
    qreal level = thousands(overview.開始残高);
    points.append({0.0, level});
    for (auto line = overview.points.begin(); line != overview.points.end();) {
        const QDate day = line->date;
        const qreal x = overview.first.daysTo(day);
        points.append({x, level});
        qreal low = level;
        qreal high = level;
        for (; line != overview.points.end() && line->date == day; ++line) {
            level = thousands(line->balance);
            low = std::min(low, level);
            high = std::max(high, level);
        }
        points.append({x, low});
        points.append({x, high});
        points.append({x, level});
    }
    points.append({static_cast<qreal>(overview.first.daysTo(overview.end)), level});
    return points;
}

QAreaSeries* area(const QList<QPointF>& steps, bool above, const QColor& color, QChart& chart)
{
    auto* upper = new QLineSeries;
    auto* lower = new QLineSeries;
    for (const QPointF& p : steps) {
        upper->append(p.x(), above ? std::max(p.y(), 0.0) : std::min(p.y(), 0.0));
        lower->append(p.x(), 0.0);
    }
    auto* series = new QAreaSeries(upper, lower);
    upper->setParent(series);
    lower->setParent(series);
    series->setName(above ? QStringLiteral("残高") : QStringLiteral("不足"));
    QColor fill = color;
    fill.setAlpha(110);
    series->setBrush(fill);
    series->setPen(QPen(color, 1.5));
    chart.addSeries(series);
    return series;
}

QCategoryAxis* monthAxis(const Overview& overview)
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    const QStringList texts = monthLabelTexts(overview);
    for (int i = 0; i < texts.size(); ++i)
        axis->append(texts[i], overview.first.daysTo(overview.months[static_cast<size_t>(i)].month.addMonths(1)));
    axis->setRange(0, overview.first.daysTo(overview.end));
    axis->setGridLinePen(QPen(QColor(0x90, 0x90, 0x90), 1, Qt::DashLine));
    axis->setLabelsFont(chartFont(overview.months.size() > 18 ? 7 : 8));
    return axis;
}

} // namespace

void fillChart(QChart& chart, const Overview& overview)
{
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes())
        chart.removeAxis(axis), delete axis;
    chart.legend()->setVisible(false);
    chart.setBackgroundRoundness(0);
    chart.setMargins(QMargins(4, 4, 4, 4));
    if (overview.months.empty())
        return;
    const QList<QPointF> line = steps(overview);
    auto* positive = area(line, true, QColor(0x20, 0x60, 0xC0), chart);
    auto* negative = area(line, false, negativeColor(), chart);
    auto* zero = new QLineSeries;
    zero->append(0, 0);
    zero->append(overview.first.daysTo(overview.end), 0);
    zero->setPen(QPen(Qt::black, 1.2));
    chart.addSeries(zero);

    auto [low, high] = std::minmax_element(line.begin(), line.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    const qreal bottom = std::min(low->y(), 0.0);
    const qreal top = std::max(high->y(), 0.0);
    const qreal pad = std::max((top - bottom) * 0.05, 1.0);
    auto* values = new QValueAxis;
    values->setRange(bottom - (bottom < 0 ? pad : 0), top + pad);
    values->applyNiceNumbers();
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->setTitleText(QStringLiteral("残高（千円）"));
    values->setTitleFont(chartFont(8));
    values->setLabelsFont(chartFont(8));
    auto* months = monthAxis(overview);
    chart.addAxis(months, Qt::AlignBottom);
    chart.addAxis(values, Qt::AlignLeft);
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{positive, negative, zero}) {
        series->attachAxis(months);
        series->attachAxis(values);
    }
}

QStringList monthLabelTexts(const Overview& overview)
{
    QStringList texts;
    for (const MonthFlow& month : overview.months) {
        const bool withYear = month.month.month() == 1 || month.month == overview.first;
        texts << (withYear ? month.month.toString(QStringLiteral("yy/M")) : QString::number(month.month.month()));
    }
    return texts;
}

MonthLabels planMonthLabels(const QStringList& texts, const QFont& font, qreal monthWidth)
{
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const qreal gap = metrics.averageCharWidth();
    if (widest + gap <= monthWidth)
        return {1, false};
    const qreal upright = metrics.height() + gap / 2;
    if (upright <= monthWidth || monthWidth <= 0)
        return {1, true};
    return {static_cast<int>(std::ceil(upright / monthWidth)), true};
}

int monthAtValue(const Overview& overview, qreal x)
{
    if (x < 0 || std::isnan(x))
        return -1;
    return overview.monthOf(overview.first.addDays(static_cast<qint64>(std::floor(x))));
}

CashFlowChartView::CashFlowChartView(QWidget* parent)
    : QChartView(new QChart, parent)
{
    setRenderHint(QPainter::Antialiasing, true);
    setMouseTracking(true);
    // The plot's width settles with the chart's layout: the month names follow it.
    connect(chart(), &QChart::plotAreaChanged, this, [this] { fitMonthLabels(); });
}

void CashFlowChartView::setOverview(const Overview& overview)
{
    overview_ = overview;
    hovered_ = -1;
    fillChart(*chart(), overview_);
    // The view names the months itself, in the room the chart's width leaves them.
    if (const QList<QAbstractAxis*> axes = chart()->axes(Qt::Horizontal); !axes.isEmpty()) {
        labelFont_ = axes.front()->labelsFont();
        axes.front()->setLabelsVisible(false);
    }
    labels_ = MonthLabels{};
    chart()->setMargins(QMargins(4, 4, 4, 4 + QFontMetrics(labelFont_).height()));
    fitMonthLabels();
}

void CashFlowChartView::fitMonthLabels()
{
    const qreal days = overview_.first.daysTo(overview_.end);
    const QRectF plot = chart()->plotArea();
    if (overview_.months.empty() || days <= 0 || plot.width() <= 0)
        return;
    int shortest = 31;
    for (const MonthFlow& month : overview_.months)
        shortest = std::min(shortest, month.month.daysInMonth());
    const QStringList texts = monthLabelTexts(overview_);
    const MonthLabels labels = planMonthLabels(texts, labelFont_, plot.width() * shortest / days);
    if (labels == labels_)
        return;
    labels_ = labels;
    // Upright names need the height of the longest one under the plot.
    const QFontMetrics metrics(labelFont_);
    int room = metrics.height();
    if (labels_.upright) {
        for (const QString& text : texts)
            room = std::max(room, metrics.horizontalAdvance(text));
    }
    chart()->setMargins(QMargins(4, 4, 4, 4 + room));
    viewport()->update();
}

QList<std::pair<QString, QRectF>> CashFlowChartView::monthLabelBoxes() const
{
    QList<std::pair<QString, QRectF>> boxes;
    const qreal days = overview_.first.daysTo(overview_.end);
    const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
    if (overview_.months.empty() || days <= 0 || plot.width() <= 0)
        return boxes;
    const QStringList texts = monthLabelTexts(overview_);
    const QFontMetricsF metrics(labelFont_);
    for (int i = 0; i < texts.size(); i += std::max(labels_.step, 1)) {
        const QDate month = overview_.months[static_cast<size_t>(i)].month;
        const qreal middle = (overview_.first.daysTo(month) + month.daysInMonth() / 2.0) / days;
        const qreal x = plot.left() + plot.width() * middle;
        const qreal along = metrics.horizontalAdvance(texts[i]);
        const qreal across = metrics.height();
        const QRectF box = labels_.upright ? QRectF(x - across / 2, plot.bottom() + 3, across, along)
                                           : QRectF(x - along / 2, plot.bottom() + 3, along, across);
        boxes.append({texts[i], mapFromScene(box).boundingRect()});
    }
    return boxes;
}

void CashFlowChartView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    painter->save();
    painter->setFont(labelFont_);
    painter->setPen(palette().color(QPalette::WindowText));
    for (const auto& [text, viewBox] : monthLabelBoxes()) {
        const QRectF box = mapToScene(viewBox.toRect()).boundingRect();
        if (!labels_.upright) {
            painter->drawText(box, Qt::AlignCenter, text);
            continue;
        }
        // Turned a quarter to the left, reading upwards, its end at the top.
        painter->save();
        painter->translate(box.center());
        painter->rotate(-90);
        painter->drawText(QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width()), Qt::AlignRight | Qt::AlignVCenter, text);
        painter->restore();
    }
    painter->restore();
}

int CashFlowChartView::monthAt(const QPoint& position) const
{
    const QPointF scene = mapToScene(position);
    const QPointF inChart = chart()->mapFromScene(scene);
    if (!chart()->plotArea().contains(inChart) || chart()->series().isEmpty())
        return -1;
    return monthAtValue(overview_, chart()->mapToValue(inChart, chart()->series().front()).x());
}

void CashFlowChartView::mouseMoveEvent(QMouseEvent* event)
{
    QChartView::mouseMoveEvent(event);
    const int month = monthAt(event->position().toPoint());
    if (month != hovered_) {
        hovered_ = month;
        emit monthHovered(month);
    }
}

void CashFlowChartView::mouseReleaseEvent(QMouseEvent* event)
{
    QChartView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const int month = monthAt(event->position().toPoint());
    if (month >= 0)
        emit monthClicked(month);
}

void CashFlowChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QChartView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const int month = monthAt(event->position().toPoint());
    if (month >= 0)
        emit monthActivated(month);
}

void CashFlowChartView::leaveEvent(QEvent* event)
{
    QChartView::leaveEvent(event);
    if (hovered_ != -1) {
        hovered_ = -1;
        emit monthHovered(-1);
    }
}

} // namespace cashflow

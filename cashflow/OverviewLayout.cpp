#include "OverviewLayout.h"

#include "CashFlowModel.h"
#include "EraCalendar.h"

#include <algorithm>

namespace cashflow {

namespace {

constexpr double kContentWidth = kLandscapeWidth - 2 * kOverviewMargin;
constexpr double kTableGap = 200.0;
constexpr double kHeadingHeight = 320.0;
constexpr double kMonthColumnWidth = 2600.0;
constexpr double kCellPadding = 100.0;
constexpr double kTablePoints = 9.0;

double columnLeft(int column)
{
    const double other = (kContentWidth - kMonthColumnWidth) / (CashFlowModel::ColumnCount - 1);
    return kOverviewMargin + (column == 0 ? 0.0 : kMonthColumnWidth + (column - 1) * other);
}

double columnWidth(int column)
{
    return columnLeft(column + 1) - columnLeft(column);
}

report::TextItem cell(const QString& name, int row, double top, int column, const QString& text)
{
    report::TextItem item;
    item.name = name;
    item.row = row;
    item.box = QRectF(columnLeft(column) + kCellPadding, top, columnWidth(column) - 2 * kCellPadding, kOverviewRowHeight);
    item.text = text;
    item.family = report::reportFontFamily();
    item.pointSize = kTablePoints;
    item.alignment = (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
    return item;
}

report::RuleItem rule(const QString& name, int row, double y, double width, bool dashed)
{
    return {name, row, QLineF(kOverviewMargin, y, kOverviewMargin + kContentWidth, y), QColor(0x60, 0x60, 0x60), width, dashed};
}

// Title and range caption at the top of every page; returns where the page goes on.
void layoutTitle(report::ReportPage& page, const QString& caption)
{
    report::TextItem title;
    title.name = QStringLiteral("lbl資金繰り表");
    title.box = QRectF(kOverviewMargin, 450, 3000, 400);
    title.text = QStringLiteral("資金繰り表");
    title.family = report::reportFontFamily();
    title.pointSize = report::kTitlePoints;
    title.bold = true;
    page.texts.push_back(title);
    report::TextItem range = title;
    range.name = QStringLiteral("txt期間");
    range.box = QRectF(kOverviewMargin + 3200, 450, 7000, 400);
    range.text = caption;
    range.pointSize = report::kTextPoints + 1;
    range.bold = false;
    page.texts.push_back(range);
}

void layoutHeading(report::ReportPage& page, double top)
{
    for (int column = 0; column < CashFlowModel::ColumnCount; ++column) {
        report::TextItem heading = cell(QStringLiteral("hd%1").arg(column), -1, top, column, CashFlowModel::heading(column));
        heading.bold = true;
        page.texts.push_back(heading);
    }
    page.rules.push_back(rule(QStringLiteral("ruleHeading"), -1, top + kHeadingHeight - 20, 20.0, false));
}

void layoutMonth(report::ReportPage& page, double top, int row, const MonthFlow& month, bool era)
{
    for (int column = 0; column < CashFlowModel::ColumnCount; ++column) {
        report::TextItem item = cell(QStringLiteral("txt%1").arg(column), row, top, column, CashFlowModel::cellText(month, column, era));
        if (month.goesNegative())
            item.color = negativeColor();
        page.texts.push_back(item);
    }
    page.rules.push_back(rule(QStringLiteral("ruleRow"), row, top + kOverviewRowHeight, 8.0, true));
}

} // namespace

QRectF overviewChartBox()
{
    return QRectF(kOverviewMargin, kChartTop, kContentWidth, kChartHeight);
}

QString rangeCaption(const Overview& overview, bool era)
{
    if (overview.months.empty())
        return QString();
    return calendar::formatYearMonth(overview.months.front().month, era) + QStringLiteral("～")
        + calendar::formatYearMonth(overview.months.back().month, era);
}

report::ReportDocument layoutOverview(const Overview& overview, bool era, const QImage& chart)
{
    report::ReportDocument document;
    document.paper = QSizeF(kLandscapeWidth, kLandscapeHeight);
    document.month = overview.first;
    document.name = QStringLiteral("資金繰り表");
    const QString caption = rangeCaption(overview, era);
    const double bottom = kLandscapeHeight - kOverviewMargin;
    const int count = static_cast<int>(overview.months.size());
    int row = 0;
    do {
        report::ReportPage& page = document.pages.emplace_back();
        layoutTitle(page, caption);
        double top = kChartTop;
        if (document.pages.size() == 1) {
            page.pictures.push_back({QStringLiteral("chart資金繰り"), overviewChartBox(), chart});
            top += kChartHeight + kTableGap;
        }
        layoutHeading(page, top);
        top += kHeadingHeight;
        const int fit = std::max(1, static_cast<int>((bottom - top) / kOverviewRowHeight));
        for (const int last = std::min(count, row + fit); row < last; ++row, top += kOverviewRowHeight)
            layoutMonth(page, top, row, overview.months[static_cast<size_t>(row)], era);
    } while (row < count);
    return document;
}

} // namespace cashflow

#pragma once

#include "Overview.h"
#include "ReportLayout.h"

namespace cashflow {

// The overview's figures come from the ledger.
using ledger::BalancePoint;
using ledger::MonthFlow;
using ledger::Overview;

// Landscape A4 in twips.
inline constexpr double kLandscapeWidth = report::kA4Height;
inline constexpr double kLandscapeHeight = report::kA4Width;
inline constexpr double kOverviewMargin = 720.0;
inline constexpr double kChartTop = 1000.0;
inline constexpr double kChartHeight = 4600.0;
inline constexpr double kOverviewRowHeight = 260.0;

// The box the chart takes on the first page.
QRectF overviewChartBox();

// The year-month range as one caption: "2025年01月～2025年12月" (era years when asked).
QString rangeCaption(const Overview& overview, bool era);

// Lays the overview out as landscape A4 pages: the title and range on every page, the
// chart picture on the first page, then the table of
// months in the columns of the page's table, as many rows as fit on each page. A month
// whose lowest balance is below zero is printed in red.
report::ReportDocument layoutOverview(const Overview& overview, bool era, const QImage& chart);

} // namespace cashflow

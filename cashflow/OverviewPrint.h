#pragma once

#include "Overview.h"

#include <QImage>

class QWidget;
namespace messages {
class Msg;
}
namespace report {
class ReportWindow;
}

namespace cashflow {

// The overview's figures come from the ledger.
using ledger::BalancePoint;
using ledger::MonthFlow;
using ledger::Overview;

// The overview's chart laid out on an area of the given size in pixels (96 per inch) and
// drawn at three times that resolution, for the report.
QImage chartImage(const Overview& overview, const QSizeF& size);

// The print command of the overview: lays out the chart and the table as landscape A4
// pages and opens them in a new report window (preview, print, PDF) owned by owner.
report::ReportWindow* openOverviewReport(const Overview& overview, bool era, messages::Msg& msg, QWidget* owner);

} // namespace cashflow

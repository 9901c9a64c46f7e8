#pragma once

#include "ReportLayout.h"

#include <vector>

class QWidget;
namespace SQLite {
class Database;
}
namespace messages {
class Msg;
}

namespace report {

class ReportWindow;

// Refills InpWork印刷 from the sheet InpWork: the lines with a payee, in the sheet's order.
// Emptying and filling happen together or not at all, so a failure never leaves a line
// twice. Answers whether the table was refilled.
bool fillPrintTable(SQLite::Database& work);

// The lines of InpWork印刷 in the order the table returns them (rowid order).
std::vector<PrintRow> readPrintTable(SQLite::Database& work);

// The sheet's lines with a payee, read straight from InpWork in the sheet's order.
std::vector<PrintRow> readSheetLines(SQLite::Database& work);

// The lines to print: InpWork印刷 freshly filled and read back; when the print table
// cannot be refilled or read, the same lines straight from the sheet.
std::vector<PrintRow> collectPrintRows(SQLite::Database& work);

// The print command: collects the lines, lays the report out with the header values and
// the ruled-line colour, and opens a report window owned by the given window; when that
// window already has the month's report open, the open one shows it and comes to the front.
ReportWindow* openMonthlyReport(SQLite::Database& work, const ReportHeader& header, qint64 lineColor, messages::Msg& msg, QWidget* owner);

} // namespace report

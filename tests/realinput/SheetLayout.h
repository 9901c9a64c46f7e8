#pragma once

#include <QPoint>
#include <QSize>

// Where the schedule page's controls stand inside the main window at its default size
// (a fresh home, so no remembered geometry), as a user sees them on the screen. The
// numbers come from the page's layout on this platform; every test reads back what it
// typed, so a layout that moved shows as a failing test with its screenshot.
namespace layout {

enum class Column { Day, Payee, Scheduled, Paid, Balance };

// The size of the main window's inside that these positions were measured at.
QSize windowSize();
// The year-month field Dt年月.
QPoint yearMonthField();
// The middle of a grid cell; row counts from 0 at the top of the grid.
QPoint cell(int row, Column column);

} // namespace layout

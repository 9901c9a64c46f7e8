#pragma once

#include <QDate>

namespace SQLite {
class Database;
}

namespace schedule {

// What repeating the previous month's lines did.
struct CopyOutcome {
    enum Kind { Copied, NothingStored, NoRoom } kind = Copied;
    int lines = 0; // Copied: the lines copied; NoRoom: the lines that did not fit
};

// Repeats last month's payments (前月複写) on the sheet InpWork of the month of `month`:
// the stored lines of the month before, in date and line-number order, fill the empty
// sheet lines after the last line that holds anything, with their day (a day past the end
// of the shown month becomes its last day), payee and scheduled amount; the paid amount is
// 0 and nothing is stored. When the month before has no stored line, or the empty lines
// are too few for all of them, nothing changes. One transaction on the work file; throws
// store::DbError when the file fails.
CopyOutcome copyPreviousMonthLines(SQLite::Database& main, SQLite::Database& work, const QDate& month);

} // namespace schedule

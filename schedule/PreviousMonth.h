#pragma once

#include "SheetLine.h"

#include <QDate>

#include <vector>

namespace schedule {

// What repeating the previous month's lines did.
struct CopyOutcome {
    enum Kind { Copied, NothingStored, NoRoom } kind = Copied;
    int lines = 0; // Copied: the lines copied; NoRoom: the lines that did not fit
};

// Repeats last month's payments (前月複写) on the sheet of the month of `month`: the stored
// lines of the month before, in book order, fill the empty sheet lines after the last line
// that holds anything, with their day (a day past the end of the shown month becomes its
// last day), payee and scheduled amount; the paid amount is 0. When there is no line to
// copy, or the empty lines are too few for all of them, the sheet stays as it was.
CopyOutcome repeatPreviousMonth(SheetLines& sheet, const std::vector<ledger::StoredLine>& previous, const QDate& month);

} // namespace schedule

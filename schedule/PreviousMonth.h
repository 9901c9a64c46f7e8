#pragma once

#include "BusinessDays.h"
#include "PaymentRules.h"
#include "SheetLine.h"

#include <QDate>
#include <QStringList>

#include <vector>

namespace schedule {

// What repeating the previous month's lines did.
struct CopyOutcome {
    enum Kind { Copied, NothingStored, NoRoom, Cancelled } kind = Copied;
    int lines = 0; // Copied: the lines copied; NoRoom: the lines that did not fit
    // The lines of last month left out because the sheet holds them already ("家賃 200,000").
    QStringList skipped;
    // Copied: the lines whose day was moved off a bank holiday, and those left on one
    // (the payee's rule or the book's setting says そのまま), in sheet order.
    std::vector<DayMove> moved;
    std::vector<DayMove> onHoliday;
};

// How the days of repeated lines are chosen: the payees' rules by name, and the book's
// setting for a day on a bank holiday of a payee whose rule does not say.
struct RepeatRules {
    ledger::PaymentRules payees;
    calendar::HolidayShift fallback = ledger::defaultShift();
};

// Which lines of last month the sheet holds already: a sheet line with a payee stands for
// one line of last month of the same payee (its day and amount may have been changed since
// it was copied). Answers their places in `previous`, in order.
std::vector<std::size_t> linesAlreadyOnSheet(const SheetLines& sheet, const std::vector<ledger::StoredLine>& previous);

// "家賃 200,000": a line of last month as the question and the status line name it.
QString repeatedLineText(const ledger::StoredLine& line);

// Repeats last month's payments (前月複写) on the sheet of the month of `month`: the stored
// lines of the month before, in book order, fill the empty sheet lines after the last line
// that holds anything, with their day, payee and scheduled amount; the paid amount is 0.
// The day is the payee's usual day when its rule has one, else last month's day (a day
// past the end of the shown month becomes its last day); a day on a bank holiday then
// moves by the payee's rule or, without one, by the book's setting, never out of the
// month (businessDayInMonth). When there is no line to copy, or the empty lines are too
// few for all of them, the sheet stays as it was.
CopyOutcome repeatPreviousMonth(SheetLines& sheet, const std::vector<ledger::StoredLine>& previous, const QDate& month, const RepeatRules& rules = {});

} // namespace schedule

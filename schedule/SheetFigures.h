#pragma once

#include "SheetLine.h"

#include <optional>

namespace schedule {

// The figures of the sheet as the save will store them.
struct SheetFigures {
    // The month totals over every line; nothing when a total does not fit in 64 bits.
    std::optional<ledger::Amount> scheduled;
    std::optional<ledger::Amount> paid;
    // The first line (0-based) whose balance does not fit, if any.
    std::optional<int> overflowAt;
};

// Runs the book's balance rule over the sheet from the carry-over, in the order the save
// stores the lines (by date, then by place on the sheet; lines without a date come last):
// each line with a date and a payee gets the running balance plus its scheduled amount
// minus its paid amount; any other line shows no balance and passes the running balance
// on. Sets every line's balance and answers the month's figures.
SheetFigures computeSheet(SheetLines& lines, ledger::Amount carry);

} // namespace schedule

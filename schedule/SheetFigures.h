#pragma once

#include "BalanceChain.h"
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

// The sheet's lines as the balance chain reads them.
std::vector<ledger::LineAmounts> lineAmounts(const SheetLines& lines);

// The book's month figures of the sheet from the carry-over, in the order the save stores
// the lines (by date, then by place on the sheet; lines without a date come last). Sets
// every line's balance and answers the month's totals.
SheetFigures computeSheet(SheetLines& lines, ledger::Amount carry);

} // namespace schedule

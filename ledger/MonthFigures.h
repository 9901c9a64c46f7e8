#pragma once

#include "BalanceChain.h"

#include <QDate>

#include <optional>
#include <vector>

namespace ledger {

// What one line of a month comes to.
struct LineFigure {
    // The line's balance: nothing for a line outside the chain, with a null amount, or whose
    // balance does not fit.
    std::optional<Amount> balance;
    Amount running; // the running balance after the line
};

// Every figure of one month, worked out by figureMonth: the sheet, the overview, the
// exports and the chain check all read their balances and totals from here.
struct MonthFigures {
    Amount opening;                 // 繰越額: the balance the month starts from
    std::vector<LineFigure> lines;  // by the index of the lines given
    std::vector<int> order;         // those indexes in book order
    std::optional<Amount> scheduled; // 予定額 total; nothing when it does not fit in 64 bits
    std::optional<Amount> paid;      // 支払額 total; likewise
    Amount closing;                  // the running balance after the month's last line
    // The lowest balance within the month: the opening on the 1st, then the running balance
    // after each line on its day; the earliest day when it is reached more than once.
    Amount lowest;
    QDate lowestDay;
    // The first line (index given) whose balance or whose addition to a total does not fit.
    std::optional<int> overflowAt;
};

// The lines' order in the book: by date, lines without a date last, otherwise as given
// (the caller gives stored lines by line number, and the sheet's lines by their place).
std::vector<int> bookOrder(const std::vector<LineAmounts>& lines);

// Runs `chain` over the month of `month` (entering it first) and its lines in book order.
// The totals count every line; the balances only the lines in the chain.
MonthFigures figureMonth(BalanceChain& chain, const QDate& month, const std::vector<LineAmounts>& lines);

// The same for a month on its own, starting from `opening`.
MonthFigures figureMonth(const QDate& month, Amount opening, const std::vector<LineAmounts>& lines);

} // namespace ledger

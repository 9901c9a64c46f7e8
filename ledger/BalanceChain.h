#pragma once

#include "Amount.h"

#include <QDate>

#include <map>
#include <optional>

namespace ledger {

// The carry-overs the book keeps of its own, by the first day of their month.
using CarryOvers = std::map<QDate, Amount>;

// The balance of one line: the balance before it plus its scheduled amount (予定額) minus
// its paid amount (支払額), exact in ten-thousandths.
struct LineBalance {
    enum Kind {
        Value,    // value holds the balance
        Empty,    // one of the two amounts is null (only an older file holds one): no balance
        Overflow, // the balance does not fit in 64 bits: nothing may be stored
        Outside,  // the line has no date or no payee: it takes no part in the chain, and a
                  // balance stored with it (an older file may hold one) is neither read nor
                  // written
    };
    Kind kind = Empty;
    Amount value;
    std::optional<Amount> balance() const { return kind == Value ? std::optional(value) : std::nullopt; }
};

// The money of one line as the balance chain reads it.
struct LineAmounts {
    QDate date;
    bool hasPayee = false;
    std::optional<Amount> scheduled;
    std::optional<Amount> paid;
    // Only a line with a date and a payee takes a balance; any other line shows none and
    // passes the running balance on. This is the book's one rule of which lines count,
    // wherever a balance is worked out (the sheet, the stored book, the overview, the check).
    bool inChain() const { return hasPayee && date.isValid(); }
};

// The one balance rule of the book.
LineBalance balanceAfter(Amount before, const std::optional<Amount>& scheduled, const std::optional<Amount>& paid);

// The running balance of the book, line by line in book order (date, line number): each
// line gets the rule's balance and passes it on; a line without a balance passes the one
// before it on. A month with a carry-over of its own starts from that carry-over, whatever
// the lines before it brought. The chain starts at the opening of one month.
class BalanceChain {
public:
    // opening: the balance the month of `openingMonth` starts from (its own carry-over, or
    // what the lines before it bring); carries: the book's carry-overs (earlier ones and the
    // opening month's own are passed over).
    BalanceChain(const QDate& openingMonth, Amount opening, const CarryOvers& carries);

    // The balance of the next line, dated `date` (a date in a later month first enters that
    // month). An overflow leaves the running balance as it was.
    // A line outside the chain (LineAmounts::inChain) gets Outside and changes nothing.
    LineBalance next(const LineAmounts& line);
    // Enters the month of `date` (and every month before it not entered yet): the running
    // balance becomes the latest of their carry-overs, if any. Answers the balance the
    // month starts from.
    Amount enterMonth(const QDate& date);
    Amount running() const { return running_; }

private:
    const CarryOvers& carries_;
    CarryOvers::const_iterator nextCarry_;
    QDate month_;
    QDate monthEnd_; // the first day after month_
    Amount running_;
};

} // namespace ledger

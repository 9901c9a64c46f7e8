#include "BalanceChain.h"

#include "Calendar.h"

namespace ledger {

LineBalance balanceAfter(Amount before, const std::optional<Amount>& scheduled, const std::optional<Amount>& paid)
{
    if (!scheduled || !paid)
        return {LineBalance::Empty, Amount()};
    const auto raised = before.plus(*scheduled);
    const auto result = raised ? raised->minus(*paid) : std::nullopt;
    if (!result)
        return {LineBalance::Overflow, Amount()};
    return {LineBalance::Value, *result};
}

BalanceChain::BalanceChain(const QDate& openingMonth, Amount opening, const CarryOvers& carries)
    : carries_(carries)
    , nextCarry_(carries.upper_bound(calendar::firstOfMonth(openingMonth)))
    , month_(calendar::firstOfMonth(openingMonth))
    , monthEnd_(month_.addMonths(1))
    , running_(opening)
{
}

Amount BalanceChain::enterMonth(const QDate& date)
{
    // Most lines fall in the month entered last.
    if (date >= month_ && date < monthEnd_)
        return running_;
    const QDate month = calendar::firstOfMonth(date);
    if (!month.isValid() || month <= month_)
        return running_;
    month_ = month;
    monthEnd_ = month.addMonths(1);
    while (nextCarry_ != carries_.end() && nextCarry_->first <= month_) {
        running_ = nextCarry_->second;
        ++nextCarry_;
    }
    return running_;
}

LineBalance BalanceChain::next(const LineAmounts& line)
{
    enterMonth(line.date);
    if (!line.inChain())
        return {LineBalance::Outside, Amount()};
    const LineBalance balance = balanceAfter(running_, line.scheduled, line.paid);
    if (balance.kind == LineBalance::Value)
        running_ = balance.value;
    return balance;
}

} // namespace ledger

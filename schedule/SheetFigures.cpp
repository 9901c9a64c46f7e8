#include "SheetFigures.h"

#include "MonthFigures.h"

namespace schedule {

std::vector<ledger::LineAmounts> lineAmounts(const SheetLines& lines)
{
    std::vector<ledger::LineAmounts> amounts;
    amounts.reserve(lines.size());
    for (const SheetLine& line : lines)
        amounts.push_back({line.date, line.hasPayee(), line.scheduled, line.paid});
    return amounts;
}

SheetFigures computeSheet(SheetLines& lines, ledger::Amount carry)
{
    const ledger::MonthFigures month = ledger::figureMonth(QDate(), carry, lineAmounts(lines));
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i].balance = month.lines[i].balance;
    return {month.scheduled, month.paid, month.overflowAt};
}

} // namespace schedule

#include "SheetFigures.h"

#include "BalanceChain.h"

#include <algorithm>
#include <numeric>

namespace schedule {

SheetFigures computeSheet(SheetLines& lines, ledger::Amount carry)
{
    SheetFigures figures{ledger::Amount(), ledger::Amount(), std::nullopt};
    std::vector<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const QDate& da = lines[static_cast<std::size_t>(a)].date;
        const QDate& db = lines[static_cast<std::size_t>(b)].date;
        if (da.isValid() != db.isValid())
            return da.isValid();
        return da < db;
    });
    ledger::Amount running = carry;
    for (int index : order) {
        SheetLine& line = lines[static_cast<std::size_t>(index)];
        const bool summed = figures.scheduled && figures.paid;
        ledger::addTo(figures.scheduled, line.scheduled);
        ledger::addTo(figures.paid, line.paid);
        if (summed && !(figures.scheduled && figures.paid) && (!figures.overflowAt || index < *figures.overflowAt))
            figures.overflowAt = index;
        if (!line.storable()) {
            line.balance.reset();
            continue;
        }
        const ledger::LineBalance balance = ledger::balanceAfter(running, line.scheduled, line.paid);
        if (balance.kind == ledger::LineBalance::Overflow) {
            if (!figures.overflowAt || index < *figures.overflowAt)
                figures.overflowAt = index;
            line.balance.reset();
            continue;
        }
        line.balance = balance.balance();
        if (balance.kind == ledger::LineBalance::Value)
            running = balance.value;
    }
    return figures;
}

} // namespace schedule

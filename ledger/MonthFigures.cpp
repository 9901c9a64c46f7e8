#include "MonthFigures.h"

#include "Calendar.h"

#include <algorithm>
#include <numeric>

namespace ledger {

std::vector<int> bookOrder(const std::vector<LineAmounts>& lines)
{
    std::vector<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&](int a, int b) {
        const QDate& da = lines[static_cast<std::size_t>(a)].date;
        const QDate& db = lines[static_cast<std::size_t>(b)].date;
        if (da.isValid() != db.isValid())
            return da.isValid();
        return da < db;
    };
    // Stored lines come in book order already.
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::stable_sort(order.begin(), order.end(), before);
    return order;
}

MonthFigures figureMonth(BalanceChain& chain, const QDate& month, const std::vector<LineAmounts>& lines)
{
    MonthFigures figures;
    figures.opening = chain.enterMonth(month);
    figures.scheduled = Amount();
    figures.paid = Amount();
    figures.closing = figures.lowest = figures.opening;
    figures.lowestDay = calendar::firstOfMonth(month);
    figures.lines.resize(lines.size());
    figures.order = bookOrder(lines);
    const auto overflowAt = [&](int index) {
        if (!figures.overflowAt || index < *figures.overflowAt)
            figures.overflowAt = index;
    };
    for (int index : figures.order) {
        const LineAmounts& line = lines[static_cast<std::size_t>(index)];
        const bool summed = figures.scheduled && figures.paid;
        addTo(figures.scheduled, line.scheduled);
        addTo(figures.paid, line.paid);
        if (summed && !(figures.scheduled && figures.paid))
            overflowAt(index);
        const LineBalance balance = chain.next(line);
        if (balance.kind == LineBalance::Overflow)
            overflowAt(index);
        LineFigure& figure = figures.lines[static_cast<std::size_t>(index)];
        figure.balance = balance.balance();
        figure.running = figures.closing = chain.running();
        if (figure.running < figures.lowest && line.date.isValid()) {
            figures.lowest = figure.running;
            figures.lowestDay = line.date;
        }
    }
    return figures;
}

MonthFigures figureMonth(const QDate& month, Amount opening, const std::vector<LineAmounts>& lines)
{
    static const CarryOvers none;
    BalanceChain chain(month, opening, none);
    return figureMonth(chain, month, lines);
}

} // namespace ledger

#include "SheetPaste.h"

#include "CellBlock.h"
#include "SheetColumns.h"

#include <algorithm>

namespace schedule {

PastePlan planPaste(const std::vector<QStringList>& block, int row, int firstColumn, const std::vector<int>& columns, int rowCount)
{
    PastePlan plan;
    const auto first = std::find(columns.begin(), columns.end(), firstColumn);
    const auto start = static_cast<std::size_t>(first - columns.begin());
    for (std::size_t line = 0; line < block.size(); ++line) {
        for (qsizetype i = 0; i < block[line].size(); ++i) {
            const std::size_t at = start + static_cast<std::size_t>(i);
            PasteCell cell{.row = row + static_cast<int>(line), .column = at < columns.size() ? columns[at] : -1, .text = block[line].at(i)};
            if (first == columns.end() || at >= columns.size() || cell.row >= rowCount)
                plan.refused.push_back({cell, CellRefusal::PastTheSheet});
            else
                plan.cells.push_back(cell);
        }
    }
    return plan;
}

PastePlan planFill(const QString& value, const std::vector<PasteCell>& selected)
{
    PastePlan plan;
    for (PasteCell cell : selected) {
        cell.text = value;
        plan.cells.push_back(cell);
    }
    return plan;
}

QString amountAsTyped(const QString& pasted)
{
    QString text = pasted.trimmed();
    QString sign;
    if (text.startsWith(u'-') || text.startsWith(u'－')) {
        sign = text.left(1);
        text = text.mid(1).trimmed();
    }
    if (text.startsWith(u'¥') || text.startsWith(u'￥'))
        text = sign + text.mid(1).trimmed();
    else
        text = sign + text;
    if (text.endsWith(u'円'))
        text.chop(1);
    return text.trimmed();
}

} // namespace schedule

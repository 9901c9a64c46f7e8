#include "SheetPaste.h"

#include "Amount.h"
#include "CellBlock.h"
#include "SheetColumns.h"
#include "Sql.h"

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
                plan.refused.push_back({cell, PasteRefusal::PastTheSheet});
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

std::optional<PasteRefusal> writePastedValue(SQLite::Database& work, const PasteCell& cell)
{
    QVariant value;
    const QString text = cell.text.trimmed();
    if (cell.column == kCol残高)
        return PasteRefusal::Computed;
    if (cell.column == kCol予定額 || cell.column == kCol支払額) {
        const QString amount = amountAsTyped(text);
        if (!amount.isEmpty()) {
            const auto parsed = store::Amount::parse(amount);
            if (!parsed)
                return store::Amount::isOutOfRange(amount) ? PasteRefusal::OutOfRange : PasteRefusal::NotAnAmount;
            value = parsed->toVariant();
        }
    } else if (cell.column == kCol表示日付 || cell.column == kCol支払先名) {
        if (!text.isEmpty())
            value = text;
    } else {
        return PasteRefusal::PastTheSheet;
    }
    store::exec(work, QStringLiteral("UPDATE InpWork SET %1 = ? WHERE rowid = ?").arg(store::quoteIdentifier(sheetField(cell.column))), {value, cell.rowId});
    return std::nullopt;
}

} // namespace schedule

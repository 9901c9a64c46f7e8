#include "SheetPaste.h"

#include "Amount.h"
#include "SheetColumns.h"
#include "Sql.h"

#include <algorithm>

namespace schedule {

namespace {

// Reads one cell from pos; a quoted cell may hold tabs, line breaks and doubled quotes.
QString readCell(const QString& text, qsizetype& pos)
{
    QString cell;
    if (pos < text.size() && text.at(pos) == u'"') {
        ++pos;
        while (pos < text.size()) {
            const QChar c = text.at(pos++);
            if (c != u'"') {
                cell += c;
            } else if (pos < text.size() && text.at(pos) == u'"') {
                cell += c;
                ++pos;
            } else {
                break;
            }
        }
    }
    while (pos < text.size() && text.at(pos) != u'\t' && text.at(pos) != u'\n' && text.at(pos) != u'\r')
        cell += text.at(pos++);
    return cell;
}

} // namespace

std::vector<QStringList> parseCellBlock(const QString& text)
{
    std::vector<QStringList> block;
    QStringList line;
    qsizetype pos = 0;
    while (pos < text.size()) {
        line << readCell(text, pos);
        if (pos >= text.size())
            break;
        const QChar separator = text.at(pos++);
        if (separator == u'\t')
            continue;
        if (separator == u'\r' && pos < text.size() && text.at(pos) == u'\n')
            ++pos;
        block.push_back(line);
        line.clear();
    }
    if (!line.isEmpty())
        block.push_back(line);
    return block;
}

QString formatCellBlock(const std::vector<QStringList>& block)
{
    QString text;
    for (const QStringList& line : block) {
        QStringList cells;
        for (QString cell : line) {
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') || cell.contains(u'"'))
                cell = u'"' + cell.replace(u'"', QStringLiteral("\"\"")) + u'"';
            cells << cell;
        }
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

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

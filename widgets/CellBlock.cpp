#include "CellBlock.h"

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

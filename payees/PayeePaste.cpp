#include "PayeePaste.h"

namespace payees {

namespace {

void place(NamePaste& paste, int row, int column, const QString& text, int nameColumn, int& nextNewRow, int rowCount)
{
    if (text.trimmed().isEmpty())
        return;
    if (column != nameColumn) {
        paste.refused.push_back({row, column, text, std::nullopt});
        return;
    }
    const QString name = normalizePayeeName(text);
    if (const auto why = checkPayeeName(name)) {
        paste.refused.push_back({row, column, text, why});
        return;
    }
    // Past the last line, the names go into new lines one after another.
    if (row >= rowCount)
        row = nextNewRow++;
    paste.names.push_back({row, name});
}

} // namespace

NamePaste planNamePaste(const std::vector<QStringList>& block, const std::vector<std::pair<int, int>>& selected, const QList<int>& columns,
    int nameColumn, int rowCount)
{
    NamePaste paste;
    if (block.empty() || selected.empty())
        return paste;
    int nextNewRow = rowCount;
    if (block.size() == 1 && block.front().size() == 1 && selected.size() > 1) {
        for (const auto& [row, column] : selected)
            place(paste, row, column, block.front().front(), nameColumn, nextNewRow, rowCount);
        return paste;
    }
    const auto [top, left] = selected.front();
    const qsizetype start = columns.indexOf(left);
    for (std::size_t line = 0; line < block.size(); ++line) {
        for (qsizetype i = 0; i < block[line].size(); ++i) {
            const qsizetype at = start < 0 ? -1 : start + i;
            const int column = at >= 0 && at < columns.size() ? columns.at(at) : -1;
            place(paste, top + static_cast<int>(line), column, block[line].at(i), nameColumn, nextNewRow, rowCount);
        }
    }
    return paste;
}

} // namespace payees

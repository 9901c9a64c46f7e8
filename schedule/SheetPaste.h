#pragma once

#include "CellBlock.h"
#include "CellEntry.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace schedule {

// One value of a pasted block and the sheet cell it lands on.
struct PasteCell {
    int row = 0;
    int column = 0;
    QString text;
};

struct RefusedValue {
    PasteCell cell;
    CellRefusal why = CellRefusal::NotAnAmount;
};

// Where each value of a block goes when it is pasted with its top-left value on
// (row, columns[first]): columns are the sheet's visible columns in order, rows the
// sheet's lines. A single value pasted over a selection of several cells fills each of
// them. Values with no cell to land on are refused as PastTheSheet.
struct PastePlan {
    std::vector<PasteCell> cells;
    std::vector<RefusedValue> refused;
};
PastePlan planPaste(const std::vector<QStringList>& block, int row, int firstColumn, const std::vector<int>& columns, int rowCount);
PastePlan planFill(const QString& value, const std::vector<PasteCell>& selected);

// A pasted amount as it would be typed: currency marks (¥, ￥, a trailing 円) and the
// spaces around it are dropped, since spreadsheets copy amounts with them.
QString amountAsTyped(const QString& pasted);

} // namespace schedule

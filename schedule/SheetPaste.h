#pragma once

#include "CellBlock.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace schedule {

// One value of a pasted block and the sheet cell it lands on.
struct PasteCell {
    int row = 0;
    qint64 rowId = 0; // the line's rowid in InpWork, set before the cell is written
    int column = 0;
    QString text;
};

// Why a pasted value did not go into the sheet.
enum class PasteRefusal {
    NotAnAmount,  // an amount cell was given something no amount is
    OutOfRange,   // an amount past the largest the book holds
    NoSuchDay,    // a day that names no day of the month shown
    Computed,     // the balance column is computed, never typed
    PastTheSheet, // below the sheet's last line or right of its last column
    NotWritten,   // the file refused the write
};

struct RefusedValue {
    PasteCell cell;
    PasteRefusal why = PasteRefusal::NotAnAmount;
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

// Writes a pasted value into its sheet cell, checked as if it were typed there (the rules
// that follow a typed value are the month controller's). Answers why it was refused.
std::optional<PasteRefusal> writePastedValue(SQLite::Database& work, const PasteCell& cell);

} // namespace schedule

#pragma once

#include "Amount.h"
#include "StoredLines.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace schedule {

// One line of the month's sheet as the controller holds it. The amounts are 0 on a blank
// line; only a line loaded from an older file can hold a null one.
struct SheetLine {
    QString day;   // 表示日付: the day as two digits, or empty
    QDate date;    // 日付: the line's date in the shown month, or invalid
    QString payee; // 支払先名, empty for none
    std::optional<ledger::Amount> scheduled = ledger::Amount(); // 予定額
    std::optional<ledger::Amount> paid = ledger::Amount();      // 支払額
    std::optional<ledger::Amount> balance;                      // 残高, computed
    qint64 loadedNumber = 0;                                    // 元行番号
    std::optional<ledger::LineKey> original; // the stored line it was loaded from or saved as

    bool operator==(const SheetLine&) const = default;
    bool hasPayee() const { return !payee.isEmpty(); }
    bool hasAmount() const;
    // The line will be stored: it has a payee and a date.
    bool storable() const { return hasPayee() && date.isValid(); }
    // Anything on the line that is worth keeping.
    bool holdsData() const;
};

// An amount paid on the sheet line `row` (a transfer file was written for it).
struct LinePayment {
    int row = -1;
    ledger::Amount amount;
};

// A line added with the paid marks (the day's 振込手数料): its date and payee, and the amount
// that is both scheduled and paid.
struct AddedPayment {
    QDate date;
    QString payee;
    ledger::Amount amount;
};

using SheetLines = std::vector<SheetLine>;

// A sheet of kSheetLines blank lines numbered from 1.
SheetLines blankSheet();

} // namespace schedule

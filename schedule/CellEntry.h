#pragma once

#include "SheetLine.h"

#include <QDate>
#include <QMetaType>
#include <QString>

#include <functional>
#include <optional>

namespace schedule {

// Why a typed or pasted value did not go into the sheet.
enum class CellRefusal {
    NotAnAmount,  // an amount cell was given something no amount is
    OutOfRange,   // an amount past the largest the book holds
    Fraction,     // an amount with a fraction of a yen
    NoSuchDay,    // a day that names no day of the month shown
    Computed,     // the balance and the weekday are computed, never typed
    PastTheSheet, // below the sheet's last line or right of its last column
    NotWritten,   // the work file refused the sheet's draft
    BadName,      // a payee name the payee list would refuse (too long, control characters)
};

// Why a payee name may not be kept, in the catalogue's words, or nothing when it may.
using NameCheck = std::function<std::optional<QString>(const QString& name)>;

// Puts text typed or pasted into a column of a line, checked as the column wants it: a
// day becomes the line's date in the month of `month` (two digits shown; empty clears both),
// a payee is taken without the blanks around it, an amount is whole yen (empty is 0; ¥, ￥
// and a trailing 円 as spreadsheets copy them are dropped). A refused value leaves the line
// as it was and answers why.
// A name that `checkName` refuses is refused as BadName.
std::optional<CellRefusal> enterValue(SheetLine& line, int column, const QString& text, const QDate& month, const NameCheck& checkName = {});

// A payee name as typed: the ASCII and full-width blanks around it are dropped.
QString trimmedName(const QString& name);

} // namespace schedule

Q_DECLARE_METATYPE(schedule::CellRefusal)

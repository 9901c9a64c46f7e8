#pragma once

#include "SheetColumns.h"

#include <QDate>
#include <QVariant>

#include <optional>

namespace schedule {

// The full date that a day typed or pasted into the day cell gives in the month of
// `month`: the text is a number (blanks around and full-width characters allowed, a
// fraction rounded half away from zero as two digits would show it) naming a day of that
// month, or a date of that month as a spreadsheet copies it ("2027/03/08", "2027-03-08",
// "2027年3月8日", "3/8", "3月8日"). Letters, 0, a negative number, a day past the
// month's end or a date of another month give nothing.
std::optional<QDate> composeDay(const QDate& month, const QVariant& dayCell);

} // namespace schedule

#pragma once

#include "SheetColumns.h"

#include <QDate>
#include <QVariant>

#include <optional>

namespace schedule {

// The full date that a day typed into the day cell gives in the month of `month`: the
// text must be a number (blanks around and full-width characters allowed, a fraction
// rounded half away from zero as two digits would show it) naming a day of that month.
// Letters, 0, a negative number or a day past the month's end give nothing.
std::optional<QDate> composeDay(const QDate& month, const QVariant& dayCell);

} // namespace schedule

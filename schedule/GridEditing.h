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

// Progress of a save: one advance per sheet line with its position counter. The step is
// the line count divided by 9, rounded half to even (0 becomes 1); every multiple of the
// step adds 10 to the percentage, never past 100. A count of 0 never advances.
class SaveProgress {
public:
    explicit SaveProgress(qint64 lineCount);
    int advance(qint64 position);
    int percent() const { return percent_; }
    qint64 step() const { return step_; }

private:
    qint64 count_;
    qint64 step_;
    int percent_ = 0;
};

} // namespace schedule

#pragma once

#include "SheetLine.h"

#include <QDate>
#include <QString>

#include <vector>

// Declared without its Japanese enumerators (Holidays.h), which moc cannot read in the
// headers of Q_OBJECT classes that include this one.
namespace calendar {
enum class HolidayShift;
}

namespace schedule {

// A sheet line whose day a command moved (or left) because of a bank holiday.
struct DayMove {
    int row = 0;
    QString payee;
    QDate from;
    QDate to; // the same as from for a line left on its day
    friend bool operator==(const DayMove&, const DayMove&) = default;
};

// Puts a date on a line: its day shown as two digits (an invalid date empties both).
void setLineDate(SheetLine& line, const QDate& date);

// What moving lines to a business day did.
struct BusinessDayOutcome {
    std::vector<DayMove> moved;
    // Lines on a bank holiday with no business day that way inside the month (the 1st
    // after a Sunday towards 前営業日): they keep their day.
    std::vector<DayMove> stuck;
};

// Moves each line of `rows` that has a date on a bank holiday to the business day before
// (前営業日) or after (翌営業日) it within the month. Lines on business days and lines
// without a date are left as they are; a row outside the sheet is passed over.
BusinessDayOutcome moveToBusinessDays(SheetLines& sheet, const std::vector<int>& rows, calendar::HolidayShift shift);

// Why a date is a bank holiday, for the user: the public holiday's name ("春分の日"),
// "土曜日", "日曜日" or "年末年始"; the empty text on a business day.
QString bankHolidayReason(const QDate& date);

// The lines for the status line: "6行目 6日→1日「東京電力」" (a line left on its day
// "10行目 10日「東京電力」"), joined by "、", the first `named` of them and "ほか n 行".
QString describeDayMoves(const std::vector<DayMove>& moves, std::size_t named = 5);

} // namespace schedule

#pragma once

#include "Holidays.h"

#include <QColor>
#include <QDate>

// The colour of a date's weekday on screen and on paper: Sundays and public holidays in
// red, Saturdays in blue; other days (and an invalid date) an invalid colour, for the
// usual text colour.
inline QColor weekdayColor(const QDate& date)
{
    if (!date.isValid())
        return {};
    if (date.dayOfWeek() == Qt::Sunday || calendar::isPublicHoliday(date))
        return QColor(0xD0, 0x20, 0x20);
    if (date.dayOfWeek() == Qt::Saturday)
        return QColor(0x20, 0x50, 0xC8);
    return {};
}

// The tint behind the day of a line that falls on a bank holiday.
inline QColor bankHolidayTint()
{
    return QColor(0xFF, 0xE8, 0xE8);
}

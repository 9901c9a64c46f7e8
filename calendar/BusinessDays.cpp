// Business days: a day moved off a bank holiday, and the weekday's letter.

#include "Holidays.h"

namespace calendar {

QDate previousBusinessDay(const QDate& date)
{
    QDate day = date;
    while (day.isValid() && isBankHoliday(day))
        day = day.addDays(-1);
    return day;
}

QDate nextBusinessDay(const QDate& date)
{
    QDate day = date;
    while (day.isValid() && isBankHoliday(day))
        day = day.addDays(1);
    return day;
}

QDate shiftOffBankHoliday(const QDate& date, HolidayShift shift)
{
    switch (shift) {
    case HolidayShift::前営業日: return previousBusinessDay(date);
    case HolidayShift::翌営業日: return nextBusinessDay(date);
    case HolidayShift::そのまま: return date;
    }
    return date;
}

QString weekdayLetter(const QDate& date)
{
    switch (date.isValid() ? date.dayOfWeek() : 0) {
    case 1: return QStringLiteral("月");
    case 2: return QStringLiteral("火");
    case 3: return QStringLiteral("水");
    case 4: return QStringLiteral("木");
    case 5: return QStringLiteral("金");
    case 6: return QStringLiteral("土");
    case 7: return QStringLiteral("日");
    default: return {};
    }
}

} // namespace calendar

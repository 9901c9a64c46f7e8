#pragma once

// Japanese public holidays (国民の祝日 and the days the holiday law makes 休日) and the
// bank business days that follow from them.
//
// Every holiday is computed from the rules of the law in force on that day, from its
// start on 1948-07-20: the fixed and Monday holidays with the years each held, the
// equinox days by the published approximation, 振替休日 and 国民の休日, the moved days of
// 2020 and 2021 and the one-off days of the imperial ceremonies. Years from
// kFirstHolidayYear to kLastHolidayYear are computed; before 1948-07-20 and after
// kLastHolidayYear no day is a public holiday.
//
// All functions may be called from any thread: the first lookup builds an immutable
// table of every day of the covered years (about half a millisecond), later lookups only
// read it.

#include <QDate>
#include <QList>
#include <QString>

namespace calendar {

inline constexpr int kFirstHolidayYear = 1948;
// The equinox approximation is published for the years up to 2150.
inline constexpr int kLastHolidayYear = 2150;

struct Holiday {
    QDate date;
    QString name;
    friend bool operator==(const Holiday&, const Holiday&) = default;
};

// The holiday's Japanese name ("元日", "振替休日", "国民の休日", "即位礼正殿の儀", ...),
// or the empty text when the date is no public holiday or is invalid.
QString holidayName(const QDate& date);
bool isPublicHoliday(const QDate& date);

// The holidays of one year in date order, computed from the rules without the table
// (the table is built from this). Empty outside kFirstHolidayYear..kLastHolidayYear.
QList<Holiday> holidaysOfYear(int year);

// Banks are closed on Saturdays, Sundays, public holidays and on 12/31, 1/2 and 1/3
// (1/1 is a public holiday). The rule of today is applied to every year. False for an
// invalid date.
bool isBankHoliday(const QDate& date);

// The bank holidays of the month of a date, one bit a day (bit 0 the 1st), for code that
// asks about many days of one month; 0 for an invalid date.
quint32 bankHolidaysOfMonth(const QDate& date);

// The nearest bank business day on or before / on or after a date; an invalid date for
// an invalid date.
QDate previousBusinessDay(const QDate& date);
QDate nextBusinessDay(const QDate& date);

// What to do with a date that falls on a bank holiday.
enum class HolidayShift {
    前営業日, // the business day before
    翌営業日, // the business day after
    そのまま, // keep the date
};

// The date itself when it is a bank business day; otherwise moved by the policy.
QDate shiftOffBankHoliday(const QDate& date, HolidayShift shift);

// "月" "火" "水" "木" "金" "土" "日" for the day of the week; empty for an invalid date.
QString weekdayLetter(const QDate& date);

} // namespace calendar

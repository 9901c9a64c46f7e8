#pragma once

// Year-month texts in Western years ("2005年11月") or Japanese era years ("平成 17年11月"),
// and the reading of typed year-month texts. Era names, era years and the dates where one
// era gives way to the next all come from ICU's Japanese calendar.

#include <QDate>
#include <QString>

#include <optional>

namespace calendar {

// "yyyy年mm月" (era == false) or "<era name> ee年mm月" with a two-digit era year, era year 1
// written "01" (era == true). The empty text for an invalid date.
QString formatYearMonth(const QDate& date, bool era);

struct YearMonth {
    int year;
    int month;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

// Earliest and latest year-month that can be read, and the earliest and latest day the
// program holds a date for (the first day of the Meiji era, the last of 2099).
inline constexpr YearMonth kFirstYearMonth{1868, 9};
inline constexpr YearMonth kLastYearMonth{2099, 12};
inline QDate firstHeldDate() { return QDate(kFirstYearMonth.year, kFirstYearMonth.month, 8); }
inline QDate lastHeldDate() { return QDate(kLastYearMonth.year, kLastYearMonth.month, 31); }

// Reads a typed year-month. Full-width characters count as their ASCII forms and blanks are
// ignored. Western forms: yyyymm, yyyy/mm, yyyy-mm, yyyy.mm, yyyy年mm月 (month one or two
// digits, 月 optional), each optionally followed by a day that must exist (yyyymmdd,
// yyyy/mm/dd, yyyy年mm月dd日). Era forms: the era's kanji name or its initial (M, T, S, H, R,
// either case) followed by the era year (one or two digits, or 元 for the first year), a
// separator (/ - . ・ or 年) and the month, or followed by four digits "yymm".
// Refused (nothing returned): a month outside 1 to 12; an era year in which no day of the
// given month belongs to that era (平成31年5月, 令和1年4月, H32/1); a result outside
// kFirstYearMonth..kLastYearMonth; anything else. The middle dot that Japanese input methods
// write for a slash (・, halfwidth ･) is read as a slash.
std::optional<YearMonth> parseYearMonth(const QString& text);

// A day written with its era year but without the era's name, as the banks' files write
// YYMMDD: the day of the latest era in which era year, month and day exist and which is on
// or before notAfter (so "310430" is 平成31年4月30日 and "010501" 令和元年5月1日 while
// 令和31年 is still to come). Invalid when no era holds that day.
QDate dateFromEraDigits(int eraYear, int month, int day, const QDate& notAfter);

} // namespace calendar

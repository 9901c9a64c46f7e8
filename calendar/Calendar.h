#pragma once

// Calendar helpers of the main module (ModQuorel1): shifting a date, the length of a
// month, the first and last day of a month, and the two date texts the program uses.
// Dates travel between the parts of the program as QDate; "yyyy/mm/dd" is the text the
// user sees and SQLite stores them as "yyyy-mm-dd".

#include <QDate>
#include <QString>
#include <QVariant>

namespace calendar {

// Moves a date by count intervals and returns it as "yyyy/mm/dd".
// date: a QDate, or a text "yyyy/mm/dd" or "yyyy-mm-dd" (one- or two-digit month and day).
// A null value, an invalid QDate or an empty text is returned unchanged (as text: the
// empty text for null). A text that is not a date, an unknown interval or a result outside
// the years 1 to 9999 gives the empty text, so a caller can tell that nothing was computed.
// Intervals (case-insensitive): "yyyy" years, "q" quarters, "m" months, "ww" weeks,
// "d", "y" and "w" days. Years, quarters and months keep the day when it exists in the
// target month and otherwise take the month's last day (2005/03/31 - 1 month is
// 2005/02/28; that day then stays: + 1 month gives 2005/03/28).
QString AddDate(const QVariant& date, const QString& interval, int count);

// Number of days of the month of a date text (28 to 31), 0 for a null or empty text.
// A text that is not a readable date is taken character by character: year in the first
// four characters, month in the sixth and seventh; a month outside 1 to 12 gives 30.
int GetMonthDays(const QString& dateText);

// First day ("yyyy/mm/01") and last day of the calendar month of a date (QDate or date
// text). Returns false and leaves both outputs untouched when the date is null, empty or
// not a readable date.
bool GetMonthRange(const QVariant& date, QString& firstDay, QString& lastDay);

// The first and the last day of the month of a date; invalid for an invalid date.
QDate firstOfMonth(const QDate& date);
QDate lastOfMonth(const QDate& date);

// "yyyy/mm/dd"; the empty text for an invalid date or a year outside 1 to 9999.
QString toSlashText(const QDate& date);
// Reads "yyyy/mm/dd" (also one-digit month or day); an invalid date for anything else.
QDate fromSlashText(const QString& text);

// "yyyy-mm-dd" as stored in SQLite; the empty text for an invalid date.
QString toStoredText(const QDate& date);
// The same as the ten bytes written into `out`, for the loops that store many dates; false
// (nothing written) for an invalid date.
bool toStoredBytes(const QDate& date, char (&out)[10]);
// Reads "yyyy-mm-dd"; an invalid date for anything else.
QDate fromStoredText(const QString& text);

} // namespace calendar

#pragma once

// The first and last day of a month, and the two date texts the program uses. Dates
// travel between the parts of the program as QDate; "yyyy/mm/dd" is the text the user
// sees and SQLite stores them as "yyyy-mm-dd".

#include <QDate>
#include <QString>

namespace calendar {

// The first and the last day of the month of a date; invalid for an invalid date.
QDate firstOfMonth(const QDate& date);
QDate lastOfMonth(const QDate& date);

// "yyyy/mm/dd"; the empty text for an invalid date or a year outside 1 to 9999.
QString toSlashText(const QDate& date);

// "yyyy-mm-dd" as stored in SQLite; the empty text for an invalid date.
QString toStoredText(const QDate& date);
// The same as the ten bytes written into `out`, for the loops that store many dates; false
// (nothing written) for an invalid date.
bool toStoredBytes(const QDate& date, char (&out)[10]);
// Reads "yyyy-mm-dd"; an invalid date for anything else.
QDate fromStoredText(const QString& text);

} // namespace calendar

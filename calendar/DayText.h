#pragma once

#include <QDate>
#include <QString>

namespace calendar {

// A day as the grid shows it: a number of one or two digits gets two digits ("7" -> "07");
// any other text is returned as it is.
inline QString twoDigitDay(const QString& day)
{
    const QString trimmed = day.trimmed();
    bool number = trimmed.size() == 1 || trimmed.size() == 2;
    for (QChar c : trimmed)
        number = number && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    return number ? trimmed.rightJustified(2, QLatin1Char('0')) : day;
}

// The day of a date as two digits ("07"); the empty text for an invalid date.
inline QString twoDigitDay(const QDate& date)
{
    if (!date.isValid())
        return QString();
    const int day = date.day();
    const char digits[2] = {char('0' + day / 10), char('0' + day % 10)};
    return QString::fromLatin1(digits, 2);
}

} // namespace calendar

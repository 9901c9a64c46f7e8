#pragma once

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

} // namespace calendar

#include "Calendar.h"

#include <QStringView>

#include <algorithm>
#include <iterator>

namespace calendar {

namespace {

bool isAsciiDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Reads "y<sep>m<sep>d" with a four-digit year and a one- or two-digit month and day.
QDate parseDelimited(QStringView text, QChar separator)
{
    text = text.trimmed();
    const qsizetype first = text.indexOf(separator);
    if (first != 4)
        return {};
    const qsizetype second = text.indexOf(separator, first + 1);
    if (second < 0)
        return {};
    const QStringView year = text.first(first);
    const QStringView month = text.sliced(first + 1, second - first - 1);
    const QStringView day = text.sliced(second + 1);
    if (!isAsciiDigits(year) || !isAsciiDigits(month) || !isAsciiDigits(day) || month.size() > 2 || day.size() > 2)
        return {};
    return QDate(year.toInt(), month.toInt(), day.toInt());
}

bool inWritableRange(const QDate& date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

} // namespace

namespace {

// "yyyy" + separator + "mm" + separator + "dd", written digit by digit: the stored form is
// made for every line the program reads or writes.
void writeDate(const QDate& date, char separator, char (&text)[10])
{
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    const char digits[10] = {char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10), char('0' + year % 10), separator,
        char('0' + month / 10), char('0' + month % 10), separator, char('0' + day / 10), char('0' + day % 10)};
    std::copy(std::begin(digits), std::end(digits), std::begin(text));
}

QString dateText(const QDate& date, char separator)
{
    char text[10];
    writeDate(date, separator, text);
    return QString::fromLatin1(text, 10);
}

} // namespace

QString toSlashText(const QDate& date)
{
    if (!inWritableRange(date))
        return {};
    return dateText(date, '/');
}

QString toStoredText(const QDate& date)
{
    if (!inWritableRange(date))
        return {};
    return dateText(date, '-');
}

bool toStoredBytes(const QDate& date, char (&out)[10])
{
    if (!inWritableRange(date))
        return false;
    writeDate(date, '-', out);
    return true;
}

QDate fromStoredText(const QString& text)
{
    return parseDelimited(text, u'-');
}

QDate firstOfMonth(const QDate& date)
{
    return date.isValid() ? QDate(date.year(), date.month(), 1) : QDate();
}

QDate lastOfMonth(const QDate& date)
{
    return date.isValid() ? QDate(date.year(), date.month(), date.daysInMonth()) : QDate();
}

} // namespace calendar

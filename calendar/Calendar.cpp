#include "Calendar.h"

#include <QStringView>

#include <algorithm>
#include <iterator>
#include <optional>

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

// A date from a QDate or from a "yyyy/mm/dd" or "yyyy-mm-dd" text.
QDate dateOf(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString();
    const QDate slash = parseDelimited(text, u'/');
    return slash.isValid() ? slash : parseDelimited(text, u'-');
}

bool isEmptyDate(const QVariant& value)
{
    if (value.isNull())
        return true;
    if (value.metaType().id() == QMetaType::QDate)
        return !value.toDate().isValid();
    return value.toString().isEmpty();
}

bool inWritableRange(const QDate& date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

// Leading ASCII digits as a number, 0 when there are none.
int leadingNumber(QStringView text)
{
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysOfMonth(int year, int month)
{
    switch (month) {
    case 2:
        return isLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    default:
        return 30;
    }
}

// The shifted date, or nothing for an unknown interval. Counts that cannot land inside
// the years 1 to 9999 are refused before they reach QDate's integer arithmetic.
std::optional<QDate> shifted(const QDate& date, const QString& interval, int count)
{
    constexpr long long maxMonths = 12LL * 10000;
    constexpr long long maxDays = 366LL * 10000;
    const QString code = interval.toLower();
    const long long n = count;
    if (code == u"yyyy")
        return n * 12 > maxMonths || n * 12 < -maxMonths ? QDate() : date.addYears(count);
    if (code == u"q")
        return n * 3 > maxMonths || n * 3 < -maxMonths ? QDate() : date.addMonths(count * 3);
    if (code == u"m")
        return n > maxMonths || n < -maxMonths ? QDate() : date.addMonths(count);
    if (code == u"d" || code == u"y" || code == u"w")
        return date.addDays(n);
    if (code == u"ww")
        return n * 7 > maxDays || n * 7 < -maxDays ? QDate() : date.addDays(n * 7);
    return std::nullopt;
}

} // namespace

QString AddDate(const QVariant& date, const QString& interval, int count)
{
    if (isEmptyDate(date))
        return {}; // null, an invalid date and the empty text all come back as the empty text
    const QDate start = dateOf(date);
    if (!start.isValid())
        return {};
    const std::optional<QDate> result = shifted(start, interval, count);
    if (!result || !inWritableRange(*result))
        return {};
    return toSlashText(*result);
}

int GetMonthDays(const QString& dateText)
{
    if (dateText.isEmpty())
        return 0;
    const QDate date = dateOf(dateText);
    if (date.isValid())
        return date.daysInMonth();
    // Not a date: read the year and the month where the text "yyyy/mm/dd" keeps them.
    const QStringView text(dateText);
    const int year = leadingNumber(text.first(std::min<qsizetype>(4, text.size())));
    const int month = text.size() > 5 ? leadingNumber(text.sliced(5, std::min<qsizetype>(2, text.size() - 5))) : 0;
    return daysOfMonth(year, month);
}

bool GetMonthRange(const QVariant& date, QString& firstDay, QString& lastDay)
{
    if (isEmptyDate(date))
        return false;
    const QDate day = dateOf(date);
    if (!inWritableRange(day))
        return false;
    const QString text = toSlashText(day);
    const QString prefix = text.first(8);
    firstDay = prefix + QStringLiteral("01");
    lastDay = prefix + QStringLiteral("%1").arg(GetMonthDays(text), 2, 10, QLatin1Char('0'));
    return true;
}

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

QDate fromSlashText(const QString& text)
{
    return parseDelimited(text, u'/');
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

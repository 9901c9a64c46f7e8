#include "EraCalendar.h"

#include <QLoggingCategory>
#include <QRegularExpression>

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcEra, "quorel.schedule.era")

namespace calendar {

namespace {

constexpr qint64 kJulianDayOfEpoch = 2440588; // 1970-01-01
constexpr double kMillisPerDay = 86400000.0;

QString fromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Noon of the day in GMT, so that no zone offset can move the date.
UDate noonOf(const QDate& date)
{
    return static_cast<double>(date.toJulianDay() - kJulianDayOfEpoch) * kMillisPerDay + kMillisPerDay / 2;
}

QDate dateOf(UDate time)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(time / kMillisPerDay)) + kJulianDayOfEpoch);
}

// ICU's Japanese calendar and a formatter for "<era> yy年MM月", made once per thread.
class JapaneseCalendar {
public:
    JapaneseCalendar()
    {
        const icu::Locale locale("ja_JP@calendar=japanese");
        UErrorCode status = U_ZERO_ERROR;
        // "y=latn" writes the first year of an era as 01 instead of 元.
        format_ = std::make_unique<icu::SimpleDateFormat>(
            icu::UnicodeString::fromUTF8("GGGG yy年MM月"), icu::UnicodeString("y=latn"), locale, status);
        if (U_FAILURE(status)) {
            qCWarning(lcEra) << "ICU Japanese date format unavailable:" << u_errorName(status);
            format_.reset();
            return;
        }
        format_->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
        calendar_.reset(icu::Calendar::createInstance(icu::TimeZone::createTimeZone("GMT"), locale, status));
        if (U_FAILURE(status) || !calendar_ || std::string_view(calendar_->getType()) != "japanese") {
            qCWarning(lcEra) << "ICU Japanese calendar unavailable:" << u_errorName(status);
            format_.reset();
            calendar_.reset();
            return;
        }
        collectEraNames();
    }

    bool ok() const { return format_ && calendar_; }

    QString format(const QDate& date) const
    {
        icu::UnicodeString out;
        format_->format(noonOf(date), out);
        return fromIcu(out);
    }

    // The era index of the longest era name or initial that starts the text, and its length.
    std::optional<std::pair<int, qsizetype>> eraAtStart(const QString& text) const
    {
        std::optional<std::pair<int, qsizetype>> best;
        for (const auto& [name, era] : names_) {
            if (text.startsWith(name, Qt::CaseInsensitive) && (!best || name.size() > best->second))
                best = std::make_pair(era, name.size());
        }
        return best;
    }

    // The Gregorian year and month of a month given in era years (day 1 of that month as
    // ICU counts it), or nothing when no day of the month lies in that era year.
    std::optional<YearMonth> fromEra(int era, int eraYear, int month)
    {
        UErrorCode status = U_ZERO_ERROR;
        calendar_->clear();
        calendar_->set(UCAL_ERA, era);
        calendar_->set(UCAL_YEAR, eraYear);
        calendar_->set(UCAL_MONTH, month - 1);
        calendar_->set(UCAL_DATE, 1);
        const UDate time = calendar_->getTime(status);
        if (U_FAILURE(status))
            return std::nullopt;
        const QDate first = dateOf(time);
        if (!first.isValid())
            return std::nullopt;
        const QDate monthStart(first.year(), first.month(), 1);
        const QDate monthEnd(first.year(), first.month(), monthStart.daysInMonth());
        // An era begins or ends inside a month at most once, so the month belongs to the era
        // year when its first or its last day does.
        if (isInEraYear(monthStart, era, eraYear) || isInEraYear(monthEnd, era, eraYear))
            return YearMonth{first.year(), first.month()};
        return std::nullopt;
    }

    // The day of era year, month and day in the latest era that holds it on or before
    // notAfter; invalid when none does.
    QDate latestEraDate(int eraYear, int month, int day, const QDate& notAfter)
    {
        UErrorCode status = U_ZERO_ERROR;
        calendar_->setTime(noonOf(notAfter), status);
        int era = calendar_->get(UCAL_ERA, status);
        if (U_FAILURE(status))
            return {};
        for (; era >= 0; --era) {
            status = U_ZERO_ERROR;
            calendar_->clear();
            calendar_->set(UCAL_ERA, era);
            calendar_->set(UCAL_YEAR, eraYear);
            calendar_->set(UCAL_MONTH, month - 1);
            calendar_->set(UCAL_DATE, day);
            calendar_->set(UCAL_HOUR_OF_DAY, 12);
            const QDate found = dateOf(calendar_->getTime(status));
            // ICU rolls a day the era does not hold into another era or month: the day read
            // back must be the one asked for.
            if (U_FAILURE(status) || !found.isValid() || found > notAfter || found.month() != month || found.day() != day || !isInEraYear(found, era, eraYear))
                continue;
            return found;
        }
        return {};
    }

private:
    bool isInEraYear(const QDate& date, int era, int eraYear)
    {
        UErrorCode status = U_ZERO_ERROR;
        calendar_->setTime(noonOf(date), status);
        const int foundEra = calendar_->get(UCAL_ERA, status);
        const int foundYear = calendar_->get(UCAL_YEAR, status);
        return U_SUCCESS(status) && foundEra == era && foundYear == eraYear;
    }

    void collectEraNames()
    {
        const icu::DateFormatSymbols* symbols = format_->getDateFormatSymbols();
        int32_t count = 0;
        const icu::UnicodeString* names = symbols->getEraNames(count);
        addNames(names, count);
        names = symbols->getEras(count);
        addNames(names, count);
        names = symbols->getNarrowEras(count);
        addNames(names, count);
    }

    void addNames(const icu::UnicodeString* names, int32_t count)
    {
        for (int32_t era = 0; era < count; ++era) {
            const QString name = fromIcu(names[era]).trimmed();
            if (name.isEmpty())
                continue;
            names_.emplace_back(name, era);
        }
    }

    std::unique_ptr<icu::SimpleDateFormat> format_;
    std::unique_ptr<icu::Calendar> calendar_;
    std::vector<std::pair<QString, int>> names_;
};

JapaneseCalendar& japaneseCalendar()
{
    thread_local JapaneseCalendar calendar;
    return calendar;
}

// Full-width forms to ASCII (NFKC), the usual dash look-alikes to '-', the middle dot that
// Japanese input methods write for '/' (・, halfwidth ･) to '/', blanks removed.
QString normalised(const QString& text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC);
    QString out;
    out.reserve(folded.size());
    for (QChar c : folded) {
        if (c.isSpace())
            continue;
        switch (c.unicode()) {
        case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015:
        case 0x2212: case 0x30FC:
            out.append(u'-');
            break;
        case 0x30FB: case 0x00B7:
            out.append(u'/');
            break;
        default:
            out.append(c);
        }
    }
    return out;
}

bool before(const YearMonth& a, const YearMonth& b)
{
    return a.year < b.year || (a.year == b.year && a.month < b.month);
}

std::optional<YearMonth> checked(const YearMonth& value)
{
    if (value.month < 1 || value.month > 12 || before(value, kFirstYearMonth) || before(kLastYearMonth, value))
        return std::nullopt;
    return value;
}

bool dayExists(int year, int month, const QString& day)
{
    return day.isEmpty() || QDate(year, month, day.toInt()).isValid();
}

// A year followed by "<sep>m[<sep>d]", "年m[月[d[日]]]" or, without separators, "mm[dd]".
// The Western year has four digits; the era year one or two, or 元 (no separator-free form
// then: it needs exactly "yymm[dd]").
const QRegularExpression& restPattern(bool era)
{
    static const QRegularExpression western(QStringLiteral(
        "^([0-9]{4})(?:([/.\\-])([0-9]{1,2})(?:\\2([0-9]{1,2}))?|年([0-9]{1,2})(?:月(?:([0-9]{1,2})日?)?)?|([0-9]{2})([0-9]{2})?)$"));
    static const QRegularExpression eraYears(QStringLiteral(
        "^(元|[0-9]{1,2})(?:([/.\\-])([0-9]{1,2})(?:\\2([0-9]{1,2}))?|年([0-9]{1,2})(?:月(?:([0-9]{1,2})日?)?)?)$|^([0-9]{2})([0-9]{2})([0-9]{2})?$"));
    return era ? eraYears : western;
}

// The year, month and day (possibly empty) texts of a match of restPattern.
struct Parts {
    QString year;
    QString month;
    QString day;
};

std::optional<Parts> split(const QString& text, bool era)
{
    const QRegularExpressionMatch m = restPattern(era).match(text);
    if (!m.hasMatch())
        return std::nullopt;
    if (era && !m.captured(7).isEmpty())
        return Parts{m.captured(7), m.captured(8), m.captured(9)};
    if (!m.captured(3).isEmpty())
        return Parts{m.captured(1), m.captured(3), m.captured(4)};
    if (!m.captured(5).isEmpty())
        return Parts{m.captured(1), m.captured(5), m.captured(6)};
    return Parts{m.captured(1), m.captured(7), m.captured(8)};
}

} // namespace

QString formatYearMonth(const QDate& date, bool era)
{
    if (!date.isValid())
        return {};
    if (era && japaneseCalendar().ok())
        return japaneseCalendar().format(date);
    return QStringLiteral("%1年%2月").arg(date.year(), 4, 10, QLatin1Char('0')).arg(date.month(), 2, 10, QLatin1Char('0'));
}

QDate dateFromEraDigits(int eraYear, int month, int day, const QDate& notAfter)
{
    JapaneseCalendar& calendar = japaneseCalendar();
    if (!calendar.ok() || eraYear < 1 || month < 1 || month > 12 || day < 1 || day > 31 || !notAfter.isValid())
        return {};
    return calendar.latestEraDate(eraYear, month, day, notAfter);
}

std::optional<YearMonth> parseYearMonth(const QString& text)
{
    const QString input = normalised(text);
    if (input.isEmpty())
        return std::nullopt;

    if (input.front() >= u'0' && input.front() <= u'9') {
        const std::optional<Parts> parts = split(input, false);
        if (!parts)
            return std::nullopt;
        const YearMonth value{parts->year.toInt(), parts->month.toInt()};
        if (!checked(value) || !dayExists(value.year, value.month, parts->day))
            return std::nullopt;
        return value;
    }

    JapaneseCalendar& calendar = japaneseCalendar();
    if (!calendar.ok())
        return std::nullopt;
    const auto era = calendar.eraAtStart(input);
    if (!era)
        return std::nullopt;
    const std::optional<Parts> parts = split(input.sliced(era->second), true);
    if (!parts)
        return std::nullopt;
    const int eraYear = parts->year == u"元" ? 1 : parts->year.toInt();
    const int month = parts->month.toInt();
    if (eraYear < 1 || month < 1 || month > 12)
        return std::nullopt;
    const std::optional<YearMonth> value = calendar.fromEra(era->first, eraYear, month);
    if (!value || !checked(*value) || !dayExists(value->year, value->month, parts->day))
        return std::nullopt;
    return value;
}

} // namespace calendar

#include "GridEditing.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace schedule {

namespace {

// A day given as a number: rounded half away from zero as two digits would show it.
std::optional<int> dayNumber(const QString& text)
{
    bool numeric = false;
    const double value = QLocale::c().toDouble(text, &numeric);
    if (!numeric || !std::isfinite(value) || std::abs(value) > 1e6)
        return std::nullopt;
    return static_cast<int>(std::round(value));
}

// A day given as a date, the way a spreadsheet copies one: "2027/03/08", "2027-3-8",
// "2027年3月8日", or without the year "3/8", "3月8日". The date must lie in the month
// shown: its year (when given) and month must be the shown ones.
std::optional<int> dayOfDate(const QDate& month, const QString& text)
{
    static const QRegularExpression written(QStringLiteral(
        "^(?:(\\d{4})\\s*(?:/|-|年)\\s*)?(\\d{1,2})\\s*(?:/|-|月)\\s*(\\d{1,2})\\s*日?$"));
    const QRegularExpressionMatch match = written.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const bool yearGiven = match.capturedLength(1) > 0;
    // A separator pair must agree: "2027/3-8" and "3月8" are not dates.
    const QString separators = QString(text).remove(QRegularExpression(QStringLiteral("[\\d\\s]")));
    static const QStringList accepted = {QStringLiteral("//"), QStringLiteral("--"), QStringLiteral("年月日"), QStringLiteral("年月"),
        QStringLiteral("/"), QStringLiteral("-"), QStringLiteral("月日")};
    if (!accepted.contains(separators) || (yearGiven != (separators.size() >= 2 && separators != QStringLiteral("月日"))))
        return std::nullopt;
    if (yearGiven && match.captured(1).toInt() != month.year())
        return std::nullopt;
    if (match.captured(2).toInt() != month.month())
        return std::nullopt;
    return match.captured(3).toInt();
}

} // namespace

std::optional<QDate> composeDay(const QDate& month, const QVariant& dayCell)
{
    if (!month.isValid() || dayCell.isNull())
        return std::nullopt;
    const QString text = dayCell.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    std::optional<int> day = dayNumber(text);
    if (!day)
        day = dayOfDate(month, text);
    if (!day || *day < 1 || *day > month.daysInMonth())
        return std::nullopt;
    return QDate(month.year(), month.month(), *day);
}

} // namespace schedule

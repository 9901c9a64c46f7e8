#include "Amount.h"
#include "AmountText.h"

#include <QRegularExpression>

#include <limits>

__extension__ typedef unsigned __int128 quorel_u128;
__extension__ typedef __int128 quorel_i128;

namespace ledger {

std::optional<Amount> Amount::fromYen(std::int64_t yen)
{
    std::int64_t units = 0;
    if (__builtin_mul_overflow(yen, kScale, &units))
        return std::nullopt;
    return Amount(units);
}

std::optional<Amount> Amount::plus(Amount other) const
{
    std::int64_t result = 0;
    if (__builtin_add_overflow(units_, other.units_, &result))
        return std::nullopt;
    return Amount(result);
}

std::optional<Amount> Amount::minus(Amount other) const
{
    std::int64_t result = 0;
    if (__builtin_sub_overflow(units_, other.units_, &result))
        return std::nullopt;
    return Amount(result);
}

std::optional<Amount> Amount::fromVariant(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::UInt:
        return Amount(value.toLongLong());
    case QMetaType::QString:
        return parse(value.toString());
    default: {
        bool ok = false;
        const qlonglong units = value.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return Amount(units);
    }
    }
}

namespace {

// Maps full-width digits and signs to ASCII; other characters are kept.
QChar narrow(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19)
        return QChar(u - 0xFF10 + '0');
    switch (u) {
    case 0xFF0C: // full-width comma
    case 0x3001: // ideographic comma
        return QLatin1Char(',');
    case 0xFF0E: // full-width full stop
        return QLatin1Char('.');
    case 0xFF0D: // full-width hyphen-minus
    case 0x2212: // minus sign
    case 0x2010:
    case 0x2011:
    case 0x30FC: // long vowel mark, often typed for a minus in Japanese input
        return QLatin1Char('-');
    case 0xFF0B:
        return QLatin1Char('+');
    case 0x3000:
        return QLatin1Char(' ');
    default:
        return c;
    }
}

} // namespace

std::optional<Amount> Amount::parse(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        s.append(narrow(c));
    s = s.trimmed();
    if (s.isEmpty() || !store::hasValidThousandsGrouping(s))
        return std::nullopt;

    bool negative = false;
    qsizetype i = 0;
    if (s.at(0) == QLatin1Char('-') || s.at(0) == QLatin1Char('+')) {
        negative = s.at(0) == QLatin1Char('-');
        ++i;
    }
    // Magnitudes are accumulated as unsigned so that the most negative value fits.
    quorel_u128 whole = 0;
    quorel_u128 fraction = 0;
    int decimals = 0;
    bool digits = false;
    bool inFraction = false;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
            const int d = c.unicode() - '0';
            if (inFraction) {
                if (++decimals > 4)
                    return std::nullopt;
                fraction = fraction * 10 + static_cast<unsigned>(d);
            } else {
                whole = whole * 10 + static_cast<unsigned>(d);
                if (whole > static_cast<quorel_u128>(std::numeric_limits<std::int64_t>::max()))
                    return std::nullopt;
            }
        } else if (c == QLatin1Char(',') && !inFraction) {
            continue;
        } else if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    while (decimals < 4) {
        fraction *= 10;
        ++decimals;
    }
    const quorel_u128 magnitude = whole * kScale + fraction;
    const quorel_u128 limit = negative
        ? static_cast<quorel_u128>(std::numeric_limits<std::int64_t>::max()) + 1
        : static_cast<quorel_u128>(std::numeric_limits<std::int64_t>::max());
    if (magnitude > limit)
        return std::nullopt;
    if (negative)
        return Amount(static_cast<std::int64_t>(-static_cast<quorel_i128>(magnitude)));
    return Amount(static_cast<std::int64_t>(magnitude));
}

bool Amount::isOutOfRange(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        s.append(narrow(c));
    static const QRegularExpression written(QStringLiteral("^[+-]?[0-9,]*[0-9][0-9,]*(\\.[0-9]{0,4})?$"));
    return written.match(s.trimmed()).hasMatch() && !parse(text);
}

TypedAmount Amount::fromTyped(const QString& text)
{
    if (text.trimmed().isEmpty())
        return {};
    const std::optional<Amount> parsed = parse(text);
    if (!parsed)
        return {std::nullopt, isOutOfRange(text) ? AmountRefusal::OutOfRange : AmountRefusal::NotAnAmount};
    if (!parsed->isWholeYen())
        return {std::nullopt, AmountRefusal::Fraction};
    return {parsed, std::nullopt};
}

QString Amount::format() const
{
    if (units_ == 0)
        return QString();
    const bool negative = units_ < 0;
    const quorel_u128 magnitude = negative ? static_cast<quorel_u128>(-static_cast<quorel_i128>(units_)) : static_cast<quorel_u128>(units_);
    const QString digits = QString::number(static_cast<std::uint64_t>(magnitude / kScale));
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3 + 6);
    const qsizetype lead = digits.size() % 3;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i != 0 && (i - lead) % 3 == 0)
            grouped.append(QLatin1Char(','));
        grouped.append(digits.at(i));
    }
    if (const auto fraction = static_cast<std::uint64_t>(magnitude % kScale)) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        grouped += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + grouped : grouped;
}

QString Amount::widestText()
{
    constexpr std::int64_t smallestYen = std::numeric_limits<std::int64_t>::min() / kScale;
    return Amount(smallestYen * kScale).format();
}

QString Amount::toExactString() const
{
    const bool negative = units_ < 0;
    const quorel_u128 magnitude = negative ? static_cast<quorel_u128>(-static_cast<quorel_i128>(units_)) : static_cast<quorel_u128>(units_);
    const auto whole = static_cast<std::uint64_t>(magnitude / kScale);
    auto fraction = static_cast<std::uint64_t>(magnitude % kScale);
    QString text = QString::number(whole);
    if (fraction != 0) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        text += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + text : text;
}

QString formatAmount(const QVariant& value)
{
    const auto amount = Amount::fromVariant(value);
    return amount ? amount->format() : QString();
}

} // namespace ledger

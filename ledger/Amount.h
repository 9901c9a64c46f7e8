#pragma once

#include <QString>
#include <QVariant>

#include <compare>
#include <cstdint>
#include <optional>

namespace ledger {

// Why typed or pasted text was not taken as an amount.
enum class AmountRefusal {
    NotAnAmount, // letters, a misplaced sign or the like
    OutOfRange,  // written as an amount, but past the largest or smallest one
    Fraction,    // a fraction of a yen: amounts are typed in whole yen
};

class Amount;

// Text typed or pasted into an amount: blank (neither set), an amount, or a refusal.
struct TypedAmount;

// A currency amount held exactly in ten-thousandths (1 yen = 10000), as the data files
// store it. Arithmetic checks for 64-bit overflow.
class Amount {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Amount() = default;
    static constexpr Amount fromUnits(std::int64_t tenThousandths) { return Amount(tenThousandths); }
    static std::optional<Amount> fromYen(std::int64_t yen);

    constexpr std::int64_t units() const { return units_; }
    constexpr bool isZero() const { return units_ == 0; }

    // Sum or difference, or nothing when it does not fit in 64 bits.
    std::optional<Amount> plus(Amount other) const;
    std::optional<Amount> minus(Amount other) const;

    // Reads a stored value: null gives nothing; integers are ten-thousandths.
    static std::optional<Amount> fromVariant(const QVariant& value);
    QVariant toVariant() const { return QVariant(static_cast<qlonglong>(units_)); }

    // Parses typed input: ASCII or full-width digits, comma groups, a leading minus
    // (ASCII, full-width or the minus sign), an optional decimal point with up to four
    // decimals; blanks around are ignored. Empty or unreadable text or a value out of
    // range gives nothing.
    static std::optional<Amount> parse(const QString& text);
    // True for text written as an amount (sign, digits, commas, up to four decimals) whose
    // value lies past the largest or smallest amount: parse() refuses it for its size alone.
    static bool isOutOfRange(const QString& text);

    // Text the user typed or pasted: whole yen only. A fraction of a yen is refused rather
    // than rounded ("1.5"), while "1.0" is one yen.
    static TypedAmount fromTyped(const QString& text);

    bool isWholeYen() const { return units_ % kScale == 0; }

    // "#,###": comma groups, a leading minus, an empty text for zero; a fraction of a yen
    // (only an older file holds one) is shown with its decimals ("1,234.5"), never rounded.
    QString format() const;
    // The widest text format() gives of an amount typed in whole yen: that of the smallest
    // one ("-922,337,203,685,477"). A column that shows it whole shows every such amount.
    static QString widestText();

    // The amount with its four decimals, for exact display and round trips ("-0.99", "12").
    QString toExactString() const;

    friend constexpr auto operator<=>(Amount, Amount) = default;

private:
    constexpr explicit Amount(std::int64_t units)
        : units_(units)
    {
    }
    std::int64_t units_ = 0;
};

struct TypedAmount {
    std::optional<Amount> value;
    std::optional<AmountRefusal> refusal;
    bool blank() const { return !value && !refusal; }
};

// Adds an amount to a running total: a null amount adds nothing; a total that once did not
// fit in 64 bits stays unknown (nothing).
inline void addTo(std::optional<Amount>& total, const std::optional<Amount>& amount)
{
    if (total && amount)
        total = total->plus(*amount);
}

// "#,###" of a stored value: blank for null and for zero.
QString formatAmount(const QVariant& value);

} // namespace ledger

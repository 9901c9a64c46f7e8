#pragma once

#include <QDate>
#include <QString>

#include <map>
#include <optional>

namespace SQLite {
class Database;
}
// Declared without its Japanese enumerators (Holidays.h), which moc cannot read in the
// headers of Q_OBJECT classes that include this one.
namespace calendar {
enum class HolidayShift;
}

namespace ledger {

// The payees' payment rules (支払日規則, by the payee's name) and the book's setting for a
// payment day on a bank holiday (支払日設定), both in the main file.
inline const QString kPaymentRuleTable = QStringLiteral("支払日規則");
inline const QString kPaymentSettingTable = QStringLiteral("支払日設定");

// The usual day 末日: the month's last day, whatever its length.
inline constexpr int kMonthEnd = 0;

// When a payee is paid: its usual day of the month, and what a day on a bank holiday does.
struct PaymentRule {
    // 1 to 31, or kMonthEnd; none keeps the day of last month's line.
    std::optional<int> day;
    // None follows the book's setting.
    std::optional<calendar::HolidayShift> shift;

    bool isEmpty() const { return !day && !shift; }
    friend bool operator==(const PaymentRule&, const PaymentRule&) = default;
};

// Rules by the payee's exact name.
using PaymentRules = std::map<QString, PaymentRule>;

// The book's setting when nothing is stored: 前営業日.
calendar::HolidayShift defaultShift();

// "25日" or "末日"; the empty text for a day that is none of them.
QString usualDayText(int day);
// A usual day as written in a list or typed: "25", "25日", "２５日" or "末日"; nothing for
// anything else (0, 32, "25.5", text).
std::optional<int> usualDayFromText(const QString& text);
// "前営業日", "翌営業日", "そのまま", and back (nothing for any other text).
QString shiftText(calendar::HolidayShift shift);
std::optional<calendar::HolidayShift> shiftFromText(const QString& text);

// The usual day in the month of `month`: a day past the month's end, and 末日, are its
// last day. Invalid for an invalid month or a day outside 0 to 31.
QDate usualDate(int day, const QDate& month);

// The date, moved off a bank holiday by `shift` without leaving its month: when the
// business day in that direction lies in another month, the nearest one in the other
// direction is taken (the 1st on a Sunday with 前営業日 goes to the 2nd). The date itself
// when it is a business day, for そのまま, and for an invalid date.
QDate businessDayInMonth(const QDate& date, calendar::HolidayShift shift);

// Every payee's rule. Throws store::DbError.
PaymentRules readPaymentRules(SQLite::Database& main);
// Stores the payee's rule; an empty rule removes it. The caller holds the transaction.
// Throws store::DbError.
void writePaymentRule(SQLite::Database& main, const QString& payee, const PaymentRule& rule);

// The book's setting; defaultShift() when none is stored or the stored text is unknown.
// Throws store::DbError.
calendar::HolidayShift readDefaultShift(SQLite::Database& main);
// Stores the book's setting. The caller holds the transaction. Throws store::DbError.
void writeDefaultShift(SQLite::Database& main, calendar::HolidayShift shift);

} // namespace ledger

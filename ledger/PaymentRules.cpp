#include "PaymentRules.h"

#include "Calendar.h"
#include "Holidays.h"
#include "Sql.h"

#include <algorithm>

namespace ledger {

using calendar::HolidayShift;

HolidayShift defaultShift()
{
    return HolidayShift::前営業日;
}

QString usualDayText(int day)
{
    if (day == kMonthEnd)
        return QStringLiteral("末日");
    return day >= 1 && day <= 31 ? QStringLiteral("%1日").arg(day) : QString();
}

std::optional<int> usualDayFromText(const QString& text)
{
    QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (plain == QStringLiteral("末日"))
        return kMonthEnd;
    if (plain.endsWith(u'日'))
        plain.chop(1);
    if (plain.isEmpty() || plain.size() > 2 || !std::all_of(plain.begin(), plain.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int day = plain.toInt();
    return day >= 1 && day <= 31 ? std::optional<int>(day) : std::nullopt;
}

QString shiftText(HolidayShift shift)
{
    switch (shift) {
    case HolidayShift::前営業日:
        return QStringLiteral("前営業日");
    case HolidayShift::翌営業日:
        return QStringLiteral("翌営業日");
    case HolidayShift::そのまま:
        return QStringLiteral("そのまま");
    }
    return {};
}

std::optional<HolidayShift> shiftFromText(const QString& text)
{
    for (HolidayShift shift : {HolidayShift::前営業日, HolidayShift::翌営業日, HolidayShift::そのまま}) {
        if (text.trimmed() == shiftText(shift))
            return shift;
    }
    return std::nullopt;
}

QDate usualDate(int day, const QDate& month)
{
    if (!month.isValid() || day < kMonthEnd || day > 31)
        return {};
    const QDate last = calendar::lastOfMonth(month);
    return day == kMonthEnd || day >= last.day() ? last : QDate(month.year(), month.month(), day);
}

QDate businessDayInMonth(const QDate& date, HolidayShift shift)
{
    if (!date.isValid() || shift == HolidayShift::そのまま || !calendar::isBankHoliday(date))
        return date;
    const auto inMonth = [&](const QDate& moved) { return moved.isValid() && moved.year() == date.year() && moved.month() == date.month(); };
    const QDate wanted = calendar::shiftOffBankHoliday(date, shift);
    if (inMonth(wanted))
        return wanted;
    const QDate other = calendar::shiftOffBankHoliday(date, shift == HolidayShift::前営業日 ? HolidayShift::翌営業日 : HolidayShift::前営業日);
    return inMonth(other) ? other : date;
}

PaymentRules readPaymentRules(SQLite::Database& main)
{
    PaymentRules rules;
    const auto rows = store::queryRows(main, QStringLiteral("SELECT 支払先名, 支払日, 休日 FROM %1 ORDER BY 支払先名").arg(store::quoteIdentifier(kPaymentRuleTable)));
    for (const store::Row& row : rows) {
        PaymentRule rule;
        if (!row[1].isNull()) {
            bool number = false;
            const qlonglong day = row[1].toLongLong(&number);
            if (!number || day < kMonthEnd || day > 31)
                continue; // a day no month has: the row is not a rule
            rule.day = static_cast<int>(day);
        }
        if (!row[2].isNull())
            rule.shift = shiftFromText(row[2].toString());
        if (!row[0].isNull() && !rule.isEmpty())
            rules.emplace(row[0].toString(), rule);
    }
    return rules;
}

void writePaymentRule(SQLite::Database& main, const QString& payee, const PaymentRule& rule)
{
    const QString table = store::quoteIdentifier(kPaymentRuleTable);
    if (rule.isEmpty()) {
        store::exec(main, QStringLiteral("DELETE FROM %1 WHERE 支払先名 = ?").arg(table), {payee});
        return;
    }
    store::exec(main,
        QStringLiteral("INSERT INTO %1 (支払先名, 支払日, 休日) VALUES (?, ?, ?) ON CONFLICT (支払先名) DO UPDATE SET 支払日 = excluded.支払日, 休日 = excluded.休日").arg(table),
        {payee, rule.day ? QVariant(*rule.day) : QVariant(), rule.shift ? QVariant(shiftText(*rule.shift)) : QVariant()});
}

HolidayShift readDefaultShift(SQLite::Database& main)
{
    const QVariant stored = store::scalar(main, QStringLiteral("SELECT 休日 FROM %1 ORDER BY rowid LIMIT 1").arg(store::quoteIdentifier(kPaymentSettingTable)));
    return stored.isNull() ? defaultShift() : shiftFromText(stored.toString()).value_or(defaultShift());
}

void writeDefaultShift(SQLite::Database& main, HolidayShift shift)
{
    const QString table = store::quoteIdentifier(kPaymentSettingTable);
    if (store::exec(main, QStringLiteral("UPDATE %1 SET 休日 = ? WHERE rowid = (SELECT min(rowid) FROM %1)").arg(table), {shiftText(shift)}) == 0)
        store::exec(main, QStringLiteral("INSERT INTO %1 (休日) VALUES (?)").arg(table), {shiftText(shift)});
}

} // namespace ledger

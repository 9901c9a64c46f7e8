#include "PreviousMonth.h"

#include "Calendar.h"
#include "Holidays.h"

#include <algorithm>
#include <map>

namespace schedule {

namespace {

// The day a repeated line gets before a bank holiday moves it.
QDate plannedDate(const ledger::StoredLine& stored, const ledger::PaymentRule* rule, const QDate& first)
{
    if (rule && rule->day)
        return ledger::usualDate(*rule->day, first);
    const int day = std::min(stored.date.isValid() ? stored.date.day() : 1, first.daysInMonth());
    return QDate(first.year(), first.month(), day);
}

} // namespace

std::vector<std::size_t> linesAlreadyOnSheet(const SheetLines& sheet, const std::vector<ledger::StoredLine>& previous)
{
    std::map<QString, int> onSheet;
    for (const SheetLine& line : sheet) {
        if (line.hasPayee())
            ++onSheet[line.payee];
    }
    std::vector<std::size_t> held;
    for (std::size_t i = 0; i < previous.size(); ++i) {
        const auto found = onSheet.find(previous[i].payee);
        if (found != onSheet.end() && found->second > 0) {
            --found->second;
            held.push_back(i);
        }
    }
    return held;
}

QString repeatedLineText(const ledger::StoredLine& line)
{
    const QString amount = line.scheduled ? line.scheduled->format() : QString();
    return amount.isEmpty() ? line.payee : QStringLiteral("%1 %2").arg(line.payee, amount);
}

CopyOutcome repeatPreviousMonth(SheetLines& sheet, const std::vector<ledger::StoredLine>& previous, const QDate& month, const RepeatRules& rules)
{
    if (previous.empty())
        return {CopyOutcome::NothingStored, 0};
    const auto lastUsed = std::find_if(sheet.rbegin(), sheet.rend(), [](const SheetLine& line) { return line.holdsData(); });
    const auto firstEmpty = static_cast<std::size_t>(sheet.rend() - lastUsed);
    const std::size_t room = sheet.size() - firstEmpty;
    if (room < previous.size())
        return {CopyOutcome::NoRoom, static_cast<int>(previous.size() - room)};
    const QDate first = calendar::firstOfMonth(month);
    CopyOutcome outcome{CopyOutcome::Copied, static_cast<int>(previous.size())};
    for (std::size_t i = 0; i < previous.size(); ++i) {
        const ledger::StoredLine& stored = previous[i];
        const auto found = rules.payees.find(stored.payee);
        const ledger::PaymentRule* rule = found == rules.payees.end() ? nullptr : &found->second;
        const QDate planned = plannedDate(stored, rule, first);
        const calendar::HolidayShift shift = rule && rule->shift ? *rule->shift : rules.fallback;
        const QDate date = ledger::businessDayInMonth(planned, shift);
        const int row = static_cast<int>(firstEmpty + i);
        SheetLine& line = sheet[firstEmpty + i];
        setLineDate(line, date);
        line.payee = stored.payee;
        line.scheduled = stored.scheduled.value_or(ledger::Amount());
        line.paid = ledger::Amount();
        if (date != planned)
            outcome.moved.push_back({row, stored.payee, planned, date});
        else if (calendar::isBankHoliday(date))
            outcome.onHoliday.push_back({row, stored.payee, planned, date});
    }
    return outcome;
}

} // namespace schedule

#include "PreviousMonth.h"

#include "Calendar.h"

#include <algorithm>

namespace schedule {

CopyOutcome repeatPreviousMonth(SheetLines& sheet, const std::vector<ledger::StoredLine>& previous, const QDate& month)
{
    if (previous.empty())
        return {CopyOutcome::NothingStored, 0};
    const auto lastUsed = std::find_if(sheet.rbegin(), sheet.rend(), [](const SheetLine& line) { return line.holdsData(); });
    const auto firstEmpty = static_cast<std::size_t>(sheet.rend() - lastUsed);
    const std::size_t room = sheet.size() - firstEmpty;
    if (room < previous.size())
        return {CopyOutcome::NoRoom, static_cast<int>(previous.size() - room)};
    const QDate first = calendar::firstOfMonth(month);
    for (std::size_t i = 0; i < previous.size(); ++i) {
        const ledger::StoredLine& stored = previous[i];
        SheetLine& line = sheet[firstEmpty + i];
        const int day = std::min(stored.date.isValid() ? stored.date.day() : 1, first.daysInMonth());
        line.date = QDate(first.year(), first.month(), day);
        line.day = QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0'));
        line.payee = stored.payee;
        line.scheduled = stored.scheduled.value_or(ledger::Amount());
        line.paid = ledger::Amount();
    }
    return {CopyOutcome::Copied, static_cast<int>(previous.size())};
}

} // namespace schedule

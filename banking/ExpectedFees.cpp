#include "ExpectedFees.h"

#include "AccountStore.h"
#include "FeeSettingsStore.h"
#include "PayeeBearers.h"
#include "StoredLines.h"

#include <set>

namespace banking {

qint64 expectedFees(const std::vector<SheetEntry>& lines, const PayeeAccounts& accounts, const FeeContext& fees)
{
    std::set<QDate> days;
    for (const SheetEntry& line : lines)
        days.insert(line.date);
    qint64 total = 0;
    for (const QDate& day : days)
        total += totalsOf(planTransfers(lines, day, accounts, {}, fees).ready).charged;
    return total;
}

std::map<QDate, qint64> expectedMonthFees(SQLite::Database& main, const QDate& first, const QDate& end)
{
    std::map<QDate, qint64> months;
    AccountStore store(main);
    const std::optional<Sender> sender = store.sender();
    if (!sender || !first.isValid())
        return months;
    FeeContext fees{FeeSettingsStore(main).read(), PayeeBearers(main).all(), sender->account};
    const PayeeAccounts accounts = store.payeeAccounts();
    for (QDate month(first.year(), first.month(), 1); month < end; month = month.addMonths(1)) {
        std::vector<SheetEntry> lines;
        for (const ledger::StoredLine& stored : ledger::monthLines(main, month))
            lines.push_back({-1, stored.date, stored.payee, stored.scheduled, stored.paid});
        if (const qint64 charged = expectedFees(lines, accounts, fees); charged > 0)
            months.emplace(month, charged);
    }
    return months;
}

} // namespace banking

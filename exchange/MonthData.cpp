#include "MonthData.h"

#include "Calendar.h"
#include "EraCalendar.h"
#include "Book.h"
#include "StoredLines.h"
#include "Session.h"

namespace exchange {

MonthData readStoredMonth(store::Session& session, const QDate& month)
{
    MonthData data;
    data.month = calendar::firstOfMonth(month);
    data.caption = calendar::formatYearMonth(data.month, session.settings.eraYears());
    ledger::Book book(session.mainDb());
    data.繰越額 = book.opening(data.month).carry();
    data.予定額累計 = book.cumulative();
    data.予定額月計 = ledger::Amount();
    data.支払額月計 = ledger::Amount();
    for (const ledger::StoredLine& stored : ledger::monthLines(session.mainDb(), data.month)) {
        StoredLine line{stored.date, stored.lineNumber, stored.payee, stored.scheduled, stored.paid, stored.balance};
        ledger::addTo(data.予定額月計, line.予定額);
        ledger::addTo(data.支払額月計, line.支払額);
        data.lines.push_back(std::move(line));
    }
    return data;
}

std::vector<MonthData> readStoredMonths(store::Session& session, const QDate& from, const QDate& to)
{
    std::vector<MonthData> months;
    if (!from.isValid() || !to.isValid())
        return months;
    for (QDate month(from.year(), from.month(), 1); month <= to; month = month.addMonths(1))
        months.push_back(readStoredMonth(session, month));
    return months;
}

QString monthName(const QDate& month)
{
    return month.toString(QStringLiteral("yyyy年MM月"));
}

} // namespace exchange

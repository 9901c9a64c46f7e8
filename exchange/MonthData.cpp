#include "MonthData.h"

#include "Calendar.h"
#include "EraCalendar.h"
#include "Book.h"
#include "MonthFigures.h"
#include "StoredLines.h"
#include "Session.h"

namespace exchange {

MonthData readStoredMonth(store::Session& session, const QDate& month)
{
    MonthData data;
    data.month = calendar::firstOfMonth(month);
    data.caption = calendar::formatYearMonth(data.month, session.settings.eraYears());
    ledger::Book book(session.mainDb());
    const std::vector<ledger::StoredLine> stored = ledger::monthLines(session.mainDb(), data.month);
    std::vector<ledger::LineAmounts> amounts;
    amounts.reserve(stored.size());
    for (const ledger::StoredLine& line : stored)
        amounts.push_back({line.date, !line.payee.isEmpty(), line.scheduled, line.paid});
    const ledger::MonthFigures figures = ledger::figureMonth(data.month, book.opening(data.month).carry(), amounts);
    data.繰越額 = figures.opening;
    data.予定額累計 = book.cumulative();
    data.予定額月計 = figures.scheduled;
    data.支払額月計 = figures.paid;
    for (int i : figures.order) {
        const ledger::StoredLine& line = stored[static_cast<std::size_t>(i)];
        data.lines.push_back({line.date, line.lineNumber, line.payee, line.scheduled, line.paid, figures.lines[static_cast<std::size_t>(i)].balance});
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

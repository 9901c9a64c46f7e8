#include "MonthData.h"

#include "Calendar.h"
#include "EraCalendar.h"
#include "MonthSheet.h"
#include "Session.h"
#include "Sql.h"

namespace exporting {

namespace {

// Adds an amount to a running total; an overflow leaves the total blank for good.
void addTo(std::optional<store::Amount>& total, const std::optional<store::Amount>& amount)
{
    if (total && amount)
        total = total->plus(*amount);
}

} // namespace

MonthData readStoredMonth(store::Session& session, const QDate& month)
{
    MonthData data;
    data.month = QDate(month.year(), month.month(), 1);
    const QDate last = data.month.addMonths(1).addDays(-1);
    data.caption = calendar::formatYearMonth(data.month, session.settings.eraYears());
    data.繰越額 = schedule::Get繰越額(session.mainDb(), data.month);
    data.予定額累計 = schedule::Get累計額(session.mainDb());
    data.予定額月計 = store::Amount();
    data.支払額月計 = store::Amount();

    const auto rows = store::queryRows(session.mainDb(),
        QStringLiteral("SELECT 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 WHERE 日付 >= ? AND 日付 <= ? ORDER BY 日付, 行番号"),
        {calendar::toStoredText(data.month), calendar::toStoredText(last)});
    data.lines.reserve(rows.size());
    for (const store::Row& row : rows) {
        StoredLine line;
        line.日付 = calendar::fromStoredText(row[0].toString());
        line.行番号 = row[1].toLongLong();
        line.支払先名 = row[2].isNull() ? QString() : row[2].toString();
        line.予定額 = store::Amount::fromVariant(row[3]);
        line.支払額 = store::Amount::fromVariant(row[4]);
        line.残高 = store::Amount::fromVariant(row[5]);
        addTo(data.予定額月計, line.予定額);
        addTo(data.支払額月計, line.支払額);
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

} // namespace exporting

#include "Overview.h"

#include "BalanceChain.h"
#include "Book.h"
#include "CarryOverTable.h"
#include "Holidays.h"
#include "Prepared.h"
#include "StoredLines.h"

#include <algorithm>

namespace ledger {

namespace {

const QString kRangeSql = QStringLiteral("SELECT 日付, 予定額, 支払額 FROM %1 WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid").arg(kLinesTable);

QString storedText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// A stored day: the date, and its year and month.
struct StoredDay {
    QDate date;
    int year = 0;
    int month = 0;
};

StoredDay parseStoredDate(QByteArrayView text)
{
    StoredDay day{storedDate(text)};
    day.date.getDate(&day.year, &day.month, nullptr);
    return day;
}

// Builds the months as the lines come in book order, on the book's balance chain.
class Accumulator {
public:
    Accumulator(Overview& overview, Amount opening, const CarryOvers& carries)
        : overview_(overview)
        , chain_(overview.first, opening, carries)
        , firstYear_(overview.first.year())
        , firstMonth_(overview.first.month())
    {
        overview.開始残高 = opening;
        for (QDate month = overview.first; month < overview.end; month = month.addMonths(1))
            overview.months.push_back({.month = month});
        if (!overview.months.empty())
            open(0);
    }

    void add(const StoredDay& day, const std::optional<Amount>& scheduled, const std::optional<Amount>& paid)
    {
        const int index = (day.year - firstYear_) * 12 + day.month - firstMonth_;
        if (!day.date.isValid() || index < 0 || index >= static_cast<int>(overview_.months.size()))
            return;
        while (current_ < index)
            open(current_ + 1);
        MonthFlow& month = overview_.months[index];
        ++month.lines;
        if (scheduled && !scheduled->isZero() && calendar::isBankHoliday(day.date))
            month.holidayPayments.push_back(day.date);
        // A sum that once overflowed stays unknown for the month.
        if (scheduled)
            month.予定額計 = month.予定額計 ? month.予定額計->plus(*scheduled) : std::nullopt;
        if (paid)
            month.支払額計 = month.支払額計 ? month.支払額計->plus(*paid) : std::nullopt;
        chain_.next(day.date, scheduled, paid);
        const Amount running = chain_.running();
        month.月末残高 = running;
        if (running < month.最低残高) {
            month.最低残高 = running;
            month.最低残高日 = day.date;
        }
        overview_.points.push_back({day.date, index, running});
    }

    void finish()
    {
        while (current_ + 1 < static_cast<int>(overview_.months.size()))
            open(current_ + 1);
    }

private:
    void open(int index)
    {
        current_ = index;
        MonthFlow& month = overview_.months[index];
        const Amount start = chain_.enterMonth(month.month);
        month.繰越額 = start;
        month.予定額計 = Amount();
        month.支払額計 = Amount();
        month.月末残高 = start;
        month.最低残高 = start;
        month.最低残高日 = month.month;
    }

    Overview& overview_;
    BalanceChain chain_;
    int firstYear_;
    int firstMonth_;
    int current_ = -1;
};

} // namespace

QString rangeQueryText()
{
    return kRangeSql;
}

int Overview::monthOf(const QDate& date) const
{
    if (!date.isValid() || date < first || date >= end)
        return -1;
    return (date.year() - first.year()) * 12 + date.month() - first.month();
}

Overview readOverview(SQLite::Database& main, const QDate& from, int count)
{
    Overview overview;
    if (!from.isValid())
        return overview;
    overview.first = QDate(from.year(), from.month(), 1);
    overview.end = overview.first.addMonths(std::clamp(count, 1, kMaxMonths));
    const CarryOvers carries = readCarryOvers(main, overview.first);
    Accumulator months(overview, Book(main).opening(overview.first).carry(), carries);
    auto rangeUse = store::Prepared::reuse(main, kRangeSql);
    store::Prepared& range = *rangeUse;
    range.bind(1, QVariant(storedText(overview.first)));
    range.bind(2, QVariant(storedText(overview.end)));
    while (range.next())
        months.add(parseStoredDate(range.utf8(0)), amountAt(range, 1), amountAt(range, 2));
    range.reset();
    months.finish();
    return overview;
}

} // namespace ledger

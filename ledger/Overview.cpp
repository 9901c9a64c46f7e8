#include "Overview.h"

#include "BalanceChain.h"
#include "Book.h"
#include "CarryOverTable.h"
#include "Holidays.h"
#include "MonthFigures.h"
#include "Prepared.h"
#include "StoredLines.h"

#include <algorithm>

namespace ledger {

namespace {

const QString kRangeSql = QStringLiteral("SELECT 日付, 予定額, 支払額, 支払先名 <> '' FROM %1 WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid").arg(kLinesTable);

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
    // A date stored as YYYY-MM-DD names its year and month in its digits; any other form
    // asks the date.
    if (day.date.isValid() && text.size() >= 10 && text[4] == '-' && text[7] == '-') {
        const auto number = [&](qsizetype at, qsizetype count) {
            int value = 0;
            for (qsizetype i = at; i < at + count; ++i)
                value = value * 10 + (text[i] - '0');
            return value;
        };
        day.year = number(0, 4);
        day.month = number(5, 2);
    } else {
        day.date.getDate(&day.year, &day.month, nullptr);
    }
    return day;
}

// Builds the months as the lines come in book order: each month's lines are gathered and
// figured by the book's month figures, on one balance chain.
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
    }

    void add(const StoredDay& day, bool hasPayee, const std::optional<Amount>& scheduled, const std::optional<Amount>& paid)
    {
        const int index = (day.year - firstYear_) * 12 + day.month - firstMonth_;
        if (!day.date.isValid() || index < next_ || index >= static_cast<int>(overview_.months.size()))
            return;
        while (next_ < index)
            close();
        lines_.push_back({day.date, hasPayee, scheduled, paid});
    }

    void finish()
    {
        while (next_ < static_cast<int>(overview_.months.size()))
            close();
    }

private:
    // Figures the month `next_` from the lines gathered for it.
    void close()
    {
        MonthFlow& flow = overview_.months[static_cast<std::size_t>(next_)];
        const MonthFigures figures = figureMonth(chain_, flow.month, lines_);
        flow.lines = static_cast<int>(lines_.size());
        flow.繰越額 = figures.opening;
        flow.予定額計 = figures.scheduled;
        flow.支払額計 = figures.paid;
        flow.月末残高 = figures.closing;
        flow.最低残高 = figures.lowest;
        flow.最低残高日 = figures.lowestDay;
        // Looked up once a day of the month, not once a line.
        const quint32 bankHolidays = lines_.empty() ? 0 : calendar::bankHolidaysOfMonth(flow.month);
        const qint64 firstDay = flow.month.toJulianDay();
        for (int i : figures.order) {
            const LineAmounts& line = lines_[static_cast<std::size_t>(i)];
            if (line.scheduled && !line.scheduled->isZero() && (bankHolidays >> (line.date.toJulianDay() - firstDay) & 1) != 0)
                flow.holidayPayments.push_back(line.date);
            overview_.points.push_back({line.date, next_, figures.lines[static_cast<std::size_t>(i)].running});
        }
        lines_.clear();
        ++next_;
    }

    Overview& overview_;
    BalanceChain chain_;
    int firstYear_;
    int firstMonth_;
    int next_ = 0; // the month the gathered lines belong to: every month before it is figured
    std::vector<LineAmounts> lines_;
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
        months.add(parseStoredDate(range.utf8(0)), range.integer(3) != 0, amountAt(range, 1), amountAt(range, 2));
    range.reset();
    months.finish();
    return overview;
}

} // namespace ledger

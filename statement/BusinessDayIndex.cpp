#include "BusinessDayIndex.h"

#include "Holidays.h"

namespace statement {

BusinessDayIndex::BusinessDayIndex(const QDate& first, const QDate& last)
    : first_(first)
{
    if (!first.isValid() || !last.isValid() || last < first)
        return;
    counts_.reserve(static_cast<std::size_t>(first.daysTo(last) + 1));
    int count = 0;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        count += calendar::isBankHoliday(day) ? 0 : 1;
        counts_.push_back(count);
    }
}

int BusinessDayIndex::index(const QDate& date) const
{
    const qint64 offset = first_.isValid() ? first_.daysTo(date) : -1;
    if (offset >= 0 && offset < static_cast<qint64>(counts_.size()))
        return counts_[static_cast<std::size_t>(offset)];
    // Outside the table: counted from its nearer end.
    int count = counts_.empty() ? 0 : counts_.front();
    if (offset < 0) {
        for (QDate day = date.addDays(1); day <= first_; day = day.addDays(1))
            count -= calendar::isBankHoliday(day) ? 0 : 1;
        return count;
    }
    count = counts_.empty() ? 0 : counts_.back();
    for (QDate day = first_.addDays(static_cast<qint64>(counts_.size())); day <= date; day = day.addDays(1))
        count += calendar::isBankHoliday(day) ? 0 : 1;
    return count;
}

} // namespace statement

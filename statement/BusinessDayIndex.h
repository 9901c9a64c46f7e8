#pragma once

#include <QDate>

#include <vector>

namespace statement {

// Bank business days counted along the calendar, so that the business days between two
// dates are the difference of their indexes. A bank holiday counts as the business day
// before it. Dates outside the range it was made for are counted when asked.
class BusinessDayIndex {
public:
    BusinessDayIndex(const QDate& first, const QDate& last);
    int index(const QDate& date) const;

private:
    QDate first_;
    std::vector<int> counts_;
};

} // namespace statement

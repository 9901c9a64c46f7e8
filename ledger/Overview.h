#pragma once

#include "Amount.h"

#include <QDate>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace ledger {

inline constexpr int kDefaultMonths = 12;
inline constexpr int kMaxMonths = 36;

// One month of the overview. Balances follow the book's balance chain from the opening of
// the first month (each month with a carry-over of its own starts from it), so every figure
// here is the one the month's sheet shows.
struct MonthFlow {
    QDate month; // first day
    int lines = 0;
    Amount 繰越額; // the balance the month starts from
    // Sums of the month's amounts; nothing when a sum does not fit in 64 bits.
    std::optional<Amount> 予定額計;
    std::optional<Amount> 支払額計;
    Amount 月末残高; // balance of the month's last line, or the carry-over
    // Lowest balance within the month: the carry-over on the 1st, then each line's
    // balance on its day; the earliest day when the lowest is reached more than once.
    Amount 最低残高;
    QDate 最低残高日;
    // The days of the month's scheduled payments (lines with a scheduled amount other than
    // 0) that fall on a bank holiday, one entry a line, in book order.
    std::vector<QDate> holidayPayments;

    bool goesNegative() const { return 最低残高 < Amount(); }
};

// The running balance after one stored line, for the chart.
struct BalancePoint {
    QDate date;
    int month = 0; // index into Overview::months
    Amount balance;
};

struct Overview {
    QDate first; // first day of the first month
    QDate end;   // first day after the last month
    Amount 開始残高;
    std::vector<MonthFlow> months;
    std::vector<BalancePoint> points; // in date and line-number order

    // Index of the month holding a date, or -1 outside the range.
    int monthOf(const QDate& date) const;
};

// The range statement, for checking how the engine runs it.
QString rangeQueryText();

// The months from the month of `from` on (count clamped to 1..kMaxMonths) with their
// figures: the opening of the first month, the carry-overs in the range and one scan of the
// range's lines in (日付, 行番号) order. Throws store::DbError. An invalid date gives an
// empty overview.
Overview readOverview(SQLite::Database& main, const QDate& from, int count);

} // namespace ledger

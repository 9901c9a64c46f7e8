#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace store {
class Session;
}

namespace exchange {

// One stored line of 支払予定表.
struct StoredLine {
    QDate 日付;
    qint64 行番号 = 0;
    QString 支払先名;
    std::optional<ledger::Amount> 予定額;
    std::optional<ledger::Amount> 支払額;
    std::optional<ledger::Amount> 残高;
};

// A stored month with the figures the report shows above its lines: the year-month
// caption, the carried-over amount, the two month totals and the cumulative figure.
struct MonthData {
    QDate month; // first day of the month
    QString caption;
    std::optional<ledger::Amount> 繰越額;
    std::optional<ledger::Amount> 予定額月計;
    std::optional<ledger::Amount> 支払額月計;
    std::optional<ledger::Amount> 予定額累計;
    std::vector<StoredLine> lines;
};

// The stored lines of the month of `month`, by date and line number, with the book's month
// figures: the carry-over and the cumulative figure as the month page reads them, each
// line's balance on the book's chain and the month totals (blank when a sum does not fit).
// The caption follows the era setting. Throws store::DbError.
MonthData readStoredMonth(store::Session& session, const QDate& month);

// Every month from the month of `from` to the month of `to`, in order; nothing when
// `to` lies before `from` or either date is invalid. Throws store::DbError.
std::vector<MonthData> readStoredMonths(store::Session& session, const QDate& from, const QDate& to);

// "2026年12月": the sheet name and the part of a file name that names a month.
QString monthName(const QDate& month);

} // namespace exchange

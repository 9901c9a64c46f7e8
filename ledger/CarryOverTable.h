#pragma once

#include "BalanceChain.h"

#include <QDate>

#include <optional>
#include <utility>

namespace SQLite {
class Database;
}

namespace ledger {

// The table of carry-overs typed for a month that differ from the balance the lines before
// the month bring into it; 年月 is the month's first day. Named plainly, like the lines.
inline const QString kCarryTable = QStringLiteral("繰越額");

// The month's own carry-over, if it has one. Throws store::DbError.
std::optional<Amount> ownCarry(SQLite::Database& db, const QDate& month);
// The latest carry-over of a month before the month of `month`: its month and amount.
std::optional<std::pair<QDate, Amount>> latestCarryBefore(SQLite::Database& db, const QDate& month);
// Every carry-over of the month of `from` and after (all of them for an invalid date).
CarryOvers readCarryOvers(SQLite::Database& db, const QDate& from = {});
// Stores the month's own carry-over, or removes it (nothing). The caller holds the
// transaction. Throws store::DbError.
void writeCarry(SQLite::Database& db, const QDate& month, const std::optional<Amount>& carry);

} // namespace ledger

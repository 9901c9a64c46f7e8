#pragma once

#include "TransferPlan.h"

#include <QDate>

#include <map>

namespace SQLite {
class Database;
}

namespace banking {

// The fees the bank will charge for the lines that are ready for a transfer (planTransfers
// of each of their days), summed: the lines' own days, the payees' details and the fees
// worked out from `fees`. Lines whose fee is unknown (no table) add nothing.
qint64 expectedFees(const std::vector<SheetEntry>& lines, const PayeeAccounts& accounts, const FeeContext& fees);

// The expected fees of each month (by its first day) from `first` up to `end`, from the
// stored lines, the payees' details, the sender's account and the fee settings in the main
// file. Empty without a sender. Throws store::DbError.
std::map<QDate, qint64> expectedMonthFees(SQLite::Database& main, const QDate& first, const QDate& end);

} // namespace banking

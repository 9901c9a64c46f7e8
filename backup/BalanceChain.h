#pragma once

#include "Amount.h"

#include <QDate>

#include <optional>

namespace SQLite {
class Database;
}

namespace backup {

// The first stored line whose balance does not follow from the lines before it.
struct ChainBreak {
    QDate date;
    qint64 lineNumber = 0;
    qint64 checkedLines = 0; // lines found right before this one
};

// Recomputes the running balance over every stored line of 支払予定表 in date and
// line-number order, from 0, with the book's rule (balance before + 予定額 − 支払額; a
// line with a null amount has a null balance and leaves the running balance as it
// was), and compares it with the stored balances. The check ends at the first line
// without a payee, as the balance runs of the book do. Answers the first line that
// differs, or nothing when the chain holds. Throws store::DbError when it cannot read.
std::optional<ChainBreak> findChainBreak(SQLite::Database& main);

} // namespace backup

#pragma once

#include <QDate>

#include <optional>

namespace SQLite {
class Database;
}

namespace ledger {

// The first stored line whose balance does not follow from the lines and carry-overs
// before it.
struct ChainBreak {
    QDate date;
    qint64 lineNumber = 0;
    qint64 checkedLines = 0; // lines found right before this one
};

// Runs the balance chain over every stored line from the start of the book (from 0, each
// month with a carry-over of its own starting from it) and compares it with the stored
// balances (a line without a payee is outside the chain, as in every balance run). Answers
// the first line that differs, or nothing when the chain holds. Throws store::DbError.
std::optional<ChainBreak> findChainBreak(SQLite::Database& db, const QString& schema = QStringLiteral("main"));

} // namespace ledger

#pragma once

#include "Amount.h"
#include "StoredLines.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace ledger {

class ProgressSpan;

// A line of the month's sheet that is to be stored: it has a date and a payee.
struct SheetEntry {
    int position = 0; // 1-based place among all the sheet's lines, blank ones included
    QDate date;
    QString payee;
    std::optional<Amount> scheduled;
    std::optional<Amount> paid;
    // The stored line it was loaded from or last saved as: rewritten in place.
    std::optional<LineKey> original;
};

// Everything a registration of one month writes.
struct MonthWrite {
    QDate month;
    std::vector<SheetEntry> lines;
    // Stored lines whose sheet line was emptied (no payee, no amount): they go.
    std::vector<LineKey> emptied;
    // The carry-over the sheet shows (a blank one counts as 0). It is kept as the month's own
    // when it differs from the balance the lines before the month bring; otherwise the month
    // keeps none.
    Amount carry;
    // Stored lines of the month that are on no sheet line go as well (the user agreed).
    bool deleteOffSheet = false;
};

struct WriteOutcome {
    int stored = 0;  // lines written (rewritten or added)
    int removed = 0; // stored lines deleted (emptied, or off the sheet)
    qint64 version = 0; // the month's version in the book after the write
};

// The stored lines of the month that no sheet line came from. Throws store::DbError.
std::vector<StoredLine> offSheetLines(SQLite::Database& db, const QDate& month, const std::vector<LineKey>& onSheet);

// Stores the month inside the caller's transaction: each sheet line rewrites its stored
// original (found by its key before anything is written) or is added, with 行番号 = its
// position; a new number is never one another stored line of the same date keeps (the next
// free one is taken then). Emptied originals (and, when asked, off-sheet lines) go, the
// month's carry-over is kept or removed, and the balance chain runs from the month to the
// end of the book; the month's version goes up by one. Throws OverflowError (a balance out of range) or store::DbError; the
// caller's transaction then rolls everything back. lineProgress moves over the sheet's
// lines, balanceProgress over the balance run.
WriteOutcome writeMonth(SQLite::Database& db, const MonthWrite& write, ProgressSpan* lineProgress = nullptr,
    ProgressSpan* balanceProgress = nullptr);

} // namespace ledger

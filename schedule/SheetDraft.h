#pragma once

#include "SheetLine.h"

#include <QDate>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace schedule {

// What the draft is: the month of its sheet, the carry-over shown, whether it holds
// unregistered changes, and the book's version of the month its lines began from.
struct DraftState {
    QDate month;
    std::optional<ledger::Amount> carry;
    bool unsaved = false;
    qint64 version = 0;
};

// The sheet as the work file keeps it (InpWork), so that unregistered lines survive a crash:
// line n of the sheet is the row with rowid n. Each write is one transaction on the work
// file and throws store::DbError when it fails (the file is then as it was).
class SheetDraft {
public:
    explicit SheetDraft(SQLite::Database& work)
        : work_(work)
    {
    }

    // Writes the whole sheet, and what it is: the table then holds exactly these lines.
    void writeAll(const SheetLines& lines, const DraftState& state);
    // Writes the lines at these places (0-based).
    void writeLines(const SheetLines& lines, const std::vector<int>& places);
    // The sheet the work file holds, read in line order; nothing when it holds no lines.
    std::optional<SheetLines> read();
    void writeState(const DraftState& state);
    DraftState readState();

private:
    SQLite::Database& work_;
};

} // namespace schedule

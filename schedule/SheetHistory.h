#pragma once

#include "Amount.h"
#include "Sql.h"

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace schedule {

// Everything the user can change on the month's sheet before it is registered: every
// line of InpWork with its rowid, and the carry-over typed above it.
struct SheetState {
    std::vector<store::Row> lines; // rowid first, then the sheet's fields in order
    std::optional<store::Amount> carry;
    bool operator==(const SheetState& other) const = default;
};

// Reads the sheet as it stands, and puts a state back in one transaction.
SheetState readSheetState(SQLite::Database& work, std::optional<store::Amount> carry);
void restoreSheetState(SQLite::Database& work, const SheetState& state);

// The undo and redo stacks of the sheet's unregistered edits. Each recorded step is the
// state after an edit; undo goes back to the state before it, redo forward again. The
// state last loaded or registered is the clean one: a sheet undone back to it holds no
// changes. At most kDepth steps are kept; the oldest go first.
class SheetHistory {
public:
    static constexpr std::size_t kDepth = 100;

    // A fresh history from the state shown; clean tells whether it equals the stored book.
    void restart(SheetState current, bool clean);
    // The state after an edit: the one before it can be undone, nothing can be redone.
    void record(SheetState after);
    // The state to show after an undo (or redo), or nothing when there is no step.
    std::optional<SheetState> undo();
    std::optional<SheetState> redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Whether the state shown is the clean one.
    bool atClean() const { return clean_ && *clean_ == current_; }

private:
    SheetState current_;
    std::optional<SheetState> clean_;
    std::vector<SheetState> undo_;
    std::vector<SheetState> redo_;
};

} // namespace schedule

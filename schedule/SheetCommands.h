#pragma once

#include "SheetLine.h"
#include "StoredLines.h"

#include <QUndoCommand>

#include <optional>
#include <utility>
#include <vector>

namespace schedule {

class MonthController;

// One side of an undo step: lines by their place on the sheet, and the carry-over when the
// step changes it.
struct SheetChange {
    std::vector<std::pair<int, SheetLine>> lines;
    std::optional<std::optional<ledger::Amount>> carry;
};

// An edit of the sheet as one step of its undo stack: redo puts `after` on the sheet, undo
// `before`. The kinds below differ in the words the menus show.
class SheetCommand : public QUndoCommand {
public:
    SheetCommand(MonthController& month, const QString& text, SheetChange before, SheetChange after);
    void redo() override;
    void undo() override;

private:
    MonthController& month_;
    SheetChange before_;
    SheetChange after_;
};

// The deletion of a line the book holds, as one step of the sheet's undo stack: the line
// leaves the book and the sheet together, and comes back to both on undo. The book's side
// of the first deletion is done before the step is pushed (so that a refusal changes
// nothing); later undos and redos write the book again. When the book refuses one of
// them, the sheet stays as it is and the history is dropped (failedBookStep).
class StoredLineDelete : public QUndoCommand {
public:
    StoredLineDelete(MonthController& month, ledger::StoredLine removed, SheetChange before, SheetChange after);
    void redo() override;
    void undo() override;

private:
    MonthController& month_;
    ledger::StoredLine removed_;
    SheetChange before_;
    SheetChange after_;
    bool firstRedo_ = true;
};

// The steps the sheet knows, each named as the menus show it.
enum class SheetStep { TypedValue, Paste, Carry, InsertLine, DeleteLine, RepeatMonth, ToPreviousBusinessDay, ToNextBusinessDay, MarkPaid };
QString stepText(SheetStep step);

} // namespace schedule

#pragma once

#include "SheetCommands.h"
#include "SheetLine.h"

#include <QDate>
#include <QString>

#include <functional>
#include <vector>

namespace schedule {

class MonthController;

// A withdrawal of a bank statement that no line of the sheet holds, put on the sheet as a
// line of its day paid in full.
struct StatementEntry {
    QDate date;
    QString payee;
    ledger::Amount amount;
};

// What a reconciled bank statement does to the month's sheet, as one step of its undo
// stack (消込): each amount is added to its line's 支払額, each entry goes on the first
// empty line after the sheet's last line that holds anything, with 予定額 and 支払額 both
// its amount; the balances follow. The draft keeps the sheet as after any edit.
class StatementCommand : public QUndoCommand {
public:
    // What push() did.
    struct Outcome {
        int paid = 0;    // lines whose 支払額 changed
        int added = 0;   // entries put on the sheet
        int noRoom = 0;  // entries left out: the sheet had no empty line for them
        bool pushed() const { return paid + added > 0; }
    };

    // Pushes the step onto the month's undo stack; nothing when it changes no line. Lines
    // without a payee, rows outside the sheet, an amount that would overflow and entries
    // dated outside the month shown are left out. `followed` is told when the step is undone
    // (false) and redone (true) later, so that what was remembered with it can follow.
    static Outcome push(MonthController& month, const std::vector<LinePayment>& payments, const std::vector<StatementEntry>& entries,
        std::function<void(bool applied)> followed = {});

    void redo() override;
    void undo() override;
    // The sheet is dropped with the step done and unregistered: what was remembered with it
    // is forgotten, as when it is undone.
    void forget() const;

private:
    StatementCommand(MonthController& month, SheetChange before, SheetChange after, std::function<void(bool)> followed);

    MonthController& month_;
    SheetChange before_;
    SheetChange after_;
    std::function<void(bool)> followed_;
    bool pushed_ = false; // the first redo is the push itself
};

} // namespace schedule

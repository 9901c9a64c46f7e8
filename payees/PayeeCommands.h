#pragma once

#include "PayeeTable.h"

#include <QUndoCommand>

namespace payees {

class PayeeModel;

// A change of the payee page's copy as one step of its undo stack: redo applies `forward`,
// undo `backward`. Each run tells the other side the lines it has to take out and to put
// back (those a run puts in get their rowids only then).
class CopyCommand : public QUndoCommand {
public:
    CopyCommand(PayeeModel& model, const QString& text, ledger::PayeeCopyChange forward, ledger::PayeeCopyChange backward);
    void redo() override;
    void undo() override;

private:
    void run(ledger::PayeeCopyChange& change, ledger::PayeeCopyChange& opposite);

    PayeeModel& model_;
    ledger::PayeeCopyChange forward_;
    ledger::PayeeCopyChange backward_;
};

// 行削除 of the ticked payees as one step: undo puts back the master's rows, their payment
// rules and bank details, and the ticked lines of the copy.
class PayeesRemovedCommand : public QUndoCommand {
public:
    explicit PayeesRemovedCommand(PayeeModel& model);
    void redo() override;
    void undo() override;

private:
    PayeeModel& model_;
    ledger::RemovedPayees removed_;
};

// The steps the payee page knows, each named as the menus show it.
enum class PayeeStep { TypedValue, AddLine, DeleteLine, Paste, Clear, RemovePayees };
QString stepText(PayeeStep step);

} // namespace payees

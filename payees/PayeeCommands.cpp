#include "PayeeCommands.h"

#include "PayeeModel.h"

namespace payees {

CopyCommand::CopyCommand(PayeeModel& model, const QString& text, ledger::PayeeCopyChange forward, ledger::PayeeCopyChange backward)
    : QUndoCommand(text)
    , model_(model)
    , forward_(std::move(forward))
    , backward_(std::move(backward))
{
}

void CopyCommand::redo()
{
    run(forward_, backward_);
}

void CopyCommand::undo()
{
    run(backward_, forward_);
}

void CopyCommand::run(ledger::PayeeCopyChange& change, ledger::PayeeCopyChange& opposite)
{
    ledger::PayeeCopyChanged done;
    if (!model_.attempt("payee copy step", [&] { done = model_.apply(change); })) {
        setObsolete(true); // a step never written is not kept
        return;
    }
    // The lines put in are what the other side takes out, the lines taken out what it puts
    // back, where they stood.
    opposite.take.clear();
    for (const ledger::PayeeCopyLine& line : done.put)
        opposite.take.push_back(line.rowId);
    opposite.put = std::move(done.taken);
}

PayeesRemovedCommand::PayeesRemovedCommand(PayeeModel& model)
    : QUndoCommand(stepText(PayeeStep::RemovePayees))
    , model_(model)
{
}

void PayeesRemovedCommand::redo()
{
    if (!model_.attempt("remove the ticked payees", [&] { removed_ = model_.removeTicked(); }))
        setObsolete(true);
}

void PayeesRemovedCommand::undo()
{
    if (!model_.attempt("put back the removed payees", [&] { model_.putBack(removed_); }))
        setObsolete(true);
}

QString stepText(PayeeStep step)
{
    switch (step) {
    case PayeeStep::TypedValue:
        return QStringLiteral("入力");
    case PayeeStep::AddLine:
        return QStringLiteral("支払先の追加");
    case PayeeStep::DeleteLine:
        return QStringLiteral("行の削除");
    case PayeeStep::Paste:
        return QStringLiteral("貼り付け");
    case PayeeStep::Clear:
        return QStringLiteral("クリア");
    case PayeeStep::RemovePayees:
        return QStringLiteral("支払先の行削除");
    }
    return {};
}

} // namespace payees

#include "SheetCommands.h"

#include "MonthController.h"

#include <utility>

namespace schedule {

SheetCommand::SheetCommand(MonthController& month, const QString& text, SheetChange before, SheetChange after)
    : QUndoCommand(text)
    , month_(month)
    , before_(std::move(before))
    , after_(std::move(after))
{
}

void SheetCommand::redo()
{
    month_.apply(after_);
}

void SheetCommand::undo()
{
    month_.apply(before_);
}

StoredLineDelete::StoredLineDelete(MonthController& month, ledger::StoredLine removed, SheetChange before, SheetChange after)
    : QUndoCommand(stepText(SheetStep::DeleteLine))
    , month_(month)
    , removed_(std::move(removed))
    , before_(std::move(before))
    , after_(std::move(after))
{
}

void StoredLineDelete::redo()
{
    if (!std::exchange(firstRedo_, false)) {
        const auto removed = month_.deleteFromBook(removed_.key());
        if (!removed) {
            setObsolete(true);
            return;
        }
        removed_ = *removed;
    }
    month_.applyBookStep(after_);
}

void StoredLineDelete::undo()
{
    if (!month_.restoreToBook(removed_)) {
        setObsolete(true);
        return;
    }
    month_.applyBookStep(before_);
}

QString stepText(SheetStep step)
{
    switch (step) {
    case SheetStep::TypedValue:
        return QStringLiteral("入力");
    case SheetStep::Paste:
        return QStringLiteral("貼り付け");
    case SheetStep::Carry:
        return QStringLiteral("繰越額の入力");
    case SheetStep::InsertLine:
        return QStringLiteral("行挿入");
    case SheetStep::DeleteLine:
        return QStringLiteral("行削除");
    case SheetStep::RepeatMonth:
        return QStringLiteral("前月複写");
    case SheetStep::ToPreviousBusinessDay:
        return QStringLiteral("前営業日へ");
    case SheetStep::ToNextBusinessDay:
        return QStringLiteral("翌営業日へ");
    case SheetStep::MarkPaid:
        return QStringLiteral("支払済");
    }
    return {};
}

} // namespace schedule

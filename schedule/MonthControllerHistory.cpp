// The sheet's history: the steps of its undo stack, and the book's side of the steps that
// write the book as well.

#include "MonthController.h"

#include "MonthVersion.h"
#include "Session.h"
#include "SheetCommands.h"
#include "StatementCommand.h"
#include "Skip.h"
#include "Transaction.h"

#include <QUndoStack>

#include <stdexcept>

namespace schedule {

void MonthController::apply(const SheetChange& change)
{
    const SheetLines before = lines_;
    for (const auto& [place, line] : change.lines)
        lines_[static_cast<std::size_t>(place)] = line;
    if (change.carry)
        figures_.繰越額 = *change.carry;
    settle(before);
}

std::optional<std::pair<SheetChange, SheetChange>> MonthController::changeTo(const SheetLines& after, std::optional<std::optional<ledger::Amount>> carry) const
{
    SheetChange before;
    SheetChange next;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        SheetLine was = lines_[i];
        SheetLine will = after[i];
        was.balance.reset();
        will.balance.reset();
        if (was == will)
            continue;
        before.lines.emplace_back(static_cast<int>(i), std::move(was));
        next.lines.emplace_back(static_cast<int>(i), std::move(will));
    }
    if (carry && *carry != figures_.繰越額) {
        before.carry = figures_.繰越額;
        next.carry = *carry;
    }
    if (next.lines.empty() && !next.carry)
        return std::nullopt;
    return std::pair(std::move(before), std::move(next));
}

bool MonthController::pushChange(const QString& text, const SheetLines& after, std::optional<std::optional<ledger::Amount>> carry)
{
    auto change = changeTo(after, carry);
    if (!change)
        return false;
    undo_->push(new SheetCommand(*this, text, std::move(change->first), std::move(change->second)));
    writeDraftState();
    return true;
}

std::optional<ledger::StoredLine> MonthController::removeStored(const ledger::LineKey& key)
{
    auto& main = session_.mainDb();
    store::Transaction tx(main);
    auto removed = ledger::Book(main).deleteLine(key);
    const qint64 version = ledger::monthVersion(main, month_);
    tx.commit();
    version_ = version;
    emit session_.changes().monthsChanged(month_);
    return removed;
}

std::optional<ledger::StoredLine> MonthController::deleteFromBook(const ledger::LineKey& key)
{
    try {
        if (auto removed = removeStored(key))
            return removed;
        throw std::runtime_error("the deleted line is not in the book");
    } catch (const std::exception& e) {
        dropHistoryAfterRefusal(e);
        return std::nullopt;
    }
}

bool MonthController::restoreToBook(const ledger::StoredLine& line)
{
    try {
        auto& main = session_.mainDb();
        store::Transaction tx(main);
        ledger::Book(main).restoreLine(line);
        const qint64 version = ledger::monthVersion(main, month_);
        tx.commit();
        version_ = version;
        emit session_.changes().monthsChanged(month_);
        return true;
    } catch (const std::exception& e) {
        dropHistoryAfterRefusal(e);
        return false;
    }
}

void MonthController::applyBookStep(const SheetChange& change)
{
    const SheetLines before = lines_;
    for (const auto& [place, line] : change.lines)
        lines_[static_cast<std::size_t>(place)] = line;
    store::skipOnFailure(QStringLiteral("the cumulative figure"), [&] { figures_.累計 = ledger::Book(session_.mainDb()).cumulative(); });
    settle(before, false);
    // The whole sheet at the month's new version, in one write of the work file.
    writeWholeDraft(lines_, draftState());
}

void MonthController::dropHistoryAfterRefusal(const std::exception& error)
{
    store::logSkipped(QStringLiteral("undo or redo a deletion of a stored line"), error);
    // The steps around the one refused no longer meet the book: they go once the stack has
    // finished its own step. The sheet's unregistered changes stay unregistered.
    setExtraChanges(true);
    QMetaObject::invokeMethod(this, [this] { undo_->clear(); }, Qt::QueuedConnection);
    emit historyDropped(FileFailure::from(error).engine);
}

void MonthController::forgetUnregisteredSteps()
{
    // Every step in the stack came after the last load or registration; those done (below
    // the index) are the ones whose memory stands.
    for (int i = undo_->index() - 1; i >= 0; --i) {
        if (const auto* step = dynamic_cast<const StatementCommand*>(undo_->command(i)))
            step->forget();
    }
}

} // namespace schedule

// The month's draft in the work file: written as the sheet changes, brought back at start.

#include "MonthController.h"

#include "Calendar.h"
#include "MonthVersion.h"
#include "Session.h"
#include "SheetModel.h"
#include "Skip.h"

#include <QUndoStack>

#include <algorithm>

namespace schedule {

DraftOutcome MonthController::restoreDraft()
{
    if (!filesOpen())
        return DraftOutcome::None;
    DraftState state;
    std::optional<SheetLines> lines;
    if (!store::skipOnFailure(QStringLiteral("read the draft"), [&] {
            state = draft_.readState();
            if (state.unsaved && state.month.isValid())
                lines = draft_.read();
        })
        || !lines)
        return DraftOutcome::None;
    setMonth(state.month);
    MonthRead read;
    try {
        read = readMonth();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("read the month of the draft"), e);
        return DraftOutcome::None;
    }
    if (read.version != state.version) {
        qCInfo(lcStore) << "the draft of" << state.month << "began from version" << state.version << "and the book holds version" << read.version;
        return DraftOutcome::Registered;
    }
    read.lines = std::move(*lines);
    show(std::move(read), true);
    const SheetLines shown = lines_;
    figures_.繰越額 = state.carry;
    // Stored lines of the month that the draft does not show were cleared off it.
    cleared_ = std::none_of(lines_.begin(), lines_.end(), [](const SheetLine& line) { return line.original.has_value(); });
    // A name the book does not hold on its line was typed (or pasted) before the restart:
    // it counts as typed since the month was loaded, and is registered with the sheet.
    for (const SheetLine& line : lines_) {
        if (line.hasPayee() && !(line.original && line.original->payee == line.payee) && !typedNames_.contains(line.payee))
            typedNames_ << line.payee;
    }
    settle(shown);
    setExtraChanges(true);
    writeDraftState();
    return DraftOutcome::Restored;
}

DraftState MonthController::draftState() const
{
    return {month_, figures_.繰越額, hasUnsavedChanges(), version_};
}

bool MonthController::writeDraft(const std::vector<int>& changed, bool withState)
{
    if (!filesOpen())
        return false;
    if (draftBehind_)
        return writeWholeDraft(lines_, draftState());
    try {
        draft_.writeLines(lines_, changed);
        if (withState)
            draft_.writeState(draftState());
        return true;
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("write the draft"), e);
        tellDraftFailure(e);
        return false;
    }
}

bool MonthController::writeWholeDraft(const SheetLines& lines, const DraftState& state)
{
    try {
        draft_.writeAll(lines, state);
        setDraftBehind(false);
        return true;
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("write the whole draft"), e);
        tellDraftFailure(e);
        return false;
    }
}

void MonthController::tellDraftFailure(const std::exception& error)
{
    // Told once: the writes after it fail the same way until one goes through.
    if (draftBehind_)
        return;
    setDraftBehind(true);
    const FileFailure failure = FileFailure::from(error);
    emit draftFailed(failure.engine, failure.kind == FileFailure::Busy);
}

void MonthController::setDraftBehind(bool behind)
{
    if (std::exchange(draftBehind_, behind) != behind)
        emit draftBehindChanged(behind);
}

void MonthController::writeDraftState()
{
    writeDraft({}, true);
}

} // namespace schedule

// The month read from the book onto the sheet, and the sheet cleared.

#include "MonthController.h"

#include "Calendar.h"
#include "DayText.h"
#include "MonthVersion.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetFigures.h"
#include "SheetModel.h"
#include "Skip.h"

#include <QUndoStack>

namespace schedule {

MonthController::MonthRead MonthController::readMonth()
{
    MonthRead read;
    auto& main = session_.mainDb();
    ledger::Book book(main);
    read.lines = blankSheet();
    const std::vector<ledger::StoredLine> stored = ledger::monthLines(main, month_, kSheetLines);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const ledger::StoredLine& from = stored[i];
        SheetLine& line = read.lines[i];
        line.date = from.date;
        line.day = calendar::twoDigitDay(from.date);
        line.payee = from.payee;
        line.scheduled = from.scheduled;
        line.paid = from.paid;
        line.loadedNumber = from.lineNumber;
        line.original = from.key();
    }
    read.stored = stored.size() < static_cast<std::size_t>(kSheetLines) ? static_cast<int>(stored.size()) : ledger::monthLineCount(main, month_);
    read.opening = book.opening(month_);
    read.cumulative = book.cumulative();
    read.version = ledger::monthVersion(main, month_);
    return read;
}

void MonthController::show(MonthRead read, bool draftWritten)
{
    opening_ = read.opening;
    version_ = read.version;
    figures_.繰越額 = opening_.carry();
    figures_.累計 = read.cumulative;
    cleared_ = false;
    typedNames_.clear();
    undo_->clear();
    undo_->setClean();
    setExtraChanges(false);
    if (!draftWritten || !read.figures) {
        const SheetLines before = lines_;
        lines_ = std::move(read.lines);
        settle(before, !draftWritten);
        emit sheetReplaced();
        return;
    }
    // Computed and written as the draft already: the whole sheet is shown anew.
    lines_ = std::move(read.lines);
    figures_.予定額月計 = read.figures->scheduled;
    figures_.支払額月計 = read.figures->paid;
    model_->linesChanged({0, static_cast<int>(lines_.size()) - 1});
    emit figuresChanged();
    emit sheetReplaced();
}

LoadResult MonthController::load(const std::function<void(int)>& showProgress)
{
    LoadResult result;
    if (!month_.isValid() || !filesOpen())
        return result;
    const auto progress = [&](int value) {
        if (showProgress)
            showProgress(value);
    };
    progress(10);
    MonthRead read;
    try {
        read = readMonth();
        read.figures = computeSheet(read.lines, read.opening.carry());
        progress(30);
        // The draft first: when the work file refuses it, the sheet on screen stays as it was.
        draft_.writeAll(read.lines, {month_, read.opening.carry(), false, read.version});
        setDraftBehind(false);
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("load the month"), e);
        result.failure = FileFailure::from(e);
        progress(100);
        return result;
    }
    progress(90);
    result.loaded = true;
    result.stored = read.stored;
    show(std::move(read), true);
    progress(100);
    return result;
}

void MonthController::clear()
{
    if (!filesOpen())
        return;
    const SheetLines before = lines_;
    lines_ = blankSheet();
    std::optional<ledger::MonthOpening> opening;
    if (month_.isValid())
        store::skipOnFailure(QStringLiteral("the month's opening"), [&] { opening = ledger::Book(session_.mainDb()).opening(month_); });
    opening_ = opening.value_or(ledger::MonthOpening());
    // The totals and the cumulative figure are blank until the sheet is loaded again; the
    // carry-over is the month's, so that a save continues the chain.
    figures_ = {};
    if (opening)
        figures_.繰越額 = opening->carry();
    cleared_ = true;
    typedNames_.clear();
    undo_->clear();
    undo_->setClean();
    setExtraChanges(false);
    settle(before);
    writeDraftState();
    emit sheetReplaced();
}

} // namespace schedule

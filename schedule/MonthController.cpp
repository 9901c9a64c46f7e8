#include "MonthController.h"

#include "Balances.h"
#include "Calendar.h"
#include "GridEditing.h"
#include "MonthSheet.h"
#include "PreviousMonth.h"
#include "Session.h"
#include "Skip.h"
#include "SheetColumns.h"
#include "Sql.h"

#include <QScopeGuard>

#include <utility>

namespace schedule {

MonthController::MonthController(store::Session& session, QObject* parent)
    : QObject(parent)
    , session_(session)
{
}

bool MonthController::filesOpen() const
{
    // After the window has closed the files, a late notification must not reach them.
    return session_.isOpen();
}

void MonthController::setModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified_);
}

void MonthController::setMonth(const QDate& month)
{
    month_ = calendar::firstOfMonth(month);
}

void MonthController::setCarry(std::optional<store::Amount> carry)
{
    // A blank carry-over counts as 0: emptying a 0 changes nothing.
    if (figures_.繰越額.value_or(store::Amount()) == carry.value_or(store::Amount()))
        return;
    figures_.繰越額 = carry;
    recalcSheet();
    setModified(true);
    recordStep();
    emit figuresChanged();
}

void MonthController::recalcSheet()
{
    if (!filesOpen())
        return;
    if (grouping_ > 0) {
        groupRecalc_ = true;
        return;
    }
    store::skipOnFailure(QStringLiteral("ReCalc残高"), [&] { ReCalc残高(session_.workDb(), carry()); });
    emit sheetChanged();
}

void MonthController::clear()
{
    figures_ = {};
    if (filesOpen()) {
        store::skipOnFailure(QStringLiteral("ClearInpWork"), [&] { ClearInpWork(session_.workDb()); });
        if (month_.isValid())
            store::skipOnFailure(QStringLiteral("Get繰越額"), [&] { figures_.繰越額 = Get繰越額(session_.mainDb(), month_); });
    }
    setModified(false);
    restartHistory(true);
    emit sheetChanged();
    emit figuresChanged();
}

int MonthController::load(const std::function<void(int)>& showProgress)
{
    if (!month_.isValid() || !filesOpen())
        return 0;
    const auto show = [&](int value) {
        if (showProgress)
            showProgress(value);
    };
    show(10);
    const QDate last = calendar::lastOfMonth(month_);
    loadMonthSheet(session_, month_, last, [&] { show(30); });
    setModified(false);
    emit sheetChanged();
    show(90);
    Calc支払予定額();
    Calc支払額();
    store::skipOnFailure(QStringLiteral("Get繰越額"), [&] { figures_.繰越額 = Get繰越額(session_.mainDb(), month_); });
    showCumulative();
    restartHistory(true);
    emit figuresChanged();
    show(100);
    int stored = 0;
    store::skipOnFailure(QStringLiteral("count the month"), [&] {
        stored = store::scalar(session_.mainDb(), QStringLiteral("SELECT count(*) FROM 支払予定表 WHERE 日付 >= ? AND 日付 <= ?"),
            {calendar::toStoredText(month_), calendar::toStoredText(last)})
                     .toInt();
    });
    return stored;
}

void MonthController::showCumulative()
{
    store::skipOnFailure(QStringLiteral("Get累計額"), [&] { figures_.累計 = Get累計額(session_.mainDb()); });
}

void MonthController::Calc支払予定額()
{
    if (!filesOpen())
        return;
    if (grouping_ > 0) {
        groupRecalc_ = true;
        return;
    }
    figures_.予定額月計.reset();
    store::skipOnFailure(QStringLiteral("Calc支払予定額"), [&] { figures_.予定額月計 = 予定額月計(session_.workDb()); });
    emit figuresChanged();
}

void MonthController::Calc支払額()
{
    if (!filesOpen())
        return;
    if (grouping_ > 0) {
        groupRecalc_ = true;
        return;
    }
    figures_.支払額月計.reset();
    store::skipOnFailure(QStringLiteral("Calc支払額"), [&] { figures_.支払額月計 = 支払額月計(session_.workDb()); });
    emit figuresChanged();
}

CellOutcome MonthController::cellAccepted(qint64 rowId, int column)
{
    if (!filesOpen())
        return CellOutcome::Done;
    auto& work = session_.workDb();
    CellOutcome outcome = CellOutcome::Done;
    if (isAmountColumn(column)) {
        // An emptied amount becomes the number 0.
        store::skipOnFailure(QStringLiteral("empty amount"), [&] {
            store::exec(work, QStringLiteral("UPDATE InpWork SET %1 = 0 WHERE rowid = ? AND (%1 IS NULL OR %1 = '')").arg(store::quoteIdentifier(sheetField(column))), {rowId});
        });
    }
    if (column == kCol表示日付) {
        // A day makes the line's date in the shown month, shown as two digits; a day that
        // gives no date empties the day cell and the date, so that the date never holds an
        // impossible day, and the caller tells the user.
        store::skipOnFailure(QStringLiteral("day entry"), [&] {
            const QVariant day = store::scalar(work, QStringLiteral("SELECT 表示日付 FROM InpWork WHERE rowid = ?"), {rowId});
            if (day.isNull() || day.toString().isEmpty()) {
                store::exec(work, QStringLiteral("UPDATE InpWork SET 表示日付 = NULL, 日付 = NULL WHERE rowid = ?"), {rowId});
            } else if (const std::optional<QDate> date = composeDay(month_, day)) {
                store::exec(work, QStringLiteral("UPDATE InpWork SET 日付 = ?, 表示日付 = ? WHERE rowid = ?"),
                    {calendar::toStoredText(*date), QStringLiteral("%1").arg(date->day(), 2, 10, QLatin1Char('0')), rowId});
            } else {
                store::exec(work, QStringLiteral("UPDATE InpWork SET 表示日付 = NULL, 日付 = NULL WHERE rowid = ?"), {rowId});
                outcome = CellOutcome::DayRefused;
            }
        });
    }
    if (column == kCol予定額)
        Calc支払予定額();
    else if (column == kCol支払額)
        Calc支払額();
    setModified(true);
    recalcSheet();
    recordStep();
    return outcome;
}

CopyOutcome MonthController::copyPreviousMonth()
{
    CopyOutcome outcome;
    if (!filesOpen() || !month_.isValid())
        return outcome;
    outcome = copyPreviousMonthLines(session_.mainDb(), session_.workDb(), month_);
    if (outcome.kind == CopyOutcome::Copied && outcome.lines > 0) {
        Calc支払予定額();
        Calc支払額();
        setModified(true);
        recalcSheet();
        recordStep();
    }
    return outcome;
}

SaveResult MonthController::save(const std::function<void(int)>& showProgress)
{
    SaveResult result;
    if (!filesOpen() || !month_.isValid())
        return result;
    result = Entry支払予定表(session_.mainDb(), session_.workDb(), month_, carry(), showProgress);
    if (result.kind == SaveResult::Kind::Saved) {
        setModified(false);
        restartHistory(true);
        emit sheetChanged();
        showCumulative();
        emit figuresChanged();
    }
    return result;
}

InsertOutcome MonthController::insertLine(qint64 lineNumber)
{
    const InsertOutcome outcome = InsertLine(session_.workDb(), lineNumber);
    if (outcome == InsertOutcome::Inserted) {
        setModified(true);
        recalcSheet();
        recordStep();
    }
    return outcome;
}

bool MonthController::deleteLine(qint64 rowId)
{
    bool deleted = false;
    try {
        deleted = LineDelete(session_.workDb(), rowId, carry());
    } catch (...) {
        emit sheetChanged();
        throw;
    }
    recalcSheet();
    Calc支払予定額();
    Calc支払額();
    showCumulative();
    // A blank line's deletion is an edit of the sheet; a stored line left the stored book,
    // and a state from before that would bring back a line the book no longer holds.
    if (deleted)
        restartHistory(!modified_);
    else
        recordStep();
    emit figuresChanged();
    return deleted;
}

void MonthController::recordStep()
{
    if (!filesOpen())
        return;
    if (grouping_ > 0) {
        groupChanged_ = true;
        return;
    }
    store::skipOnFailure(QStringLiteral("record the sheet"), [&] { history_.record(readSheetState(session_.workDb(), figures_.繰越額)); });
}

void MonthController::restartHistory(bool clean)
{
    if (!filesOpen())
        return;
    if (!store::skipOnFailure(QStringLiteral("record the sheet"), [&] { history_.restart(readSheetState(session_.workDb(), figures_.繰越額), clean); }))
        history_.restart({}, false);
}

void MonthController::asOneStep(const std::function<void()>& body)
{
    {
        ++grouping_;
        const auto leave = qScopeGuard([this] { --grouping_; });
        body();
    }
    if (grouping_ > 0)
        return;
    if (std::exchange(groupRecalc_, false)) {
        Calc支払予定額();
        Calc支払額();
        recalcSheet();
    }
    if (std::exchange(groupChanged_, false))
        recordStep();
}

MonthController::PasteOutcome MonthController::paste(const std::vector<PasteCell>& cells)
{
    PasteOutcome outcome;
    if (!filesOpen())
        return outcome;
    asOneStep([&] {
        for (const PasteCell& cell : cells) {
            std::optional<PasteRefusal> refused;
            if (!store::skipOnFailure(QStringLiteral("paste a value"), [&] { refused = writePastedValue(session_.workDb(), cell); }))
                refused = PasteRefusal::NotWritten;
            if (!refused && cellAccepted(cell.rowId, cell.column) == CellOutcome::DayRefused)
                refused = PasteRefusal::NoSuchDay;
            if (refused)
                outcome.refused.push_back({cell, *refused});
            else if (cell.column == kCol支払先名 && !cell.text.trimmed().isEmpty())
                outcome.payees << cell.text.trimmed();
        }
    });
    return outcome;
}

bool MonthController::undo()
{
    return filesOpen() && showState(history_.undo());
}

bool MonthController::redo()
{
    return filesOpen() && showState(history_.redo());
}

bool MonthController::showState(const std::optional<SheetState>& state)
{
    if (!state)
        return false;
    if (!store::skipOnFailure(QStringLiteral("restore the sheet"), [&] { restoreSheetState(session_.workDb(), *state); })) {
        // The sheet on screen is what the file holds; the history starts again from it.
        restartHistory(false);
        emit sheetChanged();
        return false;
    }
    figures_.繰越額 = state->carry;
    Calc支払予定額();
    Calc支払額();
    setModified(!history_.atClean());
    emit sheetChanged();
    emit figuresChanged();
    return true;
}

} // namespace schedule

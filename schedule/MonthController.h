#pragma once

#include "Amount.h"
#include "MonthSave.h"
#include "PreviousMonth.h"
#include "SheetHistory.h"
#include "SheetLines.h"
#include "SheetPaste.h"

#include <QDate>
#include <QObject>

#include <functional>
#include <optional>

namespace store {
class Session;
}

namespace schedule {

// The four figures above the month's sheet; each may be blank.
struct MonthFigures {
    std::optional<store::Amount> 繰越額;
    std::optional<store::Amount> 予定額月計;
    std::optional<store::Amount> 支払額月計;
    std::optional<store::Amount> 累計;
};

// What became of a value accepted into a sheet cell.
enum class CellOutcome {
    Done,
    DayRefused, // the day names no day of the shown month: the day and date were emptied
};


// The month being edited, without widgets: loading a month into the sheet InpWork, the
// figures, the rules that run after a cell's value is accepted, saving the sheet, and the
// line commands. Sheet lines are named by their rowid in InpWork. The page shows the sheet
// and the figures and forwards the user's commands; sheetChanged() tells it to re-read the
// sheet, figuresChanged() to show the figures again.
class MonthController : public QObject {
    Q_OBJECT
public:
    explicit MonthController(store::Session& session, QObject* parent = nullptr);

    // The month shown: its first day; invalid when no month is chosen.
    QDate month() const { return month_; }
    void setMonth(const QDate& month);
    const MonthFigures& figures() const { return figures_; }
    // The carry-over the sheet's balances start from (a blank one counts as 0).
    store::Amount carry() const { return figures_.繰越額.value_or(store::Amount()); }
    // A carry-over typed by the user: the sheet's balances follow at once.
    void setCarry(std::optional<store::Amount> carry);

    // Whether the sheet or the carry-over holds changes that are not stored yet.
    bool hasUnsavedChanges() const { return modified_; }

    // A blank sheet and blank totals (Clear支払予定表); the month is kept and the
    // carry-over is the stored one of that month, so that a save continues the chain.
    void clear();
    // Loads the month (Read支払予定): the sheet, the two month totals, the carry-over and
    // the cumulative figure. showProgress gets the bar's values. Does nothing without a
    // month. Answers how many lines are stored in the month (the sheet holds at most
    // kSheetLines of them).
    int load(const std::function<void(int)>& showProgress = {});
    // The rules after a value typed into a sheet line was written: an emptied amount
    // becomes 0; a day makes the line's date in the shown month (or empties both when it
    // names no day of it); an amount updates its month total and the running balances
    // from that line down.
    CellOutcome cellAccepted(qint64 rowId, int column);
    // Month totals of the sheet (Calc支払予定額 / Calc支払額).
    void Calc支払予定額();
    void Calc支払額();

    // Fills the empty lines after the last filled line with the previous month's stored
    // lines (day, payee, scheduled amount; the paid amount 0), in day order; a day past
    // the end of the shown month becomes its last day. Copies nothing when they do not fit.
    CopyOutcome copyPreviousMonth();

    // Values pasted into the sheet, each checked and followed by the rules of a typed
    // value; all of them are one step of the sheet's undo. Answers the refused values and
    // the payee names that went in.
    struct PasteOutcome {
        std::vector<RefusedValue> refused;
        QStringList payees;
    };
    PasteOutcome paste(const std::vector<PasteCell>& cells);

    // Undo and redo of the sheet's edits since it was loaded, cleared or registered: cell
    // values, pastes, inserted and deleted blank lines, the carry-over, 前月複写. Deleting
    // a stored line changes the stored book and starts the history afresh.
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    bool undo();
    bool redo();

    // Saves the sheet (Entry支払予定表); the cumulative figure follows a save.
    SaveResult save(const std::function<void(int)>& showProgress = {});
    // A blank line above the sheet line numbered lineNumber (InsertLine).
    InsertOutcome insertLine(qint64 lineNumber);
    // Deletes a sheet line and its stored original (LineDelete); the totals and the
    // cumulative figure follow. Throws store::DbError when nothing could be deleted.
    bool deleteLine(qint64 rowId);

signals:
    void sheetChanged();
    void figuresChanged();
    void modifiedChanged(bool modified);

private:
    bool filesOpen() const;
    void showCumulative();
    // The sheet's balances from the carry-over, as the save will store them.
    void recalcSheet();
    void setModified(bool modified);
    // The sheet as it now stands becomes a step of the history (or, inside asOneStep,
    // part of the step that ends with it).
    void recordStep();
    void restartHistory(bool clean);
    void asOneStep(const std::function<void()>& body);
    bool showState(const std::optional<SheetState>& state);

    store::Session& session_;
    QDate month_;
    MonthFigures figures_;
    bool modified_ = false;
    SheetHistory history_;
    int grouping_ = 0;         // inside asOneStep: steps, totals and balance runs wait for its end
    bool groupChanged_ = false;
    bool groupRecalc_ = false;
};

} // namespace schedule

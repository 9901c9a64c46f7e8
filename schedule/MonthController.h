#pragma once

#include "Book.h"
#include "CellEntry.h"
#include "MonthOutcomes.h"
#include "MonthWrite.h"
#include "PreviousMonth.h"
#include "SheetDraft.h"
#include "SheetFigures.h"
#include "SheetLine.h"
#include "SheetPaste.h"

#include <QDate>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class QUndoStack;
namespace SQLite {
class Database;
}
namespace store {
class Session;
}

namespace schedule {

class SheetModel;
struct SheetChange;

// The month being edited, without widgets. It holds the month's lines in memory behind one
// item model (model()); an accepted value is checked, becomes one step of the undo stack,
// the balances and totals follow by the book's rule, and the changed lines are written as
// the draft to the work file (InpWork), so that unregistered work survives a crash. The
// ledger stores the month at save() and the sheet then shows the month as stored.
class MonthController : public QObject {
    Q_OBJECT
public:
    // The sheet's undo stack keeps this many steps; the oldest go first.
    static constexpr int kUndoDepth = 100;

    explicit MonthController(store::Session& session, QObject* parent = nullptr);
    ~MonthController() override;

    SheetModel* model() const { return model_; }
    QUndoStack* undoStack() const { return undo_; }
    const SheetLines& lines() const { return lines_; }

    // The month shown: its first day; invalid when no month is chosen.
    QDate month() const { return month_; }
    void setMonth(const QDate& month);
    const MonthFigures& figures() const { return figures_; }
    // The carry-over the balances start from (a blank one counts as 0), and what the lines
    // before the month bring into it.
    ledger::Amount carry() const { return figures_.繰越額.value_or(ledger::Amount()); }
    ledger::Amount broughtIn() const { return opening_.broughtIn; }
    // A carry-over typed by the user: one undo step; the balances follow at once.
    void setCarry(std::optional<ledger::Amount> carry);

    // Whether the sheet or the carry-over holds changes that are not registered.
    bool hasUnsavedChanges() const;
    // The user drops the sheet's unregistered changes: what the steps done since it was
    // loaded remembered outside the sheet (the lines of a reconciled statement) is forgotten.
    void forgetUnregisteredSteps();

    // A blank sheet and blank totals; the carry-over is the month's opening. Stored lines of
    // the month stay stored; a save then asks about them.
    void clear();
    // Loads the month: its stored lines, figures and opening. Nothing on the sheet changes
    // when the files cannot be read. showProgress gets the bar's values.
    LoadResult load(const std::function<void(int)>& showProgress = {});
    // The sheet the work file kept from a run that ended before it was registered: shown
    // again, marked unregistered, when the book's month is still the one the draft began
    // from. A draft whose month the book changed since (registered, or a line deleted,
    // before the draft could follow) is not shown: month() is then its month, to be loaded.
    DraftOutcome restoreDraft();

    // A value typed into a cell (the model's editor): checked, then one undo step. A refused
    // value changes nothing and is told through cellRefused.
    bool editCell(int row, int column, const QVariant& value);
    // Values pasted into the sheet: each checked as if typed; together one undo step.
    std::vector<RefusedValue> paste(const std::vector<PasteCell>& cells);
    // The previous month's stored lines into the empty lines after the sheet, their days by
    // the payees' payment rules and the book's setting for bank holidays: one undo step.
    // When the sheet holds lines of last month already (linesAlreadyOnSheet), askRepeat is
    // given them and decides: all lines, only the others, or none (Cancelled). Throws
    // store::DbError when the lines or the rules cannot be read.
    enum class RepeatChoice { All, Missing, Cancel };
    CopyOutcome copyPreviousMonth(const std::function<RepeatChoice(const QStringList& held)>& askRepeat = {});
    // The lines of `rows` whose day is a bank holiday move to the business day before
    // (forward false) or after it within the month: one undo step.
    BusinessDayOutcome moveToBusinessDay(const std::vector<int>& rows, bool forward);
    // A blank line at the sheet line `row`; the lines below move down one.
    InsertOutcome insertLine(int row);
    // Amounts paid on lines of the sheet (a transfer file was written for them): each is
    // added to its line's 支払額 (never replacing it), as one undo step; the balances
    // follow. Lines without a payee are left as they are. Each of `added` goes, in the same
    // step, into an empty line after the sheet's last line (none when no line is left).
    // Answers how many lines changed or were added.
    int markPaid(const std::vector<LinePayment>& payments, const std::vector<AddedPayment>& added = {});
    // Whether the line at `row` was loaded from or saved into the book.
    bool lineIsStored(int row) const;
    // Deletes the line at `row`: one undo step. A line the book holds leaves the book at
    // once (the book's balances follow) and comes back to it when the step is undone.
    // Answers whether a stored line was deleted. Throws when the book refused; nothing
    // changed then.
    bool deleteLine(int row);

    // Registers the month. Lines that cannot be stored, or a figure out of range, refuse the
    // save. When the sheet was cleared and stored lines of the month are on no sheet line,
    // askOffSheet decides about them. The lines are then stored, the balances run to the end
    // of the book, the names typed on the sheet are registered (registerPayees), all in one
    // transaction; the sheet then shows the month as the book holds it.
    SaveResult save(const std::function<OffSheetChoice(const std::vector<ledger::StoredLine>&)>& askOffSheet = {},
        const std::function<void(int)>& showProgress = {});

    // Registers payee names inside the save's transaction on the main connection, when the
    // settings register names automatically: names typed on the sheet since it was loaded
    // that stand on a stored line at save are given. Adds them to the payee master unless
    // replaced.
    std::function<void(SQLite::Database& main, const QStringList& names)> registerPayees;

    // Whether the work file's draft is behind the sheet: a write failed, and no write of
    // the whole sheet has gone through since. A crash now would lose the lines not in it.
    bool draftBehind() const { return draftBehind_; }

    // The names typed or pasted on the sheet since it was loaded that stand on it now (with
    // storedOnly, on a line the save stores).
    QStringList typedNames(bool storedOnly = false) const;
    // Every payee name on the sheet shown, each once, in the order of the lines: with the
    // payee list, what the drop-down offers.
    QStringList sheetNames() const;

    // Checks payee names typed or pasted on the sheet (set by the program: the rules of a
    // name are the payee list's).
    NameCheck checkName;

signals:
    void figuresChanged();
    // A step of the sheet's history could not be undone or redone: the book refused its
    // side. The sheet is unchanged and its history goes (engine: the engine's words).
    void historyDropped(const QString& engine);
    void modifiedChanged(bool modified);
    // A typed value was refused; the cell keeps its value.
    void cellRefused(int row, int column, const QString& text, schedule::CellRefusal why);
    // Payee names were typed or pasted into the sheet: one signal for each edit or paste,
    // with its names in the order of the cells.
    void payeesTyped(const QStringList& names);
    // The sheet shows other lines: a month read, a draft restored, the sheet cleared. Names
    // typed on the sheet before (its changes dropped or registered) are no longer on it.
    void sheetReplaced();
    // The draft could not be written to the work file (the sheet on screen is unchanged);
    // busy when another program held the file. Told once until a write goes through again.
    void draftFailed(const QString& engine, bool busy);
    // The work file's draft is behind the sheet (a write failed) or has caught up with it
    // (a later write of the whole sheet went through).
    void draftBehindChanged(bool behind);

private:
    // Only the undo commands change the sheet's lines.
    friend class SheetCommand;
    friend class StoredLineDelete;
    // A reconciled bank statement's step writes the draft's state as the controller's own
    // steps do.
    friend class StatementCommand;
    // Applies one side of an undo step.
    void apply(const SheetChange& change);
    // The book's side of a stored line's deletion being redone or undone. Answers what the
    // book held, or false; a refusal is told and
    // the history is dropped (historyDropped), the sheet staying as it is.
    std::optional<ledger::StoredLine> deleteFromBook(const ledger::LineKey& key);
    bool restoreToBook(const ledger::StoredLine& line);
    // Deletes the stored line with this key in one transaction; throws when the book refused.
    std::optional<ledger::StoredLine> removeStored(const ledger::LineKey& key);
    // The sheet's side of such a step: the lines, the cumulative figure, the whole draft at
    // the month's new version.
    void applyBookStep(const SheetChange& change);
    void dropHistoryAfterRefusal(const std::exception& error);

    bool filesOpen() const;
    // The two sides of the change from the lines shown to `after` (and the carry-over);
    // nothing when nothing changes.
    std::optional<std::pair<SheetChange, SheetChange>> changeTo(const SheetLines& after, std::optional<std::optional<ledger::Amount>> carry) const;
    // Pushes the change from the lines shown to `after` (and the carry-over) as one undo step.
    bool pushChange(const QString& text, const SheetLines& after, std::optional<std::optional<ledger::Amount>> carry = std::nullopt);
    // The figures and balances again; writes and announces the lines that changed.
    void settle(const SheetLines& before, bool writeDraft = true);
    // The month as the book holds it, read into a sheet with its figures.
    struct MonthRead {
        SheetLines lines;
        int stored = 0;
        ledger::MonthOpening opening;
        ledger::Amount cumulative;
        qint64 version = 0; // the month's version in the book
        std::optional<SheetFigures> figures; // set once the balances are computed
    };
    // Reads the month from the book; throws on failure.
    MonthRead readMonth();
    void show(MonthRead read, bool draftWritten);
    DraftState draftState() const;
    // Writes the draft: the lines at `changed`, with the state when withState is set. After
    // a write that failed, the whole sheet and its state go instead, so that the draft
    // never holds some lines of one sheet and some of another. A failure is told once
    // (draftFailed) until a write succeeds again. Answers whether the draft was written.
    bool writeDraft(const std::vector<int>& changed, bool withState);
    bool writeWholeDraft(const SheetLines& lines, const DraftState& state);
    void tellDraftFailure(const std::exception& error);
    void setDraftBehind(bool behind);
    void writeDraftState();
    // The sheet's lines as a registration writes them; a refusal (an incomplete line, a
    // balance out of range) instead.
    std::optional<SaveResult> collectWrite(ledger::MonthWrite& write) const;
    // After クリア: asks what becomes of the stored lines the sheet no longer shows.
    // Answers false when the user cancels.
    bool chooseOffSheet(ledger::MonthWrite& write, const std::function<OffSheetChoice(const std::vector<ledger::StoredLine>&)>& ask);
    // Shows the month as the book holds it after a registration, and retires the draft.
    void showSaved(SaveResult& result);
    void setExtraChanges(bool on);
    // modifiedChanged, when hasUnsavedChanges() differs from what it told last.
    void tellModified();
    QString describeLines(const std::vector<int>& rows) const;

    store::Session& session_;
    SheetDraft draft_;
    QDate month_;
    SheetLines lines_;
    MonthFigures figures_;
    ledger::MonthOpening opening_;
    SheetModel* model_;
    QUndoStack* undo_;
    bool cleared_ = false;       // cleared since the month was loaded
    bool extraChanges_ = false;  // unregistered changes the undo stack no longer holds
    bool modifiedShown_ = false; // what modifiedChanged told last
    QStringList typedNames_;
    bool draftBehind_ = false;
    qint64 version_ = 0; // the book's version of the month the sheet's lines began from
};

} // namespace schedule

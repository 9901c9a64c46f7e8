#pragma once

#include "Amount.h"
#include "CommandButtons.h"
#include "PageContext.h"
#include "SheetLine.h"
#include "StatementCommand.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class AmountField;
class GridView;
class QGridLayout;
class QAction;
class QProgressBar;
class QPushButton;
class QUndoStack;
class QVBoxLayout;
class YearMonthEdit;
class WorkTableModel;
namespace SQLite {
class Database;
}

namespace schedule {

class MonthController;
struct CopyOutcome;
struct FileFailure;
struct RefusedValue;
enum class CellRefusal;

// What the page shows above the grid: the month and the four number fields (each may be blank).
struct MonthHeader {
    QDate month; // invalid when the year-month field is empty
    std::optional<ledger::Amount> 繰越額;
    std::optional<ledger::Amount> 予定額月計;
    std::optional<ledger::Amount> 支払額月計;
    std::optional<ledger::Amount> 累計;
};

// The month's schedule page: the year-month field, the four number fields, the month
// grid over the sheet and the command buttons. It shows a MonthController and forwards
// the user's commands to it.
class SchedulePage : public QWidget {
    Q_OBJECT
public:
    explicit SchedulePage(PageContext& context, QWidget* parent = nullptr);

    // Binds the data sources, sets the year-month pattern by the era setting and sets up
    // the grid's columns.
    void setUpControls();
    // The year-month field's pattern and width by the era setting.
    void applyEra();
    // The month shown, read again from a book that was replaced.
    void showReplacedBook();
    // Blank figures, today's month, a blank sheet, the payee drop-down refilled.
    void Clear支払予定表();
    // Loads the month of the year-month field. Does nothing while the field is empty. When
    // the files cannot be read the page stays as it was and a box says why, offering to try
    // again. Answers whether the month was loaded.
    bool Read支払予定();
    // At start: the sheet a run that ended unregistered left in the work file, shown again;
    // or, when the book changed its month since (a registration whose draft could not be
    // retired), that month as the book holds it. Answers whether the page shows either.
    bool restoreUnsavedSheet();

    // Before a command drops the sheet: when it holds unsaved changes, asks whether to
    // register them first. はい saves and answers true when the save went through, いいえ
    // answers true (the changes are dropped), キャンセル answers false.
    bool confirmLeavingSheet();
    bool hasUnsavedChanges() const;
    // The payee names on the sheet shown, each once.
    QStringList sheetPayees() const;
    // What makes a payee name one the payee list would refuse, in the catalogue's words.
    void setNameCheck(std::function<std::optional<QString>(const QString& name)> check);
    // A save is running (its bar lets the window paint meanwhile, but nothing may end it).
    bool isSaving() const { return saving_; }

    MonthHeader monthHeader() const;

    // cmd登録: asks, commits the grid's pending edit and saves the month.
    void onEnterClicked();
    // Saves the sheet into storage with the progress bar and reports a refusal or failure.
    void Entry支払予定表();
    // cmd前月複写: the previous month's lines into the empty lines of the sheet.
    void copyPreviousMonth();
    // Ctrl+V on the grid: a block of values from the clipboard into the sheet from the
    // selected cell on (or one value into every selected cell); refused values are named.
    void pasteIntoSheet(const QString& text);
    // Ctrl+Z / Ctrl+Y on the page: the sheet's unregistered edits undone and redone.
    // Answer false when there is nothing to undo or redo.
    bool undoSheet();
    bool redoSheet();
    // The sheet's history of unregistered edits, for what follows whether it can be walked.
    const QUndoStack* sheetHistory() const;
    // cmd行挿入: a blank line above the grid's current line.
    void InsertLine();
    // cmd行削除: asks, then deletes the grid's current line.
    void onDeleteLineClicked();
    void LineDelete();

    // The bulk transfer (振込データ作成, cmd振込データ): the sheet's lines as shown, the
    // date of the grid's current line (invalid when it has none), and the lines written to
    // a transfer file marked paid, with the day's fee line added, as one undo step (answers
    // how many lines changed or were added).
    const SheetLines& sheetLines() const;
    QDate currentLineDate() const;
    int markPaid(const std::vector<LinePayment>& payments, const std::vector<AddedPayment>& added = {});
    // A reconciled bank statement (cmd明細消込): amounts paid on lines and withdrawals added
    // as paid lines, as one undo step.
    StatementCommand::Outcome applyStatement(const std::vector<LinePayment>& payments, const std::vector<StatementEntry>& entries,
        std::function<void(bool applied)> followed = {});

    // 前営業日へ / 翌営業日へ: the selected lines whose day is a bank holiday move to the
    // business day before or after it within the month; the status line says what moved.
    void moveSelectedToBusinessDay(bool forward);
    // What the grid's right-click menu offers, top to bottom (null for a separator line).
    void setGridMenu(QList<QAction*> actions) { gridMenu_ = std::move(actions); }

signals:
    void closeRequested();
    void printRequested();
    // cmd出力: the month's figures out to a workbook or CSV file.
    void exportRequested();
    // cmd振込データ: a bulk-transfer file from a day's lines of the sheet's month (the
    // grid's edit committed).
    void transferRequested(const QDate& month);
    // cmd明細消込: a bank statement's withdrawals matched to the sheet's lines (the grid's
    // edit committed).
    void statementRequested(const QDate& month);
    void hintRequested(const QString& controlName);
    // The drop-down's list of names should be rebuilt from the payee master and the names
    // typed on the sheet.
    void payeeListNeeded(WorkTableModel* dropDownSource, const QStringList& typed);
    // Names typed or pasted by one edit of the sheet, to be offered in the drop-down at once.
    void payeesTyped(WorkTableModel* dropDownSource, const QStringList& names);
    // A short text for the window's status line.
    void statusText(const QString& text);
    // A text given by statusText no longer holds; the line drops it if it still shows it.
    void statusTextWithdrawn(const QString& text);
    // The sheet holds unsaved changes, or no longer does.
    void modifiedChanged(bool modified);
    // The work file's copy of the sheet fell behind it (a write failed), or caught up.
    void draftBehindChanged(bool behind);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Listens to the committed changes of the book.
    void followBook();
    // The parts of the page, built in this order by the constructor.
    void nameControls();
    QGridLayout* figuresLayout(QPushButton* monBef, QPushButton* monNext);
    QVBoxLayout* commandColumn();
    void walkInVisualOrder(QPushButton* monBef, QPushButton* monNext);
    void connectCommands();
    // The page's action for a command.
    QAction* command(PageCommand name) const;
    // The transfer command's button (in the button column, before the hint) and its place
    // in the tab order.
    void addTransferCommand(QVBoxLayout* buttons);
    void connectTransferCommand();
    void requestTransfer();
    void requestStatement();

    // The weekday column, moved beside the day; the payee column gives it its width.
    static constexpr double kWeekdayTwips = 400;
    void setUpWeekdayColumn();
    // The status line names the bank holiday of the current line's day; once the cursor
    // stands on another day, the holiday told before is withdrawn.
    void tellBankHoliday();
    // What 前月複写 moved, in the status line.
    void tellRepeatedDays(const CopyOutcome& outcome);

    // The grid's current line with its pending edit written, or -1 when there is none.
    int committedCurrentRow();
    // The grid's notifications (focus, accepted cell, editing ended, moved cell, key).
    void connectGrid();
    void gridFocusGained();
    void gridCellMoved();
    // A typed value the month refused, told once the editor has closed.
    void tellRefusedValue(const QString& text, CellRefusal why);
    // The box of a load or save that the files refused; answers whether to try again.
    bool tellFileFailure(const char* command, const FileFailure& failure, const QString& what);
    void gridKeyDown(int& key, Qt::KeyboardModifiers modifiers);
    // One step of the sheet's history back or forward, said in the status line.
    bool walkHistory(bool forward);
    // The grid's right-click menu, with the actions given to setGridMenu().
    void showGridMenu(const QPoint& at);
    // The one reminder of the page; the focus goes back to the year-month field.
    void remindYearMonth();
    // cmdMonBef / cmdMonNext: one month back or forward, then load.
    void stepMonth(int count);
    // cmd読込 and a month typed into the year-month field: asks first when the sheet holds
    // unsaved changes (キャンセル puts the month shown back), loads, then (toGrid) goes to
    // the day cell of the first empty line.
    void loadAsked(bool toGrid);
    void loadAndGoToFirstEmptyLine();
    void focusFirstEmptyLine();
    void onClearClicked();
    void showFigures();
    // The carry-over's tooltip names what the lines before the month bring, when the month
    // keeps a carry-over of its own.
    void showCarryOrigin();
    void showProgress(int value);
    bool filesOpen() const;
    // The refused values of a paste, one line each, in the catalogue's words.
    void tellRefusedPaste(const std::vector<RefusedValue>& refused);

    PageContext& context_;
    MonthController* controller_;
    WorkTableModel* dat支払先名_;
    YearMonthEdit* monthEdit_;
    AmountField* num繰越額_;
    AmountField* num予定額月計_;
    AmountField* num支払額月計_;
    AmountField* num累計_;
    GridView* gridInp_;
    QProgressBar* pbar_;
    QList<QAction*> gridMenu_;
    bool toGridAfterMonth_ = false; // the year-month was confirmed with Enter
    bool saving_ = false;
    QString toldHoliday_; // the holiday message the status line was given last
};

} // namespace schedule

#pragma once

#include "Amount.h"
#include "PageContext.h"

#include <QDate>
#include <QWidget>

#include <optional>

class AmountField;
class GridView;
class QProgressBar;
class QPushButton;
class YearMonthEdit;
namespace store {
class WorkTableModel;
}

namespace schedule {

// What the page shows above the grid: the month and the four number fields (each may be blank).
struct MonthHeader {
    QDate month; // invalid when the year-month field is empty
    std::optional<store::Amount> 繰越額;
    std::optional<store::Amount> 予定額月計;
    std::optional<store::Amount> 支払額月計;
    std::optional<store::Amount> 累計;
};

// The month's schedule page: the year-month field, the four number fields, the month
// grid over the sheet and the command buttons.
class SchedulePage : public QWidget {
    Q_OBJECT
public:
    explicit SchedulePage(PageContext& context, QWidget* parent = nullptr);

    // Binds the data sources, sets the year-month pattern by the era setting and sets up
    // the grid's columns.
    void FormInit();
    // Blank totals, today's month, a blank sheet, the payee drop-down refilled.
    void Clear支払予定表();
    // Loads the month of the year-month field: the sheet, the two month totals, the
    // carried-over amount and the cumulative figure. Does nothing while the field is empty.
    void Read支払予定();

    // Month totals of the sheet into num予定額月計 / num支払額月計 (0 when the sheet holds
    // no amount; blank when the sum cannot be computed).
    void Calc支払予定額();
    void Calc支払額();
    // Running balances in the grid from its current line down (see schedule::Calc行残高).
    void Calc行残高();
    // Balances of the whole sheet from num繰越額, then the grid re-reads the sheet.
    void ReCalc残高();
    // Stored balances from a date on, starting from num繰越額.
    void Calc残高(const QDate& start);
    // Stored balances after a deleted line, from the stored line that preceded it.
    void Calc残高for削除(const QDate& date, std::optional<qint64> lineNumber);

    MonthHeader monthHeader() const;

    // cmd登録: asks, commits the grid's pending edit and saves the month.
    void cmd登録_Click();
    // Saves the sheet into storage with the progress bar and reports a refusal or failure.
    void Entry支払予定表();
    // cmd行挿入: a blank line above the grid's current line.
    void InsertLine();
    // cmd行削除: asks, then deletes the grid's current line.
    void cmd行削除_Click();
    void LineDelete();

signals:
    void closeRequested();
    void printRequested();
    void hintRequested(const QString& controlName);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The grid's current line with its pending edit written, or -1 when there is none.
    int committedCurrentRow();
    // The grid's notifications (focus, accepted cell, editing ended, moved cell, key).
    void connectGrid();
    void gridFocusGained();
    void gridCellAccepted(int column);
    void gridEditingEnded();
    void gridCellMoved();
    void gridKeyDown(int& key, Qt::KeyboardModifiers modifiers);
    // The one reminder of the page; the focus goes back to the year-month field.
    void remindYearMonth();
    void showCumulative();
    // cmdMonBef / cmdMonNext: one month back or forward, then load.
    void stepMonth(int count);
    // Re-reads the sheet into the grid and keeps the grid's current cell.
    void refreshSheet();
    bool filesOpen() const;

    PageContext& context_;
    store::WorkTableModel* datInp_;
    store::WorkTableModel* dat支払先名_;
    YearMonthEdit* dt年月_;
    AmountField* num繰越額_;
    AmountField* num予定額月計_;
    AmountField* num支払額月計_;
    AmountField* num累計_;
    GridView* gridInp_;
    QProgressBar* pbar_;
};

} // namespace schedule

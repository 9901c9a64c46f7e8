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
    // Loads the month of the year-month field.
    void Read支払予定();

    MonthHeader monthHeader() const;

signals:
    void closeRequested();
    void printRequested();
    void hintRequested(const QString& controlName);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ClearInpWork();

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

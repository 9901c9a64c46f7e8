#pragma once

#include "PageContext.h"

#include <QWidget>

class AmountField;
class GridView;
class QProgressBar;
class QPushButton;
class YearMonthEdit;
namespace store {
class WorkTableModel;
}

namespace schedule {

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

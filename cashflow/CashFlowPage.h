#pragma once

#include "PageContext.h"

#include <QDate>
#include <QWidget>

#include <map>

class QLabel;
class QSpinBox;
class QSplitter;
class QTableView;
class YearMonthEdit;

namespace cashflow {

class CashFlowChartView;
class CashFlowModel;

// The cash-flow page: a range of months from a year-month, a table of the months' figures
// and a chart of the running balance beside it. A click on a month in either selects it;
// a double-click (or Enter in the table) asks for that month on the schedule page. The line
// under them names the month chosen, with the fees its planned transfers are expected to
// cost.
class CashFlowPage : public QWidget {
    Q_OBJECT
public:
    explicit CashFlowPage(PageContext& context, QWidget* parent = nullptr);

    // Shows the range from the month of date (kept as it is when date is invalid); the
    // figures are read again when the range moved or the book changed since they were read.
    void openAt(const QDate& date);
    // Reads the figures of the range again and shows them.
    void refresh();
    // cmd資金繰り印刷: the chart and the table in the report window.
    void printOverview();

    const CashFlowModel& model() const { return *model_; }

signals:
    void monthChosen(const QDate& month);
    void hintRequested(const QString& controlName);
    // cmd資金繰り出力: the overview shown out to a workbook or CSV file.
    void exportRequested();
    // The overview's report window saved a PDF file.
    void fileWritten(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setUpControls();
    // The controls and the page's command buttons in their places.
    void layOut();
    void connectMonthChoice();
    // The table's share of the page: all its columns when there is room.
    void fitTable();
    void showHovered(int month);
    bool era() const;

    // The book changed: read at once when shown, else when next opened.
    void bookChanged();

    PageContext& context_;
    bool stale_ = true;
    CashFlowModel* model_;
    YearMonthEdit* startMonthEdit_;
    QSpinBox* num月数_;
    QTableView* grid_;
    CashFlowChartView* chart_;
    QLabel* lbl月_;
    QSplitter* split_;
    bool splitMoved_ = false;
    // The expected transfer fees of the months shown, by their first day.
    std::map<QDate, qint64> fees_;
};

} // namespace cashflow

// The main window's output commands: the monthly report and the exports of the pages.

#include "MainWindow.h"

#include "CashFlowModel.h"
#include "CashFlowPage.h"
#include "PayeeList.h"
#include "PayeePage.h"
#include "PrintCommand.h"
#include "ReportWindow.h"
#include "SchedulePage.h"
#include "Session.h"
#include "Skip.h"
#include "WorkTableModel.h"

void MainWindow::onPrintClicked()
{
    // No question is asked: each press prints the sheet as it stands in InpWork (an edit
    // still pending in the grid's current line is not part of it) in the month's report
    // window, opened or brought to the front.
    // An empty year-month field gives an empty caption; a blank total an empty cell.
    store::skipOnFailure(QStringLiteral("Cmd印刷"), [&] {
        const schedule::MonthHeader month = schedulePage_->monthHeader();
        const report::ReportHeader header = report::ReportHeader::forMonth(month.month, session_->settings.eraYears(),
            month.繰越額, month.予定額月計, month.支払額月計, month.累計);
        auto* window = report::openMonthlyReport(session_->workDb(), header, session_->settings.gLineColor1, msg_, this);
        disconnect(window, &report::ReportWindow::exportRequested, window, nullptr); // a window shown again keeps one connection
        connect(window, &report::ReportWindow::exportRequested, window, [this, window] { export_.run(window->document().month, window); });
        connect(window, &report::ReportWindow::pdfSaved, this, &MainWindow::showFileWritten, Qt::UniqueConnection);
    });
}

void MainWindow::connectExportCommands()
{
    // The export of the schedule page writes the stored months; it opens on the month shown.
    connect(schedulePage_, &schedule::SchedulePage::exportRequested, this, [this] { export_.run(schedulePage_->monthHeader().month, this); });
    // The cash-flow page writes the overview it shows, in the book's year style.
    connect(cashFlowPage_, &cashflow::CashFlowPage::exportRequested, this,
        [this] { export_.exportOverview(cashFlowPage_->model().overview(), cashFlowPage_->model().era(), this); });
    // Imported payees join the master; the page then shows the master as 読込 does, and
    // the month grid's drop-down offers them.
    connect(payeePage_, &payees::PayeePage::importRequested, this, [this] {
        if (!payeeImport_.run(this))
            return;
        // The page's copy is the master in name order: the drop-down list is copied from it
        // unless names on the sheet join it.
        if (payeePage_->Read支払先() && schedulePage_->sheetPayees().isEmpty())
            payees::copyPayeeListFromPage(*session_, schedulePage_->findChild<WorkTableModel*>(QStringLiteral("dat支払先名")));
        else
            refreshPayeeDropDown();
    });
}

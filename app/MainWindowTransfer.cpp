// The main window's part of the bulk transfer: the schedule page asks, the transfer
// command makes the file from the sheet's lines, and what each line written sends is added
// to its 支払額 on the sheet (one undo step) when the user agrees.

#include "MainWindow.h"

#include "PayeePage.h"
#include "SchedulePage.h"

void MainWindow::connectTransferCommand()
{
    transfer_.written = [this](const QString& path) { showFileWritten(path); };
    connect(schedulePage_, &schedule::SchedulePage::transferRequested, this, [this](const QDate& month) {
        std::vector<banking::SheetEntry> lines;
        const schedule::SheetLines& sheet = schedulePage_->sheetLines();
        for (std::size_t i = 0; i < sheet.size(); ++i) {
            const schedule::SheetLine& line = sheet[i];
            if (line.storable())
                lines.push_back({static_cast<int>(i), line.date, line.payee, line.scheduled, line.paid});
        }
        std::vector<schedule::LinePayment> paid;
        for (const banking::SentTransfer& sent : transfer_.run(month, lines, schedulePage_->currentLineDate(), this)) {
            if (const auto amount = ledger::Amount::fromYen(sent.yen))
                paid.push_back({sent.row, *amount});
        }
        if (!paid.empty())
            schedulePage_->markPaid(paid);
    });
    payeeExport_.written = [this](const QString& path) { showFileWritten(path); };
    connect(payeePage_, &payees::PayeePage::exportRequested, this, [this] { payeeExport_.run(this); });
}

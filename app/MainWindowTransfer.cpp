// The main window's part of the bulk transfer: the schedule page asks, the transfer
// command makes the file from the sheet's lines, and the bill each line written settles is
// added to its 支払額 on the sheet, with the day's line 振込手数料 when the settings ask for
// it (one undo step), when the user agrees.

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
        const banking::PaidTransfers outcome = transfer_.run(month, lines, schedulePage_->currentLineDate(), this);
        std::vector<schedule::LinePayment> paid;
        for (const banking::SentTransfer& sent : outcome.sent) {
            if (const auto amount = ledger::Amount::fromYen(sent.yen))
                paid.push_back({sent.row, *amount});
        }
        std::vector<schedule::AddedPayment> added;
        if (outcome.feeLineYen && !paid.empty()) {
            if (const auto fees = ledger::Amount::fromYen(*outcome.feeLineYen))
                added.push_back({outcome.day, QStringLiteral("振込手数料"), *fees});
        }
        if (!paid.empty())
            schedulePage_->markPaid(paid, added);
    });
    payeeExport_.written = [this](const QString& path) { showFileWritten(path); };
    connect(payeePage_, &payees::PayeePage::exportRequested, this, [this] { payeeExport_.run(this); });
}

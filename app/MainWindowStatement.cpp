// The main window's part of the bank statement's reconciliation: the schedule page asks,
// the import reads the statement and lets the user decide against the sheet's lines, and
// the decisions go on the sheet as one undo step.

#include "MainWindow.h"

#include "Msg.h"
#include "SchedulePage.h"

void MainWindow::connectStatementCommand()
{
    connect(schedulePage_, &schedule::SchedulePage::statementRequested, this, [this](const QDate& month) {
        std::vector<banking::SheetEntry> lines;
        const schedule::SheetLines& sheet = schedulePage_->sheetLines();
        for (std::size_t i = 0; i < sheet.size(); ++i) {
            const schedule::SheetLine& line = sheet[i];
            if (line.storable())
                lines.push_back({static_cast<int>(i), line.date, line.payee, line.scheduled, line.paid});
        }
        const std::optional<statement::ReconcilePlan> plan = statementImport_.run(month, lines, this);
        if (!plan)
            return;
        std::vector<schedule::LinePayment> payments;
        for (const statement::PlannedPayment& payment : plan->payments)
            payments.push_back({payment.row, payment.amount});
        std::vector<schedule::StatementEntry> entries;
        for (const statement::PlannedEntry& entry : plan->entries)
            entries.push_back({entry.date, entry.payee, entry.amount});
        const schedule::StatementCommand::Outcome outcome = schedulePage_->applyStatement(
            payments, entries, [this, settled = *plan](bool applied) { statementImport_.follow(settled, applied); });
        QString told = QStringLiteral("%1 行を支払済にし、%2 行を支払済の行として追加しました。").arg(outcome.paid).arg(outcome.added);
        if (outcome.noRoom > 0)
            told += QStringLiteral("\n空いている行が足りず、%1 件の出金は追加できませんでした。").arg(outcome.noRoom);
        msg_.ShowMsg(messages::MsgId::その他_明細消込完了, told);
    });
}

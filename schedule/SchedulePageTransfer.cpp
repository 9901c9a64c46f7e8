// The schedule page's part of the bulk transfer (振込データ作成) and of the bank statement's
// reconciliation (入出金明細の消込): the commands that ask for them from the button column
// (and the main window's menus), and the paid marking of the lines written to a transfer
// file or matched to a statement. The files themselves are made and read outside the page.

#include "SchedulePage.h"

#include "CommandButtons.h"
#include "GridView.h"
#include "MonthController.h"
#include "Msg.h"
#include "StatementCommand.h"

#include <QAction>
#include <QPushButton>
#include <QVBoxLayout>

namespace schedule {

void SchedulePage::addTransferCommand(QVBoxLayout* buttons)
{
    auto* button = new QPushButton(QStringLiteral("振込データ"), this);
    button->setObjectName(QStringLiteral("cmd振込データ"));
    button->setToolTip(QStringLiteral("振込データ作成"));
    buttons->addWidget(button);
    makeCommand(button, this, PageCommand::Transfer);
    auto* statement = new QPushButton(QStringLiteral("明細消込"), this);
    statement->setObjectName(QStringLiteral("cmd明細消込"));
    statement->setToolTip(QStringLiteral("入出金明細の消込"));
    buttons->addWidget(statement);
    makeCommand(statement, this, PageCommand::Statement);
}

void SchedulePage::connectTransferCommand()
{
    QPushButton* transfer = commandButton(this, PageCommand::Transfer);
    // After the page's other commands in the tab order, before the hint button.
    setTabOrder(commandButton(this, PageCommand::Clear), transfer);
    QPushButton* statement = commandButton(this, PageCommand::Statement);
    setTabOrder(transfer, statement);
    setTabOrder(statement, commandButton(this, PageCommand::Hint));
    connect(command(PageCommand::Transfer), &QAction::triggered, this, &SchedulePage::requestTransfer);
    connect(command(PageCommand::Statement), &QAction::triggered, this, &SchedulePage::requestStatement);
}

void SchedulePage::requestTransfer()
{
    if (!filesOpen())
        return;
    if (!controller_->month().isValid()) {
        remindYearMonth();
        return;
    }
    // The value still in a cell's editor is part of the sheet the file is made from.
    gridInp_->commit();
    emit transferRequested(controller_->month());
}

void SchedulePage::requestStatement()
{
    if (!filesOpen())
        return;
    if (!controller_->month().isValid()) {
        remindYearMonth();
        return;
    }
    gridInp_->commit();
    emit statementRequested(controller_->month());
}

const SheetLines& SchedulePage::sheetLines() const
{
    return controller_->lines();
}

QDate SchedulePage::currentLineDate() const
{
    const int row = gridInp_->currentRowIndex();
    const SheetLines& lines = controller_->lines();
    if (row < 0 || row >= static_cast<int>(lines.size()))
        return {};
    return lines[static_cast<std::size_t>(row)].date;
}

int SchedulePage::markPaid(const std::vector<LinePayment>& payments, const std::vector<AddedPayment>& added)
{
    if (!filesOpen())
        return 0;
    const bool room = controller_->lines().empty() || !controller_->lines().back().holdsData();
    const int changed = controller_->markPaid(payments, added);
    // The bills are marked whatever happens; a fee line without an empty line is named.
    if (!room) {
        for (const AddedPayment& line : added)
            context_.msg.ShowMsg(messages::MsgId::入力_手数料行入らず, line.amount.format());
    }
    return changed;
}

StatementCommand::Outcome SchedulePage::applyStatement(const std::vector<LinePayment>& payments, const std::vector<StatementEntry>& entries,
    std::function<void(bool)> followed)
{
    if (!filesOpen())
        return {};
    return StatementCommand::push(*controller_, payments, entries, std::move(followed));
}

} // namespace schedule

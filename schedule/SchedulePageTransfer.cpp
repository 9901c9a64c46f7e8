// The schedule page's part of the bulk transfer (振込データ作成): the command that asks
// for it from the button column (and the main window's menus), and the paid marking of the
// lines written to a transfer file. The file itself is made outside the page.

#include "SchedulePage.h"

#include "CommandButtons.h"
#include "GridView.h"
#include "MonthController.h"
#include "Msg.h"

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
}

void SchedulePage::connectTransferCommand()
{
    QPushButton* transfer = commandButton(this, PageCommand::Transfer);
    // After the page's other commands in the tab order, before the hint button.
    setTabOrder(commandButton(this, PageCommand::Clear), transfer);
    setTabOrder(transfer, commandButton(this, PageCommand::Hint));
    connect(command(PageCommand::Transfer), &QAction::triggered, this, &SchedulePage::requestTransfer);
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

} // namespace schedule

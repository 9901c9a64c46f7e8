// The schedule page's part of the bulk transfer (振込データ作成): the command that asks
// for it from the button column, the grid's menu and Ctrl+Shift+T, and the paid marking
// of the lines written to a transfer file. The file itself is made outside the page.

#include "SchedulePage.h"

#include "CommandButtons.h"
#include "GridView.h"
#include "MonthController.h"

#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace schedule {

namespace {
const QKeySequence kTransferKeys(Qt::CTRL | Qt::SHIFT | Qt::Key_T);
} // namespace

void SchedulePage::addTransferCommand(QVBoxLayout* buttons)
{
    auto* button = new QPushButton(QStringLiteral("振込データ"), this);
    button->setObjectName(QStringLiteral("cmd振込データ"));
    button->setToolTip(QStringLiteral("振込データ作成"));
    setCommandShortcut(button, kTransferKeys);
    buttons->addWidget(button);
}

void SchedulePage::connectTransferCommand()
{
    QPushButton* button = command("cmd振込データ");
    // After the page's other commands in the tab order, before the hint button.
    setTabOrder(command("cmd履歴クリア"), button);
    setTabOrder(button, findChild<QPushButton*>(QStringLiteral("cmdHint")));
    connect(button, &QPushButton::clicked, this, &SchedulePage::requestTransfer);
}

void SchedulePage::addTransferAction(QMenu& menu)
{
    menu.addSeparator();
    QAction* action = menu.addAction(QStringLiteral("振込データ作成"), this, &SchedulePage::requestTransfer);
    action->setShortcut(kTransferKeys);
    action->setEnabled(filesOpen() && controller_->month().isValid());
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

int SchedulePage::markPaid(const std::vector<int>& rows)
{
    if (!filesOpen())
        return 0;
    return controller_->markPaid(rows);
}

} // namespace schedule

// The main window's menu bar: each command connected to what it does (a page's command,
// the one its button triggers, or the window's own), enabled as the page shown and the
// histories of edits and deletions allow, and the keys named in the buttons' tooltips.

#include "MainWindow.h"

#include "CashFlowPage.h"
#include "CommandButtons.h"
#include "GridView.h"
#include "KeyListDialog.h"
#include "MainActions.h"
#include "PayeePage.h"
#include "RestoreList.h"
#include "SchedulePage.h"
#include "SettingsPage.h"
#include "StatusLine.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QUndoStack>

#include <sqlite3.h>

#include <array>

namespace {

// A menu command that triggers a command of a page: the page shown decides which one
// runs, and the menu command is enabled only while the page shown has one. A command on
// the whole book (wholeBook) runs from any page: the one page that has it is shown first
// when the command has to ask or show something there.
struct PageRoute {
    QAction* MainActions::*action;
    PageCommand command;
    bool wholeBook = false;
};

const PageRoute kRoutes[] = {
    {&MainActions::load, PageCommand::Load},
    {&MainActions::enter, PageCommand::Enter},
    {&MainActions::clear, PageCommand::Clear},
    {&MainActions::remove, PageCommand::Remove},
    {&MainActions::print, PageCommand::Print},
    {&MainActions::exportFile, PageCommand::Export},
    {&MainActions::insertLine, PageCommand::InsertLine},
    {&MainActions::deleteLine, PageCommand::DeleteLine},
    {&MainActions::previousMonth, PageCommand::PreviousMonth},
    {&MainActions::nextMonth, PageCommand::NextMonth},
    {&MainActions::copyPreviousMonth, PageCommand::CopyPreviousMonth},
    {&MainActions::transfer, PageCommand::Transfer},
    {&MainActions::statement, PageCommand::Statement},
    {&MainActions::account, PageCommand::Account},
    {&MainActions::hint, PageCommand::Hint},
    {&MainActions::quit, PageCommand::Quit, true},
    {&MainActions::importPayees, PageCommand::Import, true},
    {&MainActions::deleteAll, PageCommand::DeleteAll, true},
    {&MainActions::sender, PageCommand::Sender, true},
};

// The page command a route runs now: the shown page's, or for a command on the whole book
// the one of the page that has it.
QAction* routedCommand(const PageRoute& route, const QTabWidget& tabs)
{
    if (QAction* shown = pageCommand(tabs.currentWidget(), route.command))
        return shown;
    for (int page = 0; route.wholeBook && page < tabs.count(); ++page) {
        if (QAction* command = pageCommand(tabs.widget(page), route.command))
            return command;
    }
    return nullptr;
}

} // namespace

void MainWindow::setUpMenuBar()
{
    connectPageCommands();
    connectWindowCommands();
    // The month grid's own commands: their keys work while the grid has the focus, and its
    // right-click menu offers them with the history and the transfer.
    if (auto* grid = schedulePage_->findChild<GridView*>(QStringLiteral("GridInp"))) {
        grid->addActions({actions_->copy, actions_->paste, actions_->emptyCells, actions_->previousBusinessDay, actions_->nextBusinessDay});
        schedulePage_->setGridMenu({actions_->undo, actions_->redo, nullptr, actions_->copy, actions_->paste, actions_->emptyCells, nullptr,
            actions_->previousBusinessDay, actions_->nextBusinessDay, nullptr, actions_->transfer});
    }
    // A command's status tip lasts while its menu is open.
    if (auto* bar = findChild<QMenuBar*>(QStringLiteral("MenuBar"))) {
        for (QMenu* menu : bar->findChildren<QMenu*>())
            connect(menu, &QMenu::aboutToHide, statusLine_, [this] { statusLine_->showTip(QString()); });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::followPage);
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::followHistory);
    for (const QUndoStack* history : std::initializer_list<const QUndoStack*>{schedulePage_->sheetHistory(), payeePage_->history()}) {
        connect(history, &QUndoStack::canUndoChanged, this, &MainWindow::followHistory);
        connect(history, &QUndoStack::canRedoChanged, this, &MainWindow::followHistory);
    }
    connect(&backups_, &backup::BackupService::undoChanged, this, &MainWindow::followHistory);
    followPage();
    followHistory();
}

void MainWindow::connectPageCommands()
{
    for (const PageRoute& route : kRoutes) {
        QAction* action = actions_->*route.action;
        connect(action, &QAction::triggered, this, [this, &route] {
            if (QAction* command = routedCommand(route, *tabs_))
                command->trigger();
        });
        // Each page's button names the keys that run it.
        for (int page = 0; page < tabs_->count(); ++page)
            showKeysInToolTip(commandButton(tabs_->widget(page), route.command), action->shortcut());
    }
}

void MainWindow::connectWindowCommands()
{
    MainActions& a = *actions_;
    for (std::size_t page = 0; page < a.pages.size(); ++page)
        connect(a.pages[page], &QAction::triggered, tabs_, [this, page] { tabs_->setCurrentIndex(static_cast<int>(page)); });
    connect(a.undo, &QAction::triggered, this, &MainWindow::undoCommand);
    connect(a.redo, &QAction::triggered, this, [this] {
        if (tabs_->currentWidget() == schedulePage_)
            schedulePage_->redoSheet();
        else if (tabs_->currentWidget() == payeePage_)
            payeePage_->redoEdit();
    });
    auto* grid = schedulePage_->findChild<GridView*>(QStringLiteral("GridInp"));
    connect(a.copy, &QAction::triggered, grid, &GridView::copySelection);
    connect(a.paste, &QAction::triggered, grid, &GridView::pasteClipboard);
    connect(a.emptyCells, &QAction::triggered, grid, &GridView::emptySelectedCells);
    connect(a.previousBusinessDay, &QAction::triggered, schedulePage_, [this] { schedulePage_->moveSelectedToBusinessDay(false); });
    connect(a.nextBusinessDay, &QAction::triggered, schedulePage_, [this] { schedulePage_->moveSelectedToBusinessDay(true); });
    connect(a.undoDeletion, &QAction::triggered, this, &MainWindow::undoLast);
    // The status line's 元に戻す is the same command.
    connect(statusLine_, &StatusLine::undoRequested, a.undoDeletion, &QAction::trigger);
    connect(a.restore, &QAction::triggered, this, &MainWindow::showBackups);
    connect(a.keyList, &QAction::triggered, this, &MainWindow::showKeyList);
    connect(a.supportPage, &QAction::triggered, this, &MainWindow::openMakerPage);
    connect(a.about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::followPage()
{
    const int shown = tabs_->currentIndex();
    actions_->pages.at(static_cast<std::size_t>(std::max(shown, 0)))->setChecked(true);
    for (const PageRoute& route : kRoutes)
        (actions_->*route.action)->setEnabled(routedCommand(route, *tabs_) != nullptr);
    const bool schedule = tabs_->currentWidget() == schedulePage_;
    for (QAction* onGrid : {actions_->copy, actions_->paste, actions_->emptyCells, actions_->previousBusinessDay, actions_->nextBusinessDay})
        onGrid->setEnabled(schedule);
}

void MainWindow::followHistory()
{
    // The shown page's edits: the sheet's or the payee page's.
    const QWidget* shown = tabs_->currentWidget();
    const QUndoStack* history = shown == schedulePage_ ? schedulePage_->sheetHistory() : shown == payeePage_ ? payeePage_->history() : nullptr;
    actions_->undo->setEnabled((history && history->canUndo()) || backups_.undoOffered());
    actions_->redo->setEnabled(history && history->canRedo());
    actions_->undoDeletion->setEnabled(backups_.undoOffered());
}

void MainWindow::undoCommand()
{
    if (tabs_->currentWidget() == schedulePage_ && schedulePage_->undoSheet())
        return;
    if (tabs_->currentWidget() == payeePage_ && payeePage_->undoEdit())
        return;
    undoLast();
}

void MainWindow::showBackups()
{
    tabs_->setCurrentWidget(settingsPage_);
    auto* list = restoreList_->findChild<QTreeWidget*>(QStringLiteral("lstBackup"));
    if (!list)
        return;
    if (!list->currentItem() && list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    list->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showKeyList()
{
    if (!keyList_) {
        keyList_ = new KeyListDialog(*findChild<QMenuBar*>(QStringLiteral("MenuBar")), this);
        keyList_->setAttribute(Qt::WA_DeleteOnClose);
    }
    keyList_->show();
    keyList_->raise();
    keyList_->activateWindow();
}

void MainWindow::showAbout()
{
    const QString versions = QStringLiteral("Qt %1　SQLite %2").arg(QString::fromLatin1(qVersion()), QString::fromLatin1(sqlite3_libversion()));
    msg_.ShowMsg(messages::MsgId::その他_バージョン情報, infoText().trimmed() + QStringLiteral("\n\n") + versions);
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        statusLine_->showTip(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

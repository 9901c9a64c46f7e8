// The main window's side of the backups: the hooks of the destructive commands, the
// status line with its undo offer, the restore list and the check after a crash recovery.

#include "MainWindow.h"

#include "ChainCheck.h"
#include "CashFlowPage.h"
#include "GridView.h"
#include "Msg.h"
#include "PayeePage.h"
#include "RestoreList.h"
#include "SchedulePage.h"
#include "SettingsPage.h"
#include "Skip.h"
#include "StatusLine.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QAbstractItemView>
#include <QDir>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

backup::Reason backupReason(DestructiveCommand command)
{
    switch (command) {
    case DestructiveCommand::LineDelete:
        return backup::Reason::LineDelete;
    case DestructiveCommand::PayeeEntry:
        return backup::Reason::PayeeEntry;
    case DestructiveCommand::PayeeDelete:
        return backup::Reason::PayeeDelete;
    case DestructiveCommand::PayeeLineDelete:
        return backup::Reason::PayeeLineDelete;
    case DestructiveCommand::SettingsDelete:
        break;
    }
    return backup::Reason::SettingsDelete;
}

} // namespace

void MainWindow::setUpBackups()
{
    context_.beforeDestructive = [this](DestructiveCommand command) { return backups_.beforeDestructive(backupReason(command)); };
    context_.destructiveDone = [this](DestructiveCommand command) { backups_.destructiveDone(backupReason(command)); };
    // The pages read the replaced book again: the month sheet's unregistered changes are
    // registered or dropped as the user chooses first, or the book stays as it is.
    backups_.beforeReplace = [this] { return schedulePage_->confirmLeavingSheet(); };
    connect(&backups_, &backup::BackupService::undoChanged, this, &MainWindow::refreshStatus);
    connect(&backups_, &backup::BackupService::bookReplaced, this, [this] {
        emit session_->changes().bookReplaced();
        // The book was replaced: what the status line said of the one before goes with it.
        const QString text = messages::messageText(messages::MsgId::状態_復元済, backups_.lastReplacement());
        statusLine_->showText(text, false);
    });
    restoreList_->setMinimumHeight(140);
    if (auto* page = qobject_cast<QVBoxLayout*>(settingsPage_->layout()))
        page->insertWidget(2, restoreList_, 1);
}

void MainWindow::refreshStatus()
{
    if (!session_ || !session_->isOpen())
        return;
    if (backups_.undoAvailable()) {
        const QString text = messages::messageText(messages::MsgId::状態_取消可能, backups_.undoText());
        statusLine_->showText(text, true);
    } else if (statusLine_->undoOffered()) {
        statusLine_->clear();
    }
}

void MainWindow::connectStatusLine()
{
    connect(schedulePage_, &schedule::SchedulePage::statusText, this, [this](const QString& text) { statusLine_->showText(text, false); });
    connect(schedulePage_, &schedule::SchedulePage::statusTextWithdrawn, statusLine_, &StatusLine::withdraw);
    connect(payeePage_, &payees::PayeePage::statusText, this, [this](const QString& text) { statusLine_->showText(text, false); });
    // A change of the sheet (a typed value, a paste, a deleted or inserted line, another
    // month) is a new command: the message of the one before no longer holds. A command
    // with its own message shows it once its change is made.
    if (auto* sheet = schedulePage_->findChild<QAbstractItemView*>(QStringLiteral("GridInp")); sheet && sheet->model()) {
        QAbstractItemModel* model = sheet->model();
        const auto drop = [this] { statusLine_->dropMessage(); };
        connect(model, &QAbstractItemModel::dataChanged, statusLine_, drop);
        connect(model, &QAbstractItemModel::modelReset, statusLine_, drop);
        connect(model, &QAbstractItemModel::rowsInserted, statusLine_, drop);
        connect(model, &QAbstractItemModel::rowsRemoved, statusLine_, drop);
    }
    // The written file of an export, from the pages or a report window.
    export_.written = [this](const QString& path) { showFileWritten(path); };
    connect(cashFlowPage_, &cashflow::CashFlowPage::fileWritten, this, &MainWindow::showFileWritten);
}

void MainWindow::showFileWritten(const QString& path)
{
    const QString text = messages::messageText(messages::MsgId::状態_出力済, QDir::toNativeSeparators(path));
    statusLine_->showFileWritten(text, path);
}

void MainWindow::undoLast()
{
    if (!session_ || !session_->isOpen())
        return;
    const QString command = backups_.undoText();
    if (backups_.undo()) {
        const QString text = messages::messageText(messages::MsgId::状態_取消済, command);
        statusLine_->showText(text, false);
        return;
    }
    refreshStatus();
}

void MainWindow::checkBalancesAfterRecovery()
{
    std::optional<ledger::ChainBreak> broken;
    if (!store::skipOnFailure(QStringLiteral("balance chain"), [&] { broken = ledger::findChainBreak(session_->mainDb()); }) || !broken)
        return;
    const QString where = backup::describeBreak(*broken);
    if (!msg_.ShowMsg(messages::MsgId::その他_残高不整合, where))
        return;
    tabs_->setCurrentWidget(settingsPage_);
    if (auto* list = restoreList_->findChild<QWidget*>(QStringLiteral("lstBackup")))
        list->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showSheetModified(bool modified)
{
    sheetModified_ = modified;
    showSheetState();
}

void MainWindow::showDraftBehind(bool behind)
{
    draftBehind_ = behind;
    showSheetState();
    // The warning shows at once, in place of the last command's message.
    if (behind)
        statusLine_->dropMessage();
}

void MainWindow::showSheetState()
{
    setWindowTitle(sheetModified_ ? QStringLiteral("* ") + titleText() : titleText());
    QString text;
    if (draftBehind_)
        text = messages::messageText(messages::MsgId::状態_下書き遅れ, QString());
    else if (sheetModified_)
        text = messages::messageText(messages::MsgId::状態_未登録, QString());
    statusLine_->setStanding(text);
}

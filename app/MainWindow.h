#pragma once

#include "ExportCommand.h"
#include "BackupService.h"
#include "HintController.h"
#include "PayeeExportCommand.h"
#include "PayeeImportCommand.h"
#include "StatementImport.h"
#include "TransferCommand.h"
#include "Msg.h"
#include "PageContext.h"
#include "Session.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

class KeyListDialog;
class MainActions;
class QTabWidget;
class StatusLine;
namespace backup {
class RestoreList;
}
namespace schedule {
class SchedulePage;
}
namespace payees {
class PayeePage;
}
namespace settings {
class SettingsPage;
}
namespace cashflow {
class CashFlowPage;
}

// The main window: the menu bar over four pages on a tab control, and the status
// line under them. It owns the data files and the in-memory settings for the whole run and
// closes them, main file first, when it closes; nothing is saved then.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Builds the window on an open session and runs the start-up reads.
    MainWindow(std::unique_ptr<store::InstanceLock> lock, std::unique_ptr<store::Session> session, messages::MessagePresenter& presenter);
    ~MainWindow() override;

    static QString titleText();
    static QString infoText();

    store::Session& session() { return *session_; }
    messages::Msg& msg() { return msg_; }
    hints::HintController& hintController() { return hints_; }
    exchange::ExportCommand& exportCommand() { return export_; }
    exchange::PayeeImportCommand& payeeImportCommand() { return payeeImport_; }
    banking::TransferCommand& transferCommand() { return transfer_; }
    exchange::PayeeExportCommand& payeeExportCommand() { return payeeExport_; }
    statement::StatementImport& statementImport() { return statementImport_; }
    // Opens a web address in the desktop's browser, answering whether one took it;
    // replaceable for tests.
    std::function<bool(const QUrl& address)> openInBrowser = &MainWindow::openWithDesktop;
    static bool openWithDesktop(const QUrl& address);

    void setUpControls();
    void onCloseRequested();
    backup::BackupService& backups() { return backups_; }
    // After a crash journal was rolled back at start-up: checks the stored balances and,
    // when their chain is broken, says so and offers the backups.
    void checkBalancesAfterRecovery();

    // Ends the program as the close button does, but asks nothing: for the system's
    // signals (logout, shutdown, a closed terminal). The sheet's unregistered lines stay in
    // the work file as they are; the close-time backup is made and the lock let go. A box
    // or dialog open at the time is dismissed as Escape does, and the close waits until
    // the command under it and a save in progress have finished.
    void closeWithoutQuestions();
    // The session manager's request before the session ends: asks about the sheet's
    // unregistered changes as the close button does. Answers whether the session may end.
    bool commitSessionData();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A status tip (a menu command under the pointer) shows in the status line.
    bool event(QEvent* event) override;

private:
    void runStartupReads();
    // Bank details an earlier version kept for deleted payees: named once, after an update.
    void reportUnlistedAccounts();
    void closeFiles();
    // The pages on their tabs, the menu bar and the status line.
    void layOutPages();
    // What the pages ask of the window and of each other.
    void connectPages();
    void fitGridsOnScreen();
    void openHint(const QString& controlName);
    void onDeleteAllClicked();
    void onPrintClicked();
    void connectExportCommands();
    // 振込データ作成 of the schedule page: the file from the sheet's lines, then the lines
    // marked paid on the sheet when the user agrees; the payee list with its bank details
    // out from the payee page.
    void connectTransferCommand();
    void connectStatementCommand();
    // Shows a month chosen on the cash-flow page on the schedule page.
    void openScheduleMonth(const QDate& month);
    // The title and the status line mark a sheet with unsaved changes; the status line
    // says while the work file's copy of the sheet is behind it (a crash would lose lines).
    void showSheetModified(bool modified);
    void showDraftBehind(bool behind);
    void showSheetState();
    // The grid's drop-down list rebuilt from the payee master.
    void refreshPayeeDropDown();
    // The backups: hooks for the pages' destructive commands, the status line's undo,
    // the restore list on the settings page.
    void setUpBackups();
    void refreshStatus();
    // The status line: each command's message replaces the last one, and a change of the
    // sheet or the book retires a message that no longer describes it.
    void connectStatusLine();
    // A written file named in the status line, with a button that opens its folder.
    void showFileWritten(const QString& path);
    void undoLast();

    // The menu bar (MainWindowMenus.cpp): its commands connected to the pages' commands
    // and the window's, and enabled as the page shown and the histories allow.
    void setUpMenuBar();
    void connectPageCommands();
    void connectWindowCommands();
    void followPage();
    void followHistory();
    // 元に戻す: the sheet's last edit while the month page is shown and has one, else the
    // last deletion that can be undone.
    void undoCommand();
    // The backup list on the settings page, with the focus on it.
    void showBackups();
    void showKeyList();
    void showAbout();
    // The bulletin board in the browser; when no browser takes it, a box names the address
    // so that it can be opened elsewhere.
    void openMakerPage();

    std::unique_ptr<store::InstanceLock> lock_;
    std::unique_ptr<store::Session> session_;
    messages::Msg msg_;
    backup::BackupService backups_;
    PageContext context_;
    hints::HintController hints_;
    exchange::ExportCommand export_;
    exchange::PayeeImportCommand payeeImport_;
    banking::TransferCommand transfer_;
    exchange::PayeeExportCommand payeeExport_;
    statement::StatementImport statementImport_;
    QTabWidget* tabs_;
    schedule::SchedulePage* schedulePage_;
    payees::PayeePage* payeePage_;
    settings::SettingsPage* settingsPage_;
    cashflow::CashFlowPage* cashFlowPage_;
    StatusLine* statusLine_;
    backup::RestoreList* restoreList_;
    MainActions* actions_;
    QPointer<KeyListDialog> keyList_;
    bool sheetModified_ = false;
    bool draftBehind_ = false;
    bool closingWithoutQuestions_ = false;
};

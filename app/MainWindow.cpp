#include "MainWindow.h"

#include "PayeeList.h"
#include "PayeeName.h"
#include "CashFlowModel.h"
#include "CashFlowPage.h"
#include "PayeePage.h"
#include "PrintCommand.h"
#include "ReportWindow.h"
#include "SchedulePage.h"
#include "SettingsPage.h"
#include "AccountStore.h"
#include "AllDelete.h"
#include "LongCommand.h"
#include "MainActions.h"
#include "RestoreList.h"
#include "StatusLine.h"
#include "Skip.h"
#include "Twips.h"
#include "Version.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTabWidget>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

MainWindow::MainWindow(std::unique_ptr<store::InstanceLock> lock, std::unique_ptr<store::Session> session, messages::MessagePresenter& presenter)
    : lock_(std::move(lock))
    , session_(std::move(session))
    , msg_(presenter)
    , backups_(*session_, msg_)
    , context_{*session_, msg_}
    , hints_(*session_, msg_)
    , export_(*session_, msg_)
    , payeeImport_(*session_, msg_)
    , transfer_(*session_, msg_)
    , payeeExport_(*session_, msg_)
    , statementImport_(*session_, msg_)
    , tabs_(new QTabWidget(this))
    , schedulePage_(new schedule::SchedulePage(context_))
    , payeePage_(new payees::PayeePage(context_))
    , settingsPage_(new settings::SettingsPage(context_))
    , cashFlowPage_(new cashflow::CashFlowPage(context_))
    , statusLine_(new StatusLine(this))
    , restoreList_(new backup::RestoreList(backups_, settingsPage_))
    , actions_(new MainActions(this))
{
    // The hint texts of the window are stored under this name.
    setObjectName(QStringLiteral("FrmQuorel1"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    layOutPages();
    connectPages();
    connectExportCommands();
    connectTransferCommand();
    connectStatementCommand();
    setUpBackups();

    setWindowTitle(titleText());
    runStartupReads();
    connectStatusLine(); // the sheet's grid has its model once the pages are set up
    setUpMenuBar();
    fitGridsOnScreen();
    backups_.atStart();
}

void MainWindow::layOutPages()
{
    tabs_->setObjectName(QStringLiteral("SSTab1"));
    tabs_->addTab(schedulePage_, QStringLiteral("     支 払 予 定     "));
    tabs_->addTab(payeePage_, QStringLiteral(" 支払先保守 "));
    tabs_->addTab(settingsPage_, QStringLiteral(" 設定・情報 "));
    tabs_->addTab(cashFlowPage_, QStringLiteral(" 資金繰り "));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setMenuBar(actions_->makeMenuBar(this));
    layout->addWidget(tabs_);
    layout->addWidget(statusLine_);
    resize(twipsToPixels(10995), twipsToPixels(7155));
}

void MainWindow::connectPages()
{
    connect(schedulePage_, &schedule::SchedulePage::closeRequested, this, &MainWindow::onCloseRequested);
    connect(schedulePage_, &schedule::SchedulePage::modifiedChanged, this, &MainWindow::showSheetModified);
    connect(schedulePage_, &schedule::SchedulePage::draftBehindChanged, this, &MainWindow::showDraftBehind);
    connect(schedulePage_, &schedule::SchedulePage::printRequested, this, &MainWindow::onPrintClicked);
    connect(schedulePage_, &schedule::SchedulePage::hintRequested, this, &MainWindow::openHint);
    // A name typed on the sheet is offered in the drop-down at once; it joins the payee
    // master when the month is registered (with automatic registration on).
    schedulePage_->setNameCheck([](const QString& name) -> std::optional<QString> {
        if (const auto refusal = payees::checkPayeeName(name))
            return refusal->text();
        return std::nullopt;
    });
    // The drop-down offers the payee master as the book holds it after each change.
    store::BookChanges& changes = session_->changes();
    connect(&payeePage_->payeeTable(), &ledger::PayeeTable::payeesChanged, &changes, &store::BookChanges::payeesChanged);
    connect(&changes, &store::BookChanges::payeesChanged, this, &MainWindow::refreshPayeeDropDown);
    connect(&changes, &store::BookChanges::bookReplaced, payeePage_, &payees::PayeePage::Read支払先);
    connect(&changes, &store::BookChanges::bookReplaced, restoreList_, &backup::RestoreList::refresh);
    connect(schedulePage_, &schedule::SchedulePage::payeeListNeeded, this,
        [this](WorkTableModel* dropDownSource, const QStringList& typed) { payees::AddComb支払先名(*session_, dropDownSource, typed); });
    connect(schedulePage_, &schedule::SchedulePage::payeesTyped, this,
        [this](WorkTableModel* dropDownSource, const QStringList& names) { payees::offerTypedNames(*session_, *dropDownSource, names, schedulePage_->sheetPayees()); });
    connect(payeePage_, &payees::PayeePage::hintRequested, this, &MainWindow::openHint);
    connect(settingsPage_, &settings::SettingsPage::hintRequested, this, &MainWindow::openHint);
    connect(settingsPage_, &settings::SettingsPage::allDeleteRequested, this, &MainWindow::onDeleteAllClicked);
    connect(cashFlowPage_, &cashflow::CashFlowPage::hintRequested, this, &MainWindow::openHint);
    connect(cashFlowPage_, &cashflow::CashFlowPage::monthChosen, this, &MainWindow::openScheduleMonth);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabs_->widget(index) == cashFlowPage_)
            cashFlowPage_->openAt(schedulePage_->monthHeader().month);
    });
    connect(settingsPage_, &settings::SettingsPage::bannerClicked, this, &MainWindow::openMakerPage);
}

MainWindow::~MainWindow()
{
    closeFiles();
    // The pages go after this object's own part: the sheet's history, cleared as it goes,
    // must not reach the menus then.
    disconnect(schedulePage_->sheetHistory(), nullptr, this, nullptr);
}

void MainWindow::onCloseRequested()
{
    hints_.close();
    close();
}

void MainWindow::closeFiles()
{
    hints_.close();
    // Cell editors still open would write into the sheet as the window goes away:
    // the data sources let go of the files first, so nothing reaches them after closing.
    for (WorkTableModel* source : findChildren<WorkTableModel*>())
        source->bind(nullptr, QString());
    if (session_ && session_->isOpen())
        backups_.atShutdown();
    if (session_)
        session_->close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A save in progress paints the window meanwhile; a close asked for then waits for
    // the user to ask again once the save is over. Unsaved changes of the sheet are
    // registered or dropped only as the user says.
    // A long command running under its progress dialog holds statements and a transaction
    // open: the files never close under it.
    if (store::LongCommand::running() || (!closingWithoutQuestions_ && (schedulePage_->isSaving() || !schedulePage_->confirmLeavingSheet()))) {
        event->ignore();
        return;
    }
    closeFiles();
    event->accept();
}

void MainWindow::refreshPayeeDropDown()
{
    payees::AddComb支払先名(*session_, schedulePage_->findChild<WorkTableModel*>(QStringLiteral("dat支払先名")), schedulePage_->sheetPayees());
}

void MainWindow::openHint(const QString& controlName)
{
    hints_.open(objectName(), controlName, windowTitle());
}

void MainWindow::onDeleteAllClicked()
{
    if (!session_ || !session_->isOpen())
        return;
    if (!msg_.ShowMsg(messages::MsgId::削除_確認, QString()))
        return;
    if (!backups_.beforeDestructive(backup::Reason::AllDelete))
        return;
    try {
        AllDelete(session_->mainDb());
        backups_.destructiveDone(backup::Reason::AllDelete);
        // Every page shows the emptied book at once.
        emit session_->changes().bookReplaced();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("AllDelete"), e);
        msg_.ShowMsg(messages::MsgId::削除_失敗, QStringLiteral("すべてのデータ"));
    }
}

void MainWindow::openScheduleMonth(const QDate& month)
{
    if (!month.isValid() || !schedulePage_->confirmLeavingSheet())
        return;
    if (!schedulePage_->findChild<YearMonthEdit*>(QStringLiteral("Dt年月"))->setDate(month))
        return;
    schedulePage_->Read支払予定();
    tabs_->setCurrentWidget(schedulePage_);
}

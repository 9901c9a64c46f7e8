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

namespace {
const char* const kMakerPage = "https://tovark.example.jp/";
const char* const kSignature = "  TOVARK";
} // namespace

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
    schedulePage_->setRegisterPayees([this](SQLite::Database& main, const QStringList& names) {
        if (session_->settings.g支払先自動登録)
            payees::addPayees(main, names);
    });
    connect(payeePage_, &payees::PayeePage::masterChanged, this, &MainWindow::refreshPayeeDropDown);
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
    // A new era setting shows at once in the year-month field; the report reads it when opened.
    connect(settingsPage_, &settings::SettingsPage::settingsChanged, schedulePage_, &schedule::SchedulePage::applyEra);
}

void MainWindow::fitGridsOnScreen()
{
    // The grids' columns keep their set widths: the grids never start narrower than their
    // visible columns, and the window grows to show them without a horizontal scroll bar.
    // The cash-flow page gives its table the room there is itself.
    for (auto* grid : findChildren<QTableView*>()) {
        if (!grid->model() || grid->objectName() == QStringLiteral("Grid資金繰り"))
            continue;
        const int width = grid->horizontalHeader()->length() + grid->verticalHeader()->sizeHint().width()
            + grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth() + 2;
        grid->setMinimumWidth(width);
    }
    resize(std::max(width(), minimumSizeHint().width()), std::max(height(), minimumSizeHint().height()));
}

MainWindow::~MainWindow()
{
    closeFiles();
    // The pages go after this object's own part: the sheet's history, cleared as it goes,
    // must not reach the menus then.
    disconnect(schedulePage_->sheetHistory(), nullptr, this, nullptr);
}

QString MainWindow::titleText()
{
    return QStringLiteral("支払予定表 Ver ") + QStringLiteral(QUOREL_VERSION_TEXT);
}

QString MainWindow::infoText()
{
    return titleText() + QStringLiteral(" LastUpdate") + QStringLiteral(QUOREL_LAST_UPDATE) + QString::fromUtf8(kSignature) + QStringLiteral("\r\n");
}

void MainWindow::runStartupReads()
{
    settingsPage_->Read設定();
    setUpControls();
    // A sheet that a run which ended unregistered left in the work file comes back.
    const bool restored = schedulePage_->restoreUnsavedSheet();
    if (!restored)
        schedulePage_->Clear支払予定表();
    payeePage_->Clear支払先マスタ();
    if (!restored)
        schedulePage_->Read支払予定();
    if (session_->mainUpgraded())
        reportUnlistedAccounts();
}

void MainWindow::reportUnlistedAccounts()
{
    // An earlier version kept a payee's bank details when the payee was deleted. They are
    // never used for a transfer; the user is told once, when the book is first opened by
    // this version.
    QStringList names;
    store::skipOnFailure(QStringLiteral("bank details without a payee"), [&] { names = banking::AccountStore(session_->mainDb()).unlistedPayees(); });
    if (names.isEmpty())
        return;
    QStringList shown = names.mid(0, 20);
    if (names.size() > shown.size())
        shown << QStringLiteral("ほか %1 件").arg(names.size() - shown.size());
    context_.msg.ShowMsg(messages::MsgId::その他_孤立口座, shown.join(QLatin1Char('\n')));
}

void MainWindow::setUpControls()
{
    store::skipOnFailure(QStringLiteral("lblInfo"), [&] { findChild<QLabel*>(QStringLiteral("lblInfo"))->setText(infoText()); });
    store::skipOnFailure(QStringLiteral("lblSupport"), [&] {
        findChild<QLabel*>(QStringLiteral("lblSupport"))->setText(QStringLiteral("質問は下のバナーをクリックしてTOVARKフリー掲示板へ"));
    });
    schedulePage_->setUpControls();
    payeePage_->setUpControls();
    settingsPage_->setUpControls();
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
        reloadPages();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("AllDelete"), e);
        msg_.ShowMsg(messages::MsgId::削除_失敗, QStringLiteral("すべてのデータ"));
    }
}

void MainWindow::onPrintClicked()
{
    // No question is asked: each press prints the sheet as it stands in InpWork (an edit
    // still pending in the grid's current line is not part of it) in the month's report
    // window, opened or brought to the front.
    // An empty year-month field gives an empty caption; a blank total an empty cell.
    store::skipOnFailure(QStringLiteral("Cmd印刷"), [&] {
        const schedule::MonthHeader month = schedulePage_->monthHeader();
        const report::ReportHeader header = report::ReportHeader::forMonth(month.month, session_->settings.eraYears(),
            month.繰越額, month.予定額月計, month.支払額月計, month.累計);
        auto* window = report::openMonthlyReport(session_->workDb(), header, session_->settings.gLineColor1, msg_, this);
        disconnect(window, &report::ReportWindow::exportRequested, window, nullptr); // a window shown again keeps one connection
        connect(window, &report::ReportWindow::exportRequested, window, [this, window] { export_.run(window->document().month, window); });
        connect(window, &report::ReportWindow::pdfSaved, this, &MainWindow::showFileWritten, Qt::UniqueConnection);
    });
}

void MainWindow::connectExportCommands()
{
    // The export of the schedule page writes the stored months; it opens on the month shown.
    connect(schedulePage_, &schedule::SchedulePage::exportRequested, this, [this] { export_.run(schedulePage_->monthHeader().month, this); });
    // The cash-flow page writes the overview it shows, in the book's year style.
    connect(cashFlowPage_, &cashflow::CashFlowPage::exportRequested, this,
        [this] { export_.exportOverview(cashFlowPage_->model().overview(), cashFlowPage_->model().era(), this); });
    // Imported payees join the master; the page then shows the master as 読込 does, and
    // the month grid's drop-down offers them.
    connect(payeePage_, &payees::PayeePage::importRequested, this, [this] {
        if (!payeeImport_.run(this))
            return;
        // The page's copy is the master in name order: the drop-down list is copied from it
        // unless names on the sheet join it.
        if (payeePage_->Read支払先() && schedulePage_->sheetPayees().isEmpty())
            payees::copyPayeeListFromPage(*session_, schedulePage_->findChild<WorkTableModel*>(QStringLiteral("dat支払先名")));
        else
            refreshPayeeDropDown();
    });
}

bool MainWindow::openWithDesktop(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

void MainWindow::openMakerPage()
{
    const QUrl address(QString::fromUtf8(kMakerPage));
    if (!openInBrowser || !openInBrowser(address))
        msg_.ShowMsg(messages::MsgId::その他_ブラウザなし, address.toString());
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

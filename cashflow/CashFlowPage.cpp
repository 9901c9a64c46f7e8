#include "CashFlowPage.h"

#include "CashFlowChart.h"
#include "CashFlowModel.h"
#include "CommandButtons.h"
#include "EraCalendar.h"
#include "ExpectedFees.h"
#include "HintButton.h"
#include "OverviewPrint.h"
#include "ReportWindow.h"
#include "Session.h"
#include "Skip.h"
#include "YearMonthEdit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace cashflow {

CashFlowPage::CashFlowPage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , model_(new CashFlowModel(this))
    , startMonthEdit_(new YearMonthEdit(this))
    , num月数_(new QSpinBox(this))
    , grid_(new QTableView(this))
    , chart_(new CashFlowChartView(this))
    , lbl月_(new QLabel(this))
    , split_(new QSplitter(Qt::Horizontal, this))
{
    setUpControls();
    layOut();
    connect(startMonthEdit_, &YearMonthEdit::monthEntered, this, &CashFlowPage::refresh);
    connect(num月数_, &QSpinBox::valueChanged, this, &CashFlowPage::refresh);
    connectMonthChoice();
    store::BookChanges& changes = context_.session.changes();
    connect(&changes, &store::BookChanges::monthsChanged, this, &CashFlowPage::bookChanged);
    connect(&changes, &store::BookChanges::settingsChanged, this, &CashFlowPage::bookChanged);
    connect(&changes, &store::BookChanges::bookReplaced, this, &CashFlowPage::bookChanged);
}

void CashFlowPage::setUpControls()
{
    startMonthEdit_->setObjectName(QStringLiteral("Dt開始年月"));
    startMonthEdit_->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
    startMonthEdit_->setFixedWidth(twipsToPixels(1860));
    num月数_->setObjectName(QStringLiteral("num月数"));
    num月数_->setRange(1, ledger::kMaxMonths);
    num月数_->setValue(ledger::kDefaultMonths);
    num月数_->setSuffix(QStringLiteral(" か月"));
    grid_->setObjectName(QStringLiteral("Grid資金繰り"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid_->setToolTip(QStringLiteral("月をダブルクリックするか Enter キーで支払予定を開きます"));
    chart_->setObjectName(QStringLiteral("Chart資金繰り"));
    // The month names turn upright or thin out on a narrow chart, so the page fits the
    // window as it is (no wider than the month page).
    chart_->setMinimumSize(twipsToPixels(3000), twipsToPixels(3000));
    chart_->setToolTip(QStringLiteral("月をダブルクリックすると支払予定を開きます"));
    lbl月_->setObjectName(QStringLiteral("lbl資金繰り月"));
    // The month under the mouse never widens the window.
    lbl月_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl月_->setMinimumHeight(lbl月_->fontMetrics().height());
}

void CashFlowPage::layOut()
{
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("開始年月"), this));
    top->addWidget(startMonthEdit_);
    top->addWidget(new QLabel(QStringLiteral("月数"), this));
    top->addWidget(num月数_);
    const auto buttons = addCommandButtons(top, this,
        {{"cmd資金繰り表示", "表示", PageCommand::Load}, {"cmd資金繰り印刷", "印刷", PageCommand::Print},
            {"cmd資金繰り出力", "出力", PageCommand::Export}});
    top->addStretch(1);
    auto* hint = makeHintButton(QStringLiteral("cmdHint資金繰り"), this);
    top->addWidget(hint);

    auto* split = split_;
    split->addWidget(grid_);
    split->addWidget(chart_);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    connect(split, &QSplitter::splitterMoved, this, [this] { splitMoved_ = true; });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    // The month under the mouse is named on a line of its own under the table and chart.
    layout->addWidget(lbl月_);

    connect(buttons.at(0), &QAction::triggered, this, &CashFlowPage::refresh);
    connect(buttons.at(1), &QAction::triggered, this, &CashFlowPage::printOverview);
    connect(buttons.at(2), &QAction::triggered, this, &CashFlowPage::exportRequested);
    connect(makeCommand(hint, this, PageCommand::Hint), &QAction::triggered, this, [this] { emit hintRequested(QStringLiteral("cmdHint資金繰り")); });
}

void CashFlowPage::connectMonthChoice()
{
    // As in other tables, a click selects a month; a double-click or Enter opens it.
    connect(grid_, &QTableView::activated, this, [this](const QModelIndex& index) { emit monthChosen(index.data(Qt::UserRole).toDate()); });
    connect(chart_, &CashFlowChartView::monthHovered, this, &CashFlowPage::showHovered);
    connect(chart_, &CashFlowChartView::monthClicked, this, [this](int month) {
        if (month >= 0 && month < model_->rowCount())
            grid_->setCurrentIndex(model_->index(month, 0));
    });
    connect(chart_, &CashFlowChartView::monthActivated, this, [this](int month) {
        if (month >= 0 && month < model_->rowCount())
            emit monthChosen(model_->overview().months[static_cast<size_t>(month)].month);
    });
}

bool CashFlowPage::era() const
{
    return context_.session.settings.eraYears();
}

void CashFlowPage::openAt(const QDate& date)
{
    startMonthEdit_->setEraPattern(era());
    const QDate start = date.isValid() ? QDate(date.year(), date.month(), 1) : startMonthEdit_->date();
    if (start == startMonthEdit_->date() && !stale_)
        return;
    startMonthEdit_->setDate(start);
    refresh();
}

void CashFlowPage::bookChanged()
{
    stale_ = true;
    if (isVisible())
        refresh();
}

void CashFlowPage::refresh()
{
    stale_ = false;
    Overview overview;
    if (context_.session.isOpen() && startMonthEdit_->date().isValid())
        store::skipOnFailure(QStringLiteral("read the cash-flow overview"),
            [&] { overview = ledger::readOverview(context_.session.mainDb(), startMonthEdit_->date(), num月数_->value()); });
    fees_.clear();
    if (context_.session.isOpen() && overview.first.isValid())
        store::skipOnFailure(QStringLiteral("read the expected transfer fees"),
            [&] { fees_ = banking::expectedMonthFees(context_.session.mainDb(), overview.first, overview.end); });
    chart_->setOverview(overview);
    model_->setOverview(std::move(overview), era());
    // The table shows every column whole when the page has room (the chart takes the
    // rest), until the user moves the divider; it scrolls rather than widen the window.
    grid_->resizeColumnsToContents();
    fitTable();
    showHovered(-1);
}

void CashFlowPage::fitTable()
{
    const int whole = grid_->horizontalHeader()->length() + grid_->verticalScrollBar()->sizeHint().width() + 2 * grid_->frameWidth();
    const int room = split_->width() - split_->handleWidth() - chart_->minimumWidth();
    if (splitMoved_ || room <= 0)
        return;
    const int table = std::min(whole, room);
    split_->setSizes({table, split_->width() - split_->handleWidth() - table});
}

void CashFlowPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitTable();
}

void CashFlowPage::showHovered(int month)
{
    const Overview& overview = model_->overview();
    if (month < 0 || month >= static_cast<int>(overview.months.size())) {
        lbl月_->setText(QString());
        return;
    }
    const MonthFlow& flow = overview.months[static_cast<size_t>(month)];
    const QString text = QStringLiteral("%1　月末残高 %2　最低残高 %3（%4）")
                             .arg(CashFlowModel::cellText(flow, CashFlowModel::Month, era()),
                                 CashFlowModel::cellText(flow, CashFlowModel::Closing, era()),
                                 CashFlowModel::cellText(flow, CashFlowModel::Lowest, era()),
                                 CashFlowModel::cellText(flow, CashFlowModel::LowestDay, era()));
    const QString holidays = CashFlowModel::holidayPaymentText(flow);
    const auto fees = fees_.find(flow.month);
    const QString feeText = fees == fees_.end() ? QString() : QStringLiteral("　振込手数料（見込）%1 円").arg(banking::yenText(fees->second));
    lbl月_->setText((holidays.isEmpty() ? text : text + QStringLiteral("　") + holidays) + feeText);
    QPalette palette = lbl月_->palette();
    palette.setColor(QPalette::WindowText, flow.goesNegative() ? negativeColor() : QWidget::palette().color(QPalette::WindowText));
    lbl月_->setPalette(palette);
    grid_->selectRow(month);
}

void CashFlowPage::printOverview()
{
    store::skipOnFailure(QStringLiteral("print the cash-flow overview"), [&] {
        // The preview's Excel・CSV出力 writes the overview it shows, as the page's 出力 does.
        report::ReportWindow* preview = openOverviewReport(model_->overview(), era(), context_.msg, this);
        connect(preview, &report::ReportWindow::exportRequested, this, &CashFlowPage::exportRequested, Qt::UniqueConnection);
        connect(preview, &report::ReportWindow::pdfSaved, this, &CashFlowPage::fileWritten, Qt::UniqueConnection);
    });
}

} // namespace cashflow

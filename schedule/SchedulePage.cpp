#include "SchedulePage.h"

#include "AmountField.h"
#include "Calendar.h"
#include "CommandButtons.h"
#include "GridView.h"
#include "HintButton.h"
#include "MonthController.h"
#include "Msg.h"
#include "PayeeDropDown.h"
#include "Session.h"
#include "SheetColumns.h"
#include "Skip.h"
#include "WorkTableModel.h"
#include "SheetModel.h"
#include "YearMonthEdit.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include <utility>

namespace schedule {

namespace {

QPushButton* monthStepButton(const char* name, QStyle::StandardPixmap icon, const char* tip, QWidget* parent, PageCommand command)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(QString::fromUtf8(tip));
    button->setFixedWidth(twipsToPixels(400));
    makeCommand(button, parent, command);
    return button;
}

// The command buttons of the page, top to bottom.
const CommandButton kCommands[] = {{"cmd履歴閉じる", "閉じる", PageCommand::Quit}, {"cmd読込", "読込", PageCommand::Load},
    {"cmd登録", "登録", PageCommand::Enter}, {"Cmd印刷", "印刷", PageCommand::Print}, {"cmd出力", "出力", PageCommand::Export},
    {"cmd行削除", "行削除", PageCommand::DeleteLine}, {"cmd行挿入", "行挿入", PageCommand::InsertLine},
    {"cmd前月複写", "前月複写", PageCommand::CopyPreviousMonth}, {"cmd履歴クリア", "クリア", PageCommand::Clear}};

} // namespace

SchedulePage::SchedulePage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , controller_(new MonthController(context.session, this))
    , dat支払先名_(new WorkTableModel(this))
    , monthEdit_(new YearMonthEdit(this))
    , num繰越額_(new AmountField(this))
    , num予定額月計_(new AmountField(this))
    , num支払額月計_(new AmountField(this))
    , num累計_(new AmountField(this))
    , gridInp_(new GridView(this))
    , pbar_(new QProgressBar(this))
{
    nameControls();
    QPushButton* monBef = monthStepButton("cmdMonBef", QStyle::SP_ArrowLeft, "前月", this, PageCommand::PreviousMonth);
    QPushButton* monNext = monthStepButton("cmdMonNext", QStyle::SP_ArrowRight, "翌月", this, PageCommand::NextMonth);

    auto* left = new QVBoxLayout;
    left->addLayout(figuresLayout(monBef, monNext));
    left->addWidget(gridInp_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(commandColumn());

    walkInVisualOrder(monBef, monNext);
    connectCommands();
    connectGrid();
    connectTransferCommand();
    followBook();
}

void SchedulePage::followBook()
{
    store::BookChanges& changes = context_.session.changes();
    // A new era setting shows at once in the year-month field; the report reads it when opened.
    connect(&changes, &store::BookChanges::settingsChanged, this, &SchedulePage::applyEra);
    connect(&changes, &store::BookChanges::bookReplaced, this, &SchedulePage::showReplacedBook);
}

void SchedulePage::showReplacedBook()
{
    // The month shown stays, as the replaced book holds it (the sheet's unregistered changes
    // were registered or dropped as the user chose before the book was replaced).
    const QDate month = monthHeader().month;
    Clear支払予定表();
    if (month.isValid())
        monthEdit_->setFromText(month.toString(QStringLiteral("yyyyMMdd")));
    Read支払予定();
}

void SchedulePage::nameControls()
{
    dat支払先名_->setObjectName(QStringLiteral("dat支払先名"));
    monthEdit_->setObjectName(QStringLiteral("Dt年月"));
    monthEdit_->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
    num繰越額_->setObjectName(QStringLiteral("num繰越額"));
    num繰越額_->setMessages(&context_.msg);
    num予定額月計_->setObjectName(QStringLiteral("num予定額月計"));
    num支払額月計_->setObjectName(QStringLiteral("num支払額月計"));
    num累計_->setObjectName(QStringLiteral("num累計"));
    // The three totals are computed: they look and behave read-only, while the carry-over
    // keeps the look of a field to type into.
    for (AmountField* field : {num予定額月計_, num支払額月計_, num累計_}) {
        field->setReadOnly(true);
        QPalette shown = field->palette();
        shown.setColor(QPalette::Base, shown.color(QPalette::Window));
        field->setPalette(shown);
    }
    for (AmountField* field : {num繰越額_, num予定額月計_, num支払額月計_, num累計_})
        field->setFixedWidth(twipsToPixels(1600));
    gridInp_->setObjectName(QStringLiteral("GridInp"));
    gridInp_->setMinimumSize(twipsToPixels(9375) / 2, twipsToPixels(5700) / 2);
    pbar_->setObjectName(QStringLiteral("Pbar"));
    pbar_->setRange(0, 100);
    pbar_->setVisible(false);
}

QGridLayout* SchedulePage::figuresLayout(QPushButton* monBef, QPushButton* monNext)
{
    auto* top = new QGridLayout;
    top->addWidget(monBef, 0, 0);
    top->addWidget(monNext, 0, 1);
    const auto labelled = [&](const char* label, QWidget* field, int row, int column) {
        top->addWidget(new QLabel(QString::fromUtf8(label), this), row, column);
        top->addWidget(field, row, column + 1);
    };
    labelled("年月", monthEdit_, 0, 2);
    labelled("繰越額", num繰越額_, 1, 2);
    labelled("予定額月計", num予定額月計_, 1, 4);
    labelled("支払額月計", num支払額月計_, 2, 2);
    labelled("予定額累計", num累計_, 2, 4);
    top->setColumnStretch(6, 1);
    return top;
}

QVBoxLayout* SchedulePage::commandColumn()
{
    auto* buttons = new QVBoxLayout;
    addCommandButtons(buttons, this, std::span<const CommandButton>(kCommands));
    addTransferCommand(buttons);
    auto* hint = makeHintButton(QStringLiteral("cmdHint"), this);
    connect(makeCommand(hint, this, PageCommand::Hint), &QAction::triggered, this, [this] { emit hintRequested(QStringLiteral("cmdHint")); });
    buttons->addWidget(hint);
    buttons->addStretch();
    return buttons;
}

void SchedulePage::walkInVisualOrder(QPushButton* monBef, QPushButton* monNext)
{
    // The keyboard walks the page as the eye does: month steps, the year-month, the
    // carry-over, the grid, then the command buttons. The figures that are only shown
    // are left out of the walk; a click still selects them for copying.
    for (AmountField* shown : {num予定額月計_, num支払額月計_, num累計_})
        shown->setFocusPolicy(Qt::ClickFocus);
    QWidget* previous = monBef;
    std::vector<QWidget*> order{monNext, monthEdit_, num繰越額_, gridInp_};
    for (const CommandButton& spec : kCommands)
        order.push_back(commandButton(this, spec.command));
    order.push_back(commandButton(this, PageCommand::Hint));
    for (QWidget* next : order) {
        setTabOrder(previous, next);
        previous = next;
    }
}

QAction* SchedulePage::command(PageCommand name) const
{
    return pageCommand(this, name);
}

void SchedulePage::connectCommands()
{
    connect(command(PageCommand::Quit), &QAction::triggered, this, &SchedulePage::closeRequested);
    connect(command(PageCommand::Print), &QAction::triggered, this, &SchedulePage::printRequested);
    connect(command(PageCommand::Export), &QAction::triggered, this, &SchedulePage::exportRequested);
    connect(command(PageCommand::Clear), &QAction::triggered, this, &SchedulePage::onClearClicked);
    connect(command(PageCommand::Load), &QAction::triggered, this, [this] { loadAsked(true); });
    connect(command(PageCommand::CopyPreviousMonth), &QAction::triggered, this, &SchedulePage::copyPreviousMonth);
    connect(command(PageCommand::Enter), &QAction::triggered, this, &SchedulePage::onEnterClicked);
    connect(command(PageCommand::InsertLine), &QAction::triggered, this, &SchedulePage::InsertLine);
    connect(command(PageCommand::DeleteLine), &QAction::triggered, this, &SchedulePage::onDeleteLineClicked);
    connect(command(PageCommand::PreviousMonth), &QAction::triggered, this, [this] { stepMonth(-1); });
    connect(command(PageCommand::NextMonth), &QAction::triggered, this, [this] { stepMonth(1); });
    // Enter in the year-month field goes on to the grid, not into the carry-over.
    connect(monthEdit_, &YearMonthEdit::monthConfirmed, this, [this] { toGridAfterMonth_ = true; });
    connect(monthEdit_, &YearMonthEdit::monthEntered, this, [this] {
        const bool toGrid = std::exchange(toGridAfterMonth_, false);
        // Leaving the field empty, or with the month shown unchanged, reloads nothing.
        if (!monthEdit_->date().isValid())
            return;
        if (calendar::firstOfMonth(monthEdit_->date()) != controller_->month())
            loadAsked(toGrid);
        else if (toGrid)
            QMetaObject::invokeMethod(this, &SchedulePage::focusFirstEmptyLine, Qt::QueuedConnection);
    });
    connect(num繰越額_, &AmountField::amountChanged, this, [this] { controller_->setCarry(num繰越額_->amount()); });
    connect(controller_, &MonthController::figuresChanged, this, &SchedulePage::showFigures);
    connect(controller_, &MonthController::modifiedChanged, this, &SchedulePage::modifiedChanged);
    connect(controller_, &MonthController::draftBehindChanged, this, &SchedulePage::draftBehindChanged);
    connect(controller_, &MonthController::historyDropped, this, [this] { context_.msg.ShowMsg(messages::MsgId::削除_取消失敗, QString()); });
}

void SchedulePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRect grid = gridInp_->geometry();
    const int width = std::min(grid.width() - 40, twipsToPixels(6000));
    pbar_->setGeometry(grid.center().x() - width / 2, grid.center().y() - 12, width, 24);
    pbar_->raise();
}

void SchedulePage::setUpControls()
{
    store::Session& session = context_.session;
    gridInp_->setModel(controller_->model());
    store::skipOnFailure(QStringLiteral("bind dat支払先名"), [&] { dat支払先名_->bind(&session.workDb(), QStringLiteral("w支払先名")); });
    applyEra();
    store::skipOnFailure(QStringLiteral("GridInp columns"), [&] {
        for (int hidden : {kCol行番号, kCol元行番号, kCol日付})
            gridInp_->setupColumn(hidden, {.shown = false});
        gridInp_->setupColumn(kCol表示日付, {.heading = QStringLiteral("日付"), .alignment = Qt::AlignHCenter, .widthTwips = 600});
        // The payee column gives the weekday beside the day its room: the grid keeps its width.
        gridInp_->setupColumn(kCol支払先名, {.heading = QStringLiteral("支払先名"), .widthTwips = 4140.284 - kWeekdayTwips, .dropDown = new payees::PayeeDropDown(dat支払先名_, gridInp_)});
        gridInp_->setupColumn(kCol予定額, {.heading = QStringLiteral("予定額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1395.213});
        gridInp_->setupColumn(kCol支払額, {.heading = QStringLiteral("支払額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1365.165});
        gridInp_->setupColumn(kCol残高, {.heading = QStringLiteral("総　額"), .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1319.811});
        // The balance is computed: Tab goes from 支払額 to the next line's day.
        gridInp_->setTabSkipped({kCol残高});
        for (int extra = kCol元日付; extra <= kCol元支払先名; ++extra)
            gridInp_->setupColumn(extra, {.shown = false});
        setUpWeekdayColumn();
    });
}

void SchedulePage::applyEra()
{
    const bool era = context_.session.settings.eraYears();
    monthEdit_->setEraPattern(era);
    monthEdit_->setFixedWidth(twipsToPixels(era ? 1860 : 1560));
}

void SchedulePage::Clear支払予定表()
{
    if (!filesOpen())
        return;
    monthEdit_->setFromText(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    controller_->setMonth(monthEdit_->date());
    controller_->clear();
}

MonthHeader SchedulePage::monthHeader() const
{
    return {monthEdit_->date(), num繰越額_->amount(), num予定額月計_->amount(), num支払額月計_->amount(), num累計_->amount()};
}


void SchedulePage::setNameCheck(std::function<std::optional<QString>(const QString& name)> check)
{
    controller_->checkName = std::move(check);
}

QStringList SchedulePage::sheetPayees() const
{
    return controller_->sheetNames();
}

bool SchedulePage::hasUnsavedChanges() const
{
    return controller_->hasUnsavedChanges();
}

void SchedulePage::onClearClicked()
{
    if (confirmLeavingSheet())
        Clear支払予定表();
}

void SchedulePage::showProgress(int value)
{
    pbar_->setValue(value);
}

void SchedulePage::showFigures()
{
    const MonthFigures& figures = controller_->figures();
    num繰越額_->setAmount(figures.繰越額);
    num予定額月計_->setAmount(figures.予定額月計);
    num支払額月計_->setAmount(figures.支払額月計);
    num累計_->setAmount(figures.累計);
    showCarryOrigin();
}

void SchedulePage::showCarryOrigin()
{
    QString tip;
    if (controller_->month().isValid() && controller_->carry() != controller_->broughtIn()) {
        tip = messages::messageText(messages::MsgId::状態_繰越元, controller_->broughtIn().format().isEmpty() ? QStringLiteral("0") : controller_->broughtIn().format());
    }
    num繰越額_->setToolTip(tip);
}

bool SchedulePage::filesOpen() const
{
    // After the window has closed the files, a late notification must not reach them.
    return context_.session.isOpen();
}

} // namespace schedule

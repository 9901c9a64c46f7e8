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

bool SchedulePage::filesOpen() const
{
    // After the window has closed the files, a late notification must not reach them.
    return context_.session.isOpen();
}

} // namespace schedule

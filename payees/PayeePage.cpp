#include "PayeePage.h"

#include "CommandButtons.h"
#include "GridView.h"
#include "HintButton.h"
#include "Msg.h"
#include "PayeeModel.h"
#include "PaymentRuleBox.h"
#include "Session.h"
#include "Skip.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace payees {

PayeePage::PayeePage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , payees_(context.session)
    , dat支払先マスタ_(new PayeeModel(payees_, this))
    , grid_(new GridView(this))
    , ruleBox_(new PaymentRuleBox(context, payees_, this))
    , account_(new QLabel(this))
{
    account_->setObjectName(QStringLiteral("lbl支払先口座"));
    account_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    account_->setWordWrap(true);
    account_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    dat支払先マスタ_->setObjectName(QStringLiteral("dat支払先マスタ"));
    grid_->setObjectName(QStringLiteral("Grid支払先マスタ"));
    grid_->setMinimumSize(twipsToPixels(6435), twipsToPixels(5700) / 2);
    grid_->keyDownHandler = [this](int& key, Qt::KeyboardModifiers modifiers) { onGridKey(key, modifiers); };
    connect(dat支払先マスタ_, &PayeeModel::nameRefused, this, &PayeePage::nameRefused);
    connect(dat支払先マスタ_, &PayeeModel::historyFailed, this, &PayeePage::historyFailed);
    connect(grid_, &GridView::pasteRequested, this, [this](const QString& text) { guarded("Grid支払先マスタ paste", [&] { pasteNames(text); }); });

    auto* buttons = new QVBoxLayout;
    const auto made = addCommandButtons(buttons, this,
        {{"cmd支払先読込", "読込", PageCommand::Load}, {"cmd支払先取込", "取込", PageCommand::Import},
            {"cmd支払先登録", "登録", PageCommand::Enter}, {"cmd支払先行削除", "行削除", PageCommand::DeleteLine},
            {"cmd支払先クリア", "クリア", PageCommand::Clear}, {"cmd支払先削除", "削除", PageCommand::Remove}});
    connect(made[0], &QAction::triggered, this, [this] { guarded("cmd支払先読込", [this] { Read支払先(); }); });
    connect(made[1], &QAction::triggered, this, &PayeePage::importRequested);
    connect(made[2], &QAction::triggered, this, [this] { guarded("cmd支払先登録", [this] { onEnterClicked(); }); });
    connect(made[3], &QAction::triggered, this, [this] { guarded("cmd支払先行削除", [this] { LineDelete支払先マスタ(); }); });
    connect(made[4], &QAction::triggered, this, [this] { guarded("cmd支払先クリア", [this] { onClearClicked(); }); });
    connect(made[5], &QAction::triggered, this, [this] { guarded("cmd支払先削除", [this] { Delete支払先マスタ(); }); });
    addAccountCommand(buttons);

    auto* hint = makeHintButton(QStringLiteral("cmdHint1"), this);
    connect(makeCommand(hint, this, PageCommand::Hint), &QAction::triggered, this, [this] { emit hintRequested(QStringLiteral("cmdHint1")); });
    buttons->addWidget(hint);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(grid_, 1);
    // The details beside the rule, so that the page needs no more height than before.
    auto* belowGrid = new QHBoxLayout;
    belowGrid->addWidget(ruleBox_);
    belowGrid->addWidget(account_, 1);
    left->addLayout(belowGrid);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    connectRuleBox();
}

void PayeePage::connectRuleBox()
{
    connect(grid_, &GridView::currentCellMoved, ruleBox_, [this] { showCurrentRule(); });
    connect(dat支払先マスタ_, &QAbstractItemModel::modelReset, ruleBox_, [this] { showCurrentRule(); });
    connect(dat支払先マスタ_, &QAbstractItemModel::dataChanged, ruleBox_, [this] { showCurrentRule(); });
    connect(dat支払先マスタ_, &QAbstractItemModel::rowsRemoved, ruleBox_, [this] { showCurrentRule(); });
    connect(dat支払先マスタ_, &QAbstractItemModel::rowsInserted, ruleBox_, [this] { showCurrentRule(); });
    // A registered name can be given a rule from now on; a deleted one has lost it.
    connect(&payees_, &ledger::PayeeTable::payeesChanged, ruleBox_, [this] { showCurrentRule(); });
    connect(ruleBox_, &PaymentRuleBox::ruleStored, this, &PayeePage::statusText);
}

void PayeePage::showCurrentRule()
{
    const QString payee = dat支払先マスタ_->name(grid_->currentRowIndex());
    ruleBox_->showPayee(payee);
    showCurrentAccount(payee);
}

// No exception leaves a button's handler: whatever escapes the operation is logged.
template <class F>
void PayeePage::guarded(const char* what, F&& body) noexcept
{
    store::skipOnFailure(QString::fromUtf8(what), std::forward<F>(body));
}

void PayeePage::setUpControls()
{
    store::skipOnFailure(QStringLiteral("bind dat支払先マスタ"), [&] {
        payees_.watchCopy();
        dat支払先マスタ_->reload();
        grid_->setModel(dat支払先マスタ_);
    });
    store::skipOnFailure(QStringLiteral("Grid支払先マスタ columns"), [&] {
        grid_->setupColumn(0, {.heading = QStringLiteral("チェック"), .alignment = Qt::AlignHCenter, .widthTwips = 380, .dropDown = new CheckDelegate(grid_)});
        // The tick column is as wide as set, or as its heading where that is wider.
        grid_->setColumnWidth(0, std::max(grid_->columnWidth(0), grid_->horizontalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("チェック")) + 12));
        grid_->setupColumn(1, {.heading = QStringLiteral("支払先名"), .widthTwips = 5490});
    });
}

void PayeePage::Clear支払先マスタ()
{
    dat支払先マスタ_->clear();
    dat支払先マスタ_->history()->clear();
}

void PayeePage::onClearClicked()
{
    grid_->commit();
    dat支払先マスタ_->clear();
}

bool PayeePage::Read支払先()
{
    bool read = false;
    try {
        payees_.readIntoCopy();
        read = true;
    } catch (const store::DbError& e) {
        store::logSkipped(QStringLiteral("Read支払先"), e);
        context_.msg.ShowMsg(messages::MsgId::その他_読込失敗2, QStringLiteral("支払先"));
    }
    dat支払先マスタ_->reload();
    return read;
}

void PayeePage::onEnterClicked()
{
    if (context_.msg.ShowMsg(messages::MsgId::登録_確認, QStringLiteral("支払先")) && askBeforeDestructive(context_, DestructiveCommand::PayeeEntry))
        Entry支払先マスタ();
}

void PayeePage::Entry支払先マスタ()
{
    // The page is registered as it stands on the screen, so the line being edited goes
    // into the copy first; if it cannot, nothing is registered.
    try {
        grid_->commit();
        payees_.enterCopy();
        // The master is replaced: a step before it would put back names it no longer knows.
        dat支払先マスタ_->history()->clear();
    } catch (const store::DbError& e) {
        store::logSkipped(QStringLiteral("Entry支払先マスタ"), e);
        context_.msg.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("支払先"));
    }
}

void PayeePage::LineDelete支払先マスタ()
{
    if (!context_.msg.ShowMsg(messages::MsgId::削除_指定確認, QStringLiteral("支払先")))
        return;
    store::skipOnFailure(QStringLiteral("LineDelete支払先マスタ commit"), [&] { grid_->commit(); });
    // The payees' bank details and rules go with them: a backup first, so the undo brings
    // them back.
    if (!askBeforeDestructive(context_, DestructiveCommand::PayeeLineDelete))
        return;
    if (dat支払先マスタ_->removeTickedPayees())
        tellDestructiveDone(context_, DestructiveCommand::PayeeLineDelete);
    else
        context_.msg.ShowMsg(messages::MsgId::削除_失敗, QStringLiteral("支払先"));
}

void PayeePage::Delete支払先マスタ()
{
    if (!context_.msg.ShowMsg(messages::MsgId::削除_支払先全件, QString()))
        return;
    if (!askBeforeDestructive(context_, DestructiveCommand::PayeeDelete))
        return;
    grid_->commit();
    store::skipOnFailure(QStringLiteral("Delete支払先マスタ"), [&] { payees_.removeAll(); });
    Clear支払先マスタ();
}

} // namespace payees

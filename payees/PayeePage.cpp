#include "PayeePage.h"

#include "CellBlock.h"
#include "CommandButtons.h"
#include "GridView.h"
#include "HintButton.h"
#include "Msg.h"
#include "PayeeName.h"
#include "PayeePaste.h"
#include "PaymentRuleBox.h"
#include "Session.h"
#include "Skip.h"
#include "WorkTableModel.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace payees {

PayeePage::PayeePage(PageContext& context, QWidget* parent)
    : QWidget(parent)
    , context_(context)
    , master_(context.session)
    , dat支払先マスタ_(new WorkTableModel(this))
    , grid_(new GridView(this))
    , ruleBox_(new PaymentRuleBox(context, this))
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
    connect(grid_, &GridView::cellAccepted, this, &PayeePage::nameAccepted);
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
    connect(made[4], &QAction::triggered, this, [this] { guarded("cmd支払先クリア", [this] { Clear支払先マスタ(); }); });
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
    // A registered name can be given a rule from now on; a deleted one has lost it.
    connect(this, &PayeePage::masterChanged, ruleBox_, [this] { showCurrentRule(); });
    connect(ruleBox_, &PaymentRuleBox::ruleStored, this, &PayeePage::statusText);
}

void PayeePage::showCurrentRule()
{
    const int row = grid_->currentRowIndex();
    const int name = dat支払先マスタ_->fieldIndex(QStringLiteral("支払先名"));
    const bool stored = row >= 0 && row < dat支払先マスタ_->storedRowCount() && name >= 0;
    const QString payee = stored ? dat支払先マスタ_->value(row, name).toString() : QString();
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
        dat支払先マスタ_->bind(&context_.session.workDb(), QStringLiteral("w支払先マスタ"));
        dat支払先マスタ_->setColumnKind(0, WorkTableModel::ColumnKind::Check);
        dat支払先マスタ_->setAppendLine(true);
        master_.watchCopy();
        dat支払先マスタ_->refresh();
        grid_->setWorkModel(dat支払先マスタ_);
    });
    store::skipOnFailure(QStringLiteral("Grid支払先マスタ columns"), [&] {
        grid_->setupColumn(0, {.heading = QStringLiteral("チェック"), .alignment = Qt::AlignHCenter, .widthTwips = 380, .dropDown = new CheckDelegate(grid_)});
        // The tick column is as wide as set, or as its heading where that is wider.
        grid_->setColumnWidth(0, std::max(grid_->columnWidth(0), grid_->horizontalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("チェック")) + 12));
        grid_->setupColumn(1, {.heading = QStringLiteral("支払先名"), .widthTwips = 5490});
    });
}

void PayeePage::refreshPage()
{
    store::skipOnFailure(QStringLiteral("refresh dat支払先マスタ"), [&] { dat支払先マスタ_->refresh(); });
}

void PayeePage::Clear支払先マスタ()
{
    master_.Clear支払先マスタ();
    refreshPage();
}

bool PayeePage::Read支払先()
{
    bool read = false;
    try {
        master_.Read支払先();
        read = true;
    } catch (const store::DbError& e) {
        store::logSkipped(QStringLiteral("Read支払先"), e);
        context_.msg.ShowMsg(messages::MsgId::その他_読込失敗2, QStringLiteral("支払先"));
    }
    refreshPage();
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
        master_.Entry支払先マスタ();
        emit masterChanged();
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
    try {
        master_.LineDelete支払先マスタ();
        emit masterChanged();
        tellDestructiveDone(context_, DestructiveCommand::PayeeLineDelete);
    } catch (const store::DbError& e) {
        store::logSkipped(QStringLiteral("LineDelete支払先マスタ"), e);
        context_.msg.ShowMsg(messages::MsgId::削除_失敗, QStringLiteral("支払先"));
    }
    refreshPage();
}

void PayeePage::Delete支払先マスタ()
{
    if (!context_.msg.ShowMsg(messages::MsgId::削除_支払先全件, QString()))
        return;
    if (!askBeforeDestructive(context_, DestructiveCommand::PayeeDelete))
        return;
    master_.Delete支払先マスタ();
    emit masterChanged();
    Clear支払先マスタ();
}

void PayeePage::nameAccepted(int column)
{
    const int nameColumn = dat支払先マスタ_->fieldIndex(QStringLiteral("支払先名"));
    const int row = grid_->acceptedRow();
    if (column != nameColumn || row < 0 || row >= dat支払先マスタ_->storedRowCount())
        return;
    const QString typed = dat支払先マスタ_->value(row, column).toString();
    const QString name = normalizePayeeName(typed);
    const auto refusal = checkPayeeName(name);
    if (!refusal) {
        if (name != typed)
            dat支払先マスタ_->setValue(row, column, name.isEmpty() ? QVariant() : QVariant(name));
        return;
    }
    // The refused value never reaches the file: the line's buffered edit is dropped, and a
    // line that the refused name had just begun goes again, once the grid is done with it.
    dat支払先マスタ_->discardPending();
    const qint64 rowId = dat支払先マスタ_->rowId(row);
    QTimer::singleShot(0, this, [this, rowId, name, refusal] {
        for (int r = 0; r < dat支払先マスタ_->storedRowCount(); ++r) {
            if (dat支払先マスタ_->rowId(r) != rowId)
                continue;
            const bool empty = dat支払先マスタ_->value(r, 1).isNull() && dat支払先マスタ_->value(r, 0).toLongLong() == 0;
            if (empty)
                store::skipOnFailure(QStringLiteral("Grid支払先マスタ drop a refused line"), [&] { dat支払先マスタ_->removeLine(r); });
            break;
        }
        context_.msg.ShowMsg(messages::MsgId::入力_名前不可, QStringLiteral("「%1」\n%2").arg(shownPayeeName(name), refusal->text()));
    });
}

void PayeePage::pasteNames(const QString& text)
{
    const std::vector<QStringList> block = parseCellBlock(text);
    const QModelIndexList selected = grid_->selectedCells();
    const int nameColumn = dat支払先マスタ_->fieldIndex(QStringLiteral("支払先名"));
    if (block.empty() || selected.isEmpty() || nameColumn < 0)
        return;
    grid_->commit();
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& cell : selected)
        cells.emplace_back(cell.row(), cell.column());
    const NamePaste paste = planNamePaste(block, cells, grid_->visibleColumns(), nameColumn, dat支払先マスタ_->storedRowCount());
    const auto heading = [this](int column) { return column >= 0 ? dat支払先マスタ_->headerData(column, Qt::Horizontal).toString() : QString(); };
    QStringList refused;
    // Named as the month sheet names a refused value: line, column (欄外 right of the last),
    // the value and why.
    const auto refuse = [&](int row, int column, const QString& value, messages::MsgId why) {
        const QString where = heading(column);
        refused << QStringLiteral("%1 行目 %2「%3」 %4").arg(row + 1).arg(where.isEmpty() ? QStringLiteral("欄外") : where, shownPayeeName(value), messages::messageText(why));
    };
    std::size_t nextRefused = 0;
    for (const NamePaste::Name& name : paste.names) {
        // Refused values are named in the order of their lines.
        for (; nextRefused < paste.refused.size() && paste.refused[nextRefused].row < name.row; ++nextRefused) {
            const NamePaste::Refused& value = paste.refused[nextRefused];
            refuse(value.row, value.column, value.text, value.why ? messages::MsgId::入力_貼付名前 : messages::MsgId::入力_貼付枠外);
        }
        // Each line is written as a typed line is, when the cursor leaves it.
        bool written = false;
        store::skipOnFailure(QStringLiteral("Grid支払先マスタ paste"), [&] {
            if (name.row < dat支払先マスタ_->storedRowCount())
                dat支払先マスタ_->setValue(name.row, nameColumn, name.name);
            else if (!dat支払先マスタ_->setData(dat支払先マスタ_->index(dat支払先マスタ_->storedRowCount(), nameColumn), name.name))
                return;
            dat支払先マスタ_->commit();
            written = true;
        });
        if (!written) {
            dat支払先マスタ_->discardPending();
            refuse(name.row, nameColumn, name.name, messages::MsgId::入力_貼付書込);
        }
    }
    for (; nextRefused < paste.refused.size(); ++nextRefused) {
        const NamePaste::Refused& value = paste.refused[nextRefused];
        refuse(value.row, value.column, value.text, value.why ? messages::MsgId::入力_貼付名前 : messages::MsgId::入力_貼付枠外);
    }
    if (refused.isEmpty())
        return;
    constexpr qsizetype kNamed = 10;
    if (refused.size() > kNamed) {
        const qsizetype more = refused.size() - kNamed;
        refused.resize(kNamed);
        refused << messages::messageText(messages::MsgId::入力_貼付ほか, QString::number(more));
    }
    context_.msg.ShowMsg(messages::MsgId::入力_貼付不可, refused.join(u'\n'));
}

void PayeePage::onGridKey(int& key, Qt::KeyboardModifiers modifiers)
{
    // Delete on a row (not while a name is being typed) removes it from the copy; the
    // master changes only when the page is registered.
    if (key != Qt::Key_Delete || modifiers != Qt::NoModifier)
        return;
    if (QWidget* focused = QApplication::focusWidget(); focused && focused != grid_ && grid_->isAncestorOf(focused))
        return; // a cell editor is open: Delete edits its text
    const int row = grid_->currentRowIndex();
    if (row < 0 || row >= dat支払先マスタ_->storedRowCount())
        return;
    key = 0;
    const int column = grid_->currentColumn();
    if (store::skipOnFailure(QStringLiteral("Grid支払先マスタ delete row"), [&] { dat支払先マスタ_->removeLine(row); }))
        grid_->setCurrentCell(std::min(row, dat支払先マスタ_->rowCount() - 1), column);
}

} // namespace payees

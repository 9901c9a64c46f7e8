// The payee page's edits: its history walked by 元に戻す and やり直し, names refused by the
// model, Ctrl+V and the Delete key on the grid.

#include "PayeePage.h"

#include "CellBlock.h"
#include "GridView.h"
#include "Msg.h"
#include "PayeeModel.h"
#include "PayeePaste.h"
#include "Session.h"

#include <QApplication>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <tuple>
#include <vector>

namespace payees {

namespace {

// Refused pasted values: line, column, value and why.
using PasteRefusals = std::vector<std::tuple<int, int, QString, messages::MsgId>>;

void showPasteRefusals(messages::Msg& msg, const QAbstractItemModel& model, const PasteRefusals& refusals)
{
    if (refusals.empty())
        return;
    QStringList refused;
    for (const auto& [row, column, value, why] : refusals) {
        const QString where = column >= 0 ? model.headerData(column, Qt::Horizontal).toString() : QString();
        refused << QStringLiteral("%1 行目 %2「%3」 %4").arg(row + 1).arg(where.isEmpty() ? QStringLiteral("欄外") : where, shownPayeeName(value), messages::messageText(why));
    }
    constexpr qsizetype kNamed = 10;
    if (refused.size() > kNamed) {
        const qsizetype more = refused.size() - kNamed;
        refused.resize(kNamed);
        refused << messages::messageText(messages::MsgId::入力_貼付ほか, QString::number(more));
    }
    msg.ShowMsg(messages::MsgId::入力_貼付不可, refused.join(u'\n'));
}

} // namespace

QUndoStack* PayeePage::history() const
{
    return dat支払先マスタ_->history();
}

bool PayeePage::undoEdit()
{
    return walkHistory(false);
}

bool PayeePage::redoEdit()
{
    return walkHistory(true);
}

bool PayeePage::walkHistory(bool forward)
{
    // A name still in its editor is an edit of its own, the one undone first.
    grid_->commit();
    QUndoStack* stack = dat支払先マスタ_->history();
    if (forward ? !stack->canRedo() : !stack->canUndo())
        return false;
    forward ? stack->redo() : stack->undo();
    emit statusText(messages::messageText(forward ? messages::MsgId::状態_やり直し済 : messages::MsgId::状態_取消済, QStringLiteral("支払先の入力")));
    return true;
}

void PayeePage::nameRefused(const QString& name, const QString& why)
{
    // Shown once the grid is done with the editor that handed the name over.
    QTimer::singleShot(0, this, [this, name, why] { context_.msg.ShowMsg(messages::MsgId::入力_名前不可, QStringLiteral("「%1」\n%2").arg(shownPayeeName(name), why)); });
}

void PayeePage::historyFailed()
{
    // The history no longer matches the copy: it starts afresh from the copy as stored.
    QTimer::singleShot(0, this, [this] {
        dat支払先マスタ_->reload();
        context_.msg.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("支払先"));
    });
}

void PayeePage::pasteNames(const QString& text)
{
    const std::vector<QStringList> block = parseCellBlock(text);
    const QModelIndexList selected = grid_->selectedCells();
    if (block.empty() || selected.isEmpty())
        return;
    grid_->commit();
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& cell : selected)
        cells.emplace_back(cell.row(), cell.column());
    const int nameColumn = PayeeModel::kNameColumn;
    const NamePaste paste = planNamePaste(block, cells, grid_->visibleColumns(), nameColumn, dat支払先マスタ_->storedRowCount());
    std::vector<std::pair<int, QString>> names;
    for (const NamePaste::Name& name : paste.names)
        names.emplace_back(name.row, name.name);
    // The names go in together, as one step, or none of them.
    const bool written = names.empty() || dat支払先マスタ_->pasteNames(names);
    // Named as the month sheet names a refused value: line, column (欄外 right of the last),
    // the value and why, in the order of their lines.
    PasteRefusals refusals;
    for (const NamePaste::Refused& value : paste.refused)
        refusals.emplace_back(value.row, value.column, value.text, value.why ? messages::MsgId::入力_貼付名前 : messages::MsgId::入力_貼付枠外);
    for (const NamePaste::Name& name : paste.names) {
        if (!written)
            refusals.emplace_back(name.row, nameColumn, name.name, messages::MsgId::入力_貼付書込);
    }
    std::stable_sort(refusals.begin(), refusals.end(), [](const auto& a, const auto& b) { return std::get<0>(a) < std::get<0>(b); });
    showPasteRefusals(context_.msg, *dat支払先マスタ_, refusals);
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
    if (dat支払先マスタ_->removeLines({row}))
        grid_->setCurrentCell(std::min(row, dat支払先マスタ_->rowCount() - 1), column);
}

} // namespace payees

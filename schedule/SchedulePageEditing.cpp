// The schedule page's editing side: the grid's notifications, saving the month and the
// line commands, each forwarded to the month controller.

#include "SchedulePage.h"

#include "EraCalendar.h"
#include "GridView.h"
#include "ImeSwitch.h"
#include "LineDescription.h"
#include "MonthController.h"
#include "Msg.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetLines.h"
#include "SheetPaste.h"
#include "Skip.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QCoreApplication>
#include <QMenu>
#include <QProgressBar>
#include <QScopedValueRollback>

#include <algorithm>
#include <map>

namespace schedule {

void SchedulePage::connectGrid()
{
    connect(gridInp_, &GridView::focusGained, this, &SchedulePage::gridFocusGained);
    connect(gridInp_, &GridView::cellAccepted, this, &SchedulePage::gridCellAccepted);
    connect(gridInp_, &GridView::editingEnded, this, &SchedulePage::gridEditingEnded);
    connect(gridInp_, &GridView::currentCellMoved, this, &SchedulePage::gridCellMoved);
    // A key no amount can hold is refused at once, with the catalogue's words.
    connect(gridInp_, &GridView::keyRefused, this, [this] { context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("数字のみ"), QStringLiteral("金額")); });
    // Typed text that is no amount, or one past the largest: the cell keeps its value and
    // the user is told what was not taken (after the editor has closed).
    connect(datInp_, &store::WorkTableModel::amountRefused, this, [this](int, int, const QString& text) {
        const QString target = QStringLiteral("「%1」").arg(text);
        if (store::Amount::isOutOfRange(text))
            context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("桁あふれ"), target);
        else
            context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("金額不正"), target);
    }, Qt::QueuedConnection);
    connect(gridInp_, &GridView::pasteRequested, this, &SchedulePage::pasteIntoSheet);
    gridInp_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridInp_, &QWidget::customContextMenuRequested, this, &SchedulePage::showGridMenu);
    gridInp_->keyDownHandler = [this](int& key, Qt::KeyboardModifiers modifiers) { gridKeyDown(key, modifiers); };
}

void SchedulePage::remindYearMonth()
{
    context_.msg.ShowMsg(QStringLiteral("その他"), QStringLiteral("メッセージ"), QStringLiteral("年月を指定してください。"));
    dt年月_->setFocus(Qt::OtherFocusReason);
}

void SchedulePage::gridFocusGained()
{
    if (dt年月_->number().isNull())
        remindYearMonth();
}

void SchedulePage::gridCellAccepted(int column)
{
    if (!filesOpen())
        return;
    const int row = gridInp_->acceptedRow();
    if (row < 0 || row >= datInp_->storedRowCount())
        return;
    const QString typed = datInp_->data(datInp_->index(row, column)).toString();
    // The value is written with its line, then the month's rules run over the sheet. A
    // value that cannot be written stays on screen in the line's buffer, and the user is told.
    if (!store::skipOnFailure(QStringLiteral("commit the line"), [&] { datInp_->commit(); })) {
        context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("書込失敗"), QStringLiteral("「%1」").arg(typed));
        return;
    }
    if (controller_->cellAccepted(datInp_->rowId(row), column) == CellOutcome::DayRefused)
        context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("日付不正"), QStringLiteral("「%1」").arg(typed));
}

void SchedulePage::gridEditingEnded()
{
    if (!filesOpen() || !context_.session.settings.g支払先自動登録)
        return;
    const QModelIndex edited = gridInp_->editedIndex();
    if (!edited.isValid() || edited.column() != kCol支払先名)
        return;
    const QString name = datInp_->value(edited.row(), kCol支払先名).toString();
    // An empty cell names no payee: nothing is registered for it.
    if (!name.isEmpty())
        emit payeeTyped(name);
}

void SchedulePage::gridCellMoved()
{
    SetImeOpen(gridInp_, gridInp_->currentColumn() == kCol支払先名);
}

void SchedulePage::gridKeyDown(int& key, Qt::KeyboardModifiers modifiers)
{
    // Shift+Enter goes up a line, as everywhere in the grid.
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || (modifiers & Qt::ShiftModifier) || gridInp_->currentColumn() != kCol残高)
        return;
    const int row = gridInp_->currentRowIndex();
    if (row < 0)
        return;
    key = 0;
    const int next = row + 1 < datInp_->rowCount() ? row + 1 : row;
    gridInp_->setCurrentCell(next, kCol表示日付);
}

void SchedulePage::cmd登録_Click()
{
    if (!filesOpen())
        return;
    if (!context_.msg.ShowMsg(QStringLiteral("登録"), QStringLiteral("確認"), QStringLiteral("支払予定表")))
        return;
    store::skipOnFailure(QStringLiteral("commit GridInp"), [&] { gridInp_->commit(); });
    Entry支払予定表();
}

void SchedulePage::Entry支払予定表()
{
    if (!filesOpen())
        return;
    // The month of the sheet on show decides where the stored balances are recomputed from.
    if (!controller_->month().isValid()) {
        remindYearMonth();
        return;
    }
    pbar_->setVisible(true);
    const QScopedValueRollback saving(saving_, true);
    // Each step of the bar also paints what the window system asked for meanwhile (no user
    // input is taken), so that the answered question and anything else that covered the
    // window leave the screen while the save runs.
    const SaveResult result = controller_->save([this](int value) {
        showProgress(value);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    showProgress(100);
    pbar_->setVisible(false);
    switch (result.kind) {
    case SaveResult::Kind::Incomplete:
        context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("日付なし"), result.incomplete);
        break;
    case SaveResult::Kind::Failed:
        context_.msg.ShowMsg(QStringLiteral("登録"), QStringLiteral("失敗"), QStringLiteral("支払予定表"));
        break;
    case SaveResult::Kind::Saved:
        if (const auto text = messages::findMessage(QStringLiteral("状態"), QStringLiteral("登録済"),
                QStringLiteral("%1の %2 行").arg(dt年月_->text()).arg(result.stored)))
            emit statusText(text->text);
        break;
    }
}

void SchedulePage::pasteIntoSheet(const QString& text)
{
    if (!filesOpen())
        return;
    if (!controller_->month().isValid()) {
        remindYearMonth();
        return;
    }
    const std::vector<QStringList> block = parseCellBlock(text);
    const QModelIndexList selected = gridInp_->selectedCells();
    if (block.empty() || selected.isEmpty())
        return;
    store::skipOnFailure(QStringLiteral("commit GridInp"), [&] { gridInp_->commit(); });
    PastePlan plan;
    if (block.size() == 1 && block.front().size() == 1 && selected.size() > 1) {
        std::vector<PasteCell> cells;
        for (const QModelIndex& cell : selected)
            cells.push_back({.row = cell.row(), .column = cell.column()});
        plan = planFill(block.front().front(), cells);
    } else {
        const QList<int> columns = gridInp_->visibleColumns();
        plan = planPaste(block, selected.front().row(), selected.front().column(), {columns.begin(), columns.end()}, datInp_->storedRowCount());
    }
    for (PasteCell& cell : plan.cells)
        cell.rowId = datInp_->rowId(cell.row);
    MonthController::PasteOutcome outcome = controller_->paste(plan.cells);
    if (context_.session.settings.g支払先自動登録) {
        for (const QString& name : outcome.payees)
            emit payeeTyped(name);
    }
    // Named in the order they stand in the block; a blank value changes nothing, refused or not.
    std::vector<RefusedValue> refused = std::move(outcome.refused);
    refused.insert(refused.end(), plan.refused.begin(), plan.refused.end());
    std::erase_if(refused, [](const RefusedValue& value) { return value.cell.text.trimmed().isEmpty(); });
    const QList<int> shown = gridInp_->visibleColumns();
    const auto place = [&](const RefusedValue& value) { return std::pair(value.cell.row, value.cell.column < 0 ? shown.size() : shown.indexOf(value.cell.column)); };
    std::stable_sort(refused.begin(), refused.end(), [&](const RefusedValue& a, const RefusedValue& b) { return place(a) < place(b); });
    if (!refused.empty())
        tellRefusedPaste(refused);
}

void SchedulePage::tellRefusedPaste(const std::vector<RefusedValue>& refused)
{
    static const std::map<PasteRefusal, const char*> reasons{{PasteRefusal::NotAnAmount, "貼付金額"}, {PasteRefusal::OutOfRange, "貼付桁"},
        {PasteRefusal::NoSuchDay, "貼付日付"}, {PasteRefusal::Computed, "貼付計算"}, {PasteRefusal::PastTheSheet, "貼付枠外"}, {PasteRefusal::NotWritten, "貼付書込"}};
    constexpr std::size_t kNamed = 10;
    QStringList lines;
    for (std::size_t i = 0; i < refused.size() && i < kNamed; ++i) {
        const RefusedValue& value = refused[i];
        const auto why = messages::findMessage(QStringLiteral("入力"), QString::fromUtf8(reasons.at(value.why)), QString());
        const QString column = value.cell.column >= 0 ? datInp_->headerData(value.cell.column, Qt::Horizontal).toString() : QString();
        lines << messages::describePastedValue(value.cell.row + 1, column, value.cell.text, why ? why->text : QString());
    }
    if (refused.size() > kNamed) {
        if (const auto more = messages::findMessage(QStringLiteral("入力"), QStringLiteral("貼付ほか"), QString::number(refused.size() - kNamed)))
            lines << more->text;
    }
    context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("貼付不可"), lines.join(u'\n'));
}

void SchedulePage::showGridMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menuGridInp"));
    const auto add = [&](const char* words, const QKeySequence& keys, bool enabled, auto&& run) {
        QAction* action = menu.addAction(QCoreApplication::translate("QLineEdit", words), this, run);
        action->setShortcut(keys);
        action->setEnabled(enabled && filesOpen());
    };
    add("&Undo", QKeySequence::Undo, controller_->canUndo(), [this] { undoSheet(); });
    add("&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y), controller_->canRedo(), [this] { redoSheet(); });
    menu.addSeparator();
    add("&Copy", QKeySequence::Copy, true, [this] { gridInp_->copySelection(); });
    add("&Paste", QKeySequence::Paste, true, [this] { gridInp_->pasteClipboard(); });
    add("Delete", QKeySequence::Delete, true, [this] { gridInp_->emptySelectedCells(); });
    menu.exec(gridInp_->viewport()->mapToGlobal(at));
}

bool SchedulePage::undoSheet()
{
    return walkHistory(&MonthController::undo, "取消済");
}

bool SchedulePage::redoSheet()
{
    return walkHistory(&MonthController::redo, "やり直し済");
}

bool SchedulePage::walkHistory(bool (MonthController::*step)(), const char* said)
{
    if (!filesOpen())
        return false;
    store::skipOnFailure(QStringLiteral("commit GridInp"), [&] { gridInp_->commit(); });
    if (!(controller_->*step)())
        return false;
    if (const auto text = messages::findMessage(QStringLiteral("状態"), QString::fromUtf8(said), QStringLiteral("支払予定表の入力")))
        emit statusText(text->text);
    return true;
}

void SchedulePage::copyPreviousMonth()
{
    if (!filesOpen())
        return;
    if (!controller_->month().isValid()) {
        remindYearMonth();
        return;
    }
    store::skipOnFailure(QStringLiteral("commit GridInp"), [&] { gridInp_->commit(); });
    CopyOutcome outcome;
    if (!store::skipOnFailure(QStringLiteral("前月複写"), [&] { outcome = controller_->copyPreviousMonth(); })) {
        context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("書込失敗"), QStringLiteral("前月の行"));
        return;
    }
    if (outcome.kind == CopyOutcome::NothingStored)
        context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("前月なし"), calendar::formatYearMonth(controller_->month().addMonths(-1), dt年月_->eraPattern()));
    else if (outcome.kind == CopyOutcome::NoRoom)
        context_.msg.ShowMsg(QStringLiteral("入力"), QStringLiteral("前月入らず"), QString::number(outcome.lines));
}

int SchedulePage::committedCurrentRow()
{
    if (!filesOpen())
        return -1;
    const int row = gridInp_->currentRowIndex();
    if (row >= 0)
        store::skipOnFailure(QStringLiteral("commit GridInp"), [&] { gridInp_->commit(); });
    return row;
}

void SchedulePage::InsertLine()
{
    const int row = committedCurrentRow();
    if (row < 0 || row >= datInp_->storedRowCount())
        return;
    const QVariant number = datInp_->value(row, kCol行番号);
    if (number.isNull())
        return;
    InsertOutcome outcome = InsertOutcome::Inserted;
    if (!store::skipOnFailure(QStringLiteral("InsertLine"), [&] { outcome = controller_->insertLine(number.toLongLong()); }))
        return;
    if (outcome == InsertOutcome::NoRoom)
        context_.msg.ShowMsg(QStringLiteral("行指定"), QStringLiteral("余白なし"), QString());
}

void SchedulePage::cmd行削除_Click()
{
    if (!filesOpen())
        return;
    // The question names the line and says that a stored line leaves the book at once.
    const int row = gridInp_->currentRowIndex();
    const bool named = row >= 0 && row < datInp_->storedRowCount();
    const QString line = named ? messages::describeLine(datInp_->value(row, kCol表示日付).toString(), datInp_->value(row, kCol支払先名).toString(),
                                     store::Amount::fromVariant(datInp_->value(row, kCol予定額)), store::Amount::fromVariant(datInp_->value(row, kCol支払額)))
                               : QString();
    const bool asked = named ? context_.msg.ShowMsg(QStringLiteral("削除"), QStringLiteral("行確認"), line)
                             : context_.msg.ShowMsg(QStringLiteral("削除"), QStringLiteral("伝票確認2"), QStringLiteral("指定された行"));
    if (asked)
        LineDelete();
}

void SchedulePage::LineDelete()
{
    const int row = committedCurrentRow();
    if (row < 0 || row >= datInp_->storedRowCount())
        return;
    bool stored = false;
    store::skipOnFailure(QStringLiteral("LineDelete original"), [&] { stored = storedOriginal(context_.session.workDb(), datInp_->rowId(row)).has_value(); });
    if (stored && !askBeforeDestructive(context_, "linedelete"))
        return;
    bool deleted = false;
    try {
        deleted = controller_->deleteLine(datInp_->rowId(row));
    } catch (const std::exception& e) {
        // Nothing was deleted from either file.
        store::logSkipped(QStringLiteral("LineDelete"), e);
        context_.msg.ShowMsg(QStringLiteral("削除"), QStringLiteral("失敗"), QStringLiteral("指定された行"));
        return;
    }
    gridInp_->setFocus(Qt::OtherFocusReason);
    if (deleted)
        tellDestructiveDone(context_, "linedelete");
}

} // namespace schedule

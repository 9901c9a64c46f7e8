// The schedule page's editing side: the grid's notifications, saving the month and the
// line commands, each forwarded to the month controller.

#include "SchedulePage.h"

#include "EraCalendar.h"
#include "GridView.h"
#include "InputMethodSwitch.h"
#include "LineDescription.h"
#include "MonthController.h"
#include "Msg.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetModel.h"
#include "SheetPaste.h"
#include "Skip.h"
#include "YearMonthEdit.h"

#include <QCoreApplication>
#include <QMenu>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QUndoStack>

#include <algorithm>
#include <map>

namespace schedule {

namespace {

// The catalogue's key for each reason a value was refused, in a box of its own (typed) and
// as a line of the paste box.
messages::MsgId typedRefusal(CellRefusal why)
{
    switch (why) {
    case CellRefusal::OutOfRange:
        return messages::MsgId::入力_桁あふれ;
    case CellRefusal::Fraction:
        return messages::MsgId::入力_端数;
    case CellRefusal::NoSuchDay:
        return messages::MsgId::入力_日付不正;
    case CellRefusal::BadName:
        return messages::MsgId::入力_名前不可;
    default:
        return messages::MsgId::入力_金額不正;
    }
}

messages::MsgId pastedRefusal(CellRefusal why)
{
    static const std::map<CellRefusal, messages::MsgId> reasons{{CellRefusal::NotAnAmount, messages::MsgId::入力_貼付金額}, {CellRefusal::OutOfRange, messages::MsgId::入力_貼付桁},
        {CellRefusal::Fraction, messages::MsgId::入力_貼付端数}, {CellRefusal::NoSuchDay, messages::MsgId::入力_貼付日付}, {CellRefusal::Computed, messages::MsgId::入力_貼付計算},
        {CellRefusal::PastTheSheet, messages::MsgId::入力_貼付枠外}, {CellRefusal::NotWritten, messages::MsgId::入力_貼付書込}, {CellRefusal::BadName, messages::MsgId::入力_貼付名前}};
    return reasons.at(why);
}

} // namespace

void SchedulePage::connectGrid()
{
    connect(gridInp_, &GridView::focusGained, this, &SchedulePage::gridFocusGained);
    connect(gridInp_, &GridView::currentCellMoved, this, &SchedulePage::gridCellMoved);
    // A key no amount can hold is refused at once, with the catalogue's words.
    connect(gridInp_, &GridView::keyRefused, this, [this] { context_.msg.ShowMsg(messages::MsgId::入力_数字のみ, QStringLiteral("金額")); });
    // A typed value the month refuses: the cell keeps its value and the user is told what
    // was not taken, once the editor has closed.
    connect(controller_, &MonthController::cellRefused, this, [this](int, int, const QString& text, CellRefusal why) { tellRefusedValue(text, why); },
        Qt::QueuedConnection);
    // The drop-down offers the payee list and the names on the sheet shown: the names of an
    // edit or a paste join it at once, and the names of a sheet that is replaced leave it.
    connect(controller_, &MonthController::payeesTyped, this, [this](const QStringList& names) { emit payeesTyped(dat支払先名_, names); });
    connect(controller_, &MonthController::sheetReplaced, this, [this] { emit payeeListNeeded(dat支払先名_, controller_->sheetNames()); });
    // The box's advice follows the cause: another program holding the work file, or the disk.
    connect(controller_, &MonthController::draftFailed, this, [this](const QString& engine, bool busy) {
        context_.msg.ShowMsg(busy ? messages::MsgId::入力_下書き使用中 : messages::MsgId::入力_下書き失敗, engine);
    }, Qt::QueuedConnection);
    connect(gridInp_, &GridView::pasteRequested, this, &SchedulePage::pasteIntoSheet);
    gridInp_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridInp_, &QWidget::customContextMenuRequested, this, &SchedulePage::showGridMenu);
    gridInp_->keyDownHandler = [this](int& key, Qt::KeyboardModifiers modifiers) { gridKeyDown(key, modifiers); };
}

void SchedulePage::tellRefusedValue(const QString& text, CellRefusal why)
{
    QString target = QStringLiteral("「%1」").arg(text);
    if (why == CellRefusal::BadName && controller_->checkName) {
        const QString name = trimmedName(text);
        target = QStringLiteral("「%1」\n%2").arg(name.left(40) + (name.size() > 40 ? QStringLiteral("…") : QString()), controller_->checkName(name).value_or(QString()));
    }
    context_.msg.ShowMsg(typedRefusal(why), target);
}

bool SchedulePage::tellFileFailure(const char* command, const FileFailure& failure, const QString& what)
{
    const bool load = QByteArray(command) == "読込";
    if (load) {
        const messages::MsgId id = failure.kind == FileFailure::Busy ? messages::MsgId::その他_読込使用中
            : failure.kind == FileFailure::Full                      ? messages::MsgId::その他_読込空きなし
                                                                     : messages::MsgId::その他_読込再試行;
        return context_.msg.ShowMsg(id, what);
    }
    context_.msg.ShowMsg(failure.kind == FileFailure::Busy ? messages::MsgId::登録_使用中 : messages::MsgId::登録_失敗, what);
    return false;
}

void SchedulePage::remindYearMonth()
{
    context_.msg.ShowMsg(messages::MsgId::その他_メッセージ, QStringLiteral("年月を指定してください。"));
    monthEdit_->setFocus(Qt::OtherFocusReason);
}

void SchedulePage::gridFocusGained()
{
    if (monthEdit_->number().isNull())
        remindYearMonth();
}

void SchedulePage::gridCellMoved()
{
    SetImeOpen(gridInp_, gridInp_->currentColumn() == kCol支払先名);
    tellBankHoliday();
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
    const int next = row + 1 < controller_->model()->rowCount() ? row + 1 : row;
    gridInp_->setCurrentCell(next, kCol表示日付);
}

void SchedulePage::onEnterClicked()
{
    if (!filesOpen())
        return;
    if (!context_.msg.ShowMsg(messages::MsgId::登録_確認, QStringLiteral("支払予定表")))
        return;
    gridInp_->commit();
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
    const QScopedValueRollback saving(saving_, true);
    // Stored lines the sheet no longer shows (it was cleared) stay or go as the user says;
    // they go only after a backup.
    bool deletesOffSheet = false;
    const auto askOffSheet = [&](const std::vector<ledger::StoredLine>& offSheet) {
        switch (context_.msg.Ask(messages::MsgId::登録_画面外の行, QString::number(offSheet.size()))) {
        case messages::Answer::Yes:
            return OffSheetChoice::Keep;
        case messages::Answer::No:
            deletesOffSheet = askBeforeDestructive(context_, DestructiveCommand::LineDelete);
            return deletesOffSheet ? OffSheetChoice::Delete : OffSheetChoice::Cancel;
        case messages::Answer::Cancel:
            break;
        }
        return OffSheetChoice::Cancel;
    };
    pbar_->setVisible(true);
    // Each step of the bar also paints what the window system asked for meanwhile (no user
    // input is taken), so that the answered question and anything else that covered the
    // window leave the screen while the save runs.
    const SaveResult result = controller_->save(askOffSheet, [this](int value) {
        showProgress(value);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    showProgress(100);
    pbar_->setVisible(false);
    switch (result.kind) {
    case SaveResult::Kind::Incomplete:
        context_.msg.ShowMsg(messages::MsgId::入力_日付なし, result.lines);
        break;
    case SaveResult::Kind::Overflow:
        context_.msg.ShowMsg(messages::MsgId::入力_桁あふれ行, result.lines);
        break;
    case SaveResult::Kind::Failed:
        tellFileFailure("登録", result.failure, QStringLiteral("支払予定表"));
        break;
    case SaveResult::Kind::Cancelled:
        break;
    case SaveResult::Kind::Saved:
        if (deletesOffSheet)
            tellDestructiveDone(context_, DestructiveCommand::LineDelete);
        emit statusText(messages::messageText(messages::MsgId::状態_登録済,
            QStringLiteral("%1（この月の行は %2 行）").arg(monthEdit_->text()).arg(result.monthLines)));
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
    gridInp_->commit();
    PastePlan plan;
    if (block.size() == 1 && block.front().size() == 1 && selected.size() > 1) {
        std::vector<PasteCell> cells;
        for (const QModelIndex& cell : selected)
            cells.push_back({.row = cell.row(), .column = cell.column()});
        plan = planFill(block.front().front(), cells);
    } else {
        // A block flows over the weekday, which only shows the day's; a block pasted onto
        // the weekday itself is refused there as computed.
        QList<int> columns = gridInp_->visibleColumns();
        if (selected.front().column() != kCol曜日)
            columns.removeAll(kCol曜日);
        plan = planPaste(block, selected.front().row(), selected.front().column(), {columns.begin(), columns.end()}, controller_->model()->rowCount());
    }
    std::vector<RefusedValue> refused = controller_->paste(plan.cells);
    // Named in the order they stand in the block; a blank value changes nothing, refused or not.
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
    constexpr std::size_t kNamed = 10;
    QStringList lines;
    for (std::size_t i = 0; i < refused.size() && i < kNamed; ++i) {
        const RefusedValue& value = refused[i];
        const QString why = messages::messageText(pastedRefusal(value.why));
        const QString column = value.cell.column >= 0 ? controller_->model()->headerData(value.cell.column, Qt::Horizontal).toString() : QString();
        lines << messages::describePastedValue(value.cell.row + 1, column, value.cell.text, why);
    }
    if (refused.size() > kNamed) {
        lines << messages::messageText(messages::MsgId::入力_貼付ほか, QString::number(refused.size() - kNamed));
    }
    context_.msg.ShowMsg(messages::MsgId::入力_貼付不可, lines.join(u'\n'));
}

void SchedulePage::showGridMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menuGridInp"));
    for (QAction* action : std::as_const(gridMenu_)) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    menu.exec(gridInp_->viewport()->mapToGlobal(at));
}

const QUndoStack* SchedulePage::sheetHistory() const
{
    return controller_->undoStack();
}

bool SchedulePage::undoSheet()
{
    return walkHistory(false);
}

bool SchedulePage::redoSheet()
{
    return walkHistory(true);
}

bool SchedulePage::walkHistory(bool forward)
{
    if (!filesOpen())
        return false;
    gridInp_->commit();
    QUndoStack* stack = controller_->undoStack();
    if (forward ? !stack->canRedo() : !stack->canUndo())
        return false;
    forward ? stack->redo() : stack->undo();
    emit statusText(messages::messageText(forward ? messages::MsgId::状態_やり直し済 : messages::MsgId::状態_取消済, QStringLiteral("支払予定表の入力")));
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
    gridInp_->commit();
    const auto askRepeat = [this](const QStringList& held) {
        QStringList shown = held.mid(0, 15);
        if (held.size() > shown.size())
            shown << QStringLiteral("ほか %1 行").arg(held.size() - shown.size());
        switch (context_.msg.Ask(messages::MsgId::入力_前月重複, shown.join(QLatin1Char('\n')))) {
        case messages::Answer::Yes:
            return MonthController::RepeatChoice::All;
        case messages::Answer::No:
            return MonthController::RepeatChoice::Missing;
        case messages::Answer::Cancel:
            break;
        }
        return MonthController::RepeatChoice::Cancel;
    };
    CopyOutcome outcome;
    if (!store::skipOnFailure(QStringLiteral("前月複写"), [&] { outcome = controller_->copyPreviousMonth(askRepeat); })) {
        context_.msg.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("前月の行"));
        return;
    }
    tellRepeatedDays(outcome);
    if (outcome.kind == CopyOutcome::NothingStored)
        context_.msg.ShowMsg(messages::MsgId::入力_前月なし, calendar::formatYearMonth(controller_->month().addMonths(-1), monthEdit_->eraPattern()));
    else if (outcome.kind == CopyOutcome::NoRoom)
        context_.msg.ShowMsg(messages::MsgId::入力_前月入らず, QString::number(outcome.lines));
}

int SchedulePage::committedCurrentRow()
{
    if (!filesOpen())
        return -1;
    const int row = gridInp_->currentRowIndex();
    if (row >= 0)
        gridInp_->commit();
    return row;
}

void SchedulePage::InsertLine()
{
    const int row = committedCurrentRow();
    if (row < 0 || row >= controller_->model()->rowCount())
        return;
    if (controller_->insertLine(row) == InsertOutcome::NoRoom)
        context_.msg.ShowMsg(messages::MsgId::行指定_余白なし, QString());
}

void SchedulePage::onDeleteLineClicked()
{
    if (!filesOpen())
        return;
    // The question names the line; only for a stored line does it say that the line
    // leaves the book at once (a line never registered leaves only the sheet).
    const int row = gridInp_->currentRowIndex();
    const bool named = row >= 0 && row < controller_->model()->rowCount();
    QString line;
    if (named) {
        const SheetLine& shown = controller_->lines()[static_cast<std::size_t>(row)];
        line = messages::describeLine(shown.day, shown.payee, shown.scheduled, shown.paid);
    }
    const messages::MsgId question = controller_->lineIsStored(row) ? messages::MsgId::削除_行確認 : messages::MsgId::削除_未登録行確認;
    const bool asked = named ? context_.msg.ShowMsg(question, line)
                             : context_.msg.ShowMsg(messages::MsgId::削除_伝票確認2, QStringLiteral("指定された行"));
    if (asked)
        LineDelete();
}

void SchedulePage::LineDelete()
{
    const int row = committedCurrentRow();
    if (row < 0 || row >= controller_->model()->rowCount())
        return;
    const bool stored = controller_->lineIsStored(row);
    if (stored && !askBeforeDestructive(context_, DestructiveCommand::LineDelete))
        return;
    bool deleted = false;
    try {
        deleted = controller_->deleteLine(row);
    } catch (const std::exception& e) {
        // Nothing was deleted from either file.
        store::logSkipped(QStringLiteral("LineDelete"), e);
        context_.msg.ShowMsg(messages::MsgId::削除_失敗, QStringLiteral("指定された行"));
        return;
    }
    gridInp_->setFocus(Qt::OtherFocusReason);
    if (deleted)
        tellDestructiveDone(context_, DestructiveCommand::LineDelete);
}

} // namespace schedule

// The grid's keyboard: the keys it refuses, the spreadsheet keys, the arrows that leave an
// open editor and the columns the cursor stops at.

#include "GridView.h"

#include "CellBlock.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

bool GridView::refusesKey(const QKeyEvent* event) const
{
    if (!amountColumns_.contains(currentColumn()) || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QString typed = event->text().normalized(QString::NormalizationForm_KC);
    if (typed.isEmpty() || !typed.front().isPrint())
        return false; // Enter, Tab, Backspace and the like
    // Digits (half- or full-width), a minus sign, commas and a decimal point.
    const auto amountCharacter = [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'-' || c == u'\u2212' || c == u',' || c == u'.'; };
    return !std::all_of(typed.begin(), typed.end(), amountCharacter);
}

bool GridView::handleKey(QKeyEvent* event)
{
    if (refusesKey(event)) {
        // The box that tells it takes the focus for a while; the editor must not take
        // that for the end of the edit, so that the typing goes on where it was.
        refusing_ = true;
        emit keyRefused(currentColumn());
        refusing_ = false;
        return true;
    }
    if (keyDownHandler) {
        int key = event->key();
        keyDownHandler(key, event->modifiers());
        if (key == 0)
            return true;
    }
    return handleSpreadsheetKey(event);
}

bool GridView::handleSpreadsheetKey(const QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return false;
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
        const int step = mods == Qt::ShiftModifier ? -1 : 1;
        leaveEditorTo(current.row() + step, current.column());
        return true;
    }
    if (isEditing()) {
        if (mods != Qt::NoModifier || !arrowLeavesEditor(key))
            return false;
        const int down = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
        int column = current.column();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            const QList<int> shown = stopColumns();
            const qsizetype at = shown.indexOf(column) + (key == Qt::Key_Right ? 1 : -1);
            column = at >= 0 && at < shown.size() ? shown.at(at) : column;
        }
        leaveEditorTo(current.row() + down, column);
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteClipboard();
        return true;
    }
    return false;
}

bool GridView::arrowLeavesEditor(int key) const
{
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    // An open list or completion takes the arrows for itself.
    if (auto* combo = qobject_cast<QComboBox*>(indexWidget(currentIndex()))) {
        if (combo->view()->isVisible() || (combo->completer() && combo->completer()->popup()->isVisible()))
            return false;
    }
    const QLineEdit* line = editorLine();
    if (!line || key == Qt::Key_Up || key == Qt::Key_Down)
        return true;
    if (line->hasSelectedText() || composing_)
        return false;
    return key == Qt::Key_Left ? line->cursorPosition() == 0 : line->cursorPosition() == line->text().size();
}

void GridView::leaveEditorTo(int row, int column)
{
    if (isEditing()) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    // The accepted value may have re-read the model: the target is found afresh.
    if (row >= 0 && row < model()->rowCount() && column >= 0)
        setCurrentIndex(model()->index(row, column));
    setFocus(Qt::OtherFocusReason);
}

QModelIndex GridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    const bool tab = cursorAction == MoveNext || cursorAction == MovePrevious;
    const bool across = cursorAction == MoveLeft || cursorAction == MoveRight;
    if (!current.isValid() || (tab && tabSkipped_.isEmpty() && passedOver_.isEmpty()) || (across && passedOver_.isEmpty()) || (!tab && !across))
        return QTableView::moveCursor(cursorAction, modifiers);
    // Across the shown columns that the key stops at; Tab goes on to the next (or previous)
    // line, an arrow stays at the edge.
    QList<int> stops = stopColumns();
    if (tab)
        stops.removeIf([this](int column) { return tabSkipped_.contains(column); });
    if (stops.isEmpty())
        return current;
    const int here = horizontalHeader()->visualIndex(current.column());
    const bool forward = cursorAction == MoveNext || cursorAction == MoveRight;
    if (forward) {
        for (int column : stops) {
            if (horizontalHeader()->visualIndex(column) > here)
                return model()->index(current.row(), column);
        }
        return tab && current.row() + 1 < model()->rowCount() ? model()->index(current.row() + 1, stops.front()) : current;
    }
    for (auto it = stops.crbegin(); it != stops.crend(); ++it) {
        if (horizontalHeader()->visualIndex(*it) < here)
            return model()->index(current.row(), *it);
    }
    return tab && current.row() > 0 ? model()->index(current.row() - 1, stops.back()) : current;
}

QList<int> GridView::stopColumns() const
{
    QList<int> stops = visibleColumns();
    stops.removeIf([this](int column) { return passedOver_.contains(column); });
    return stops;
}

QList<int> GridView::visibleColumns() const
{
    QList<int> shown;
    if (!model())
        return shown;
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual) {
        const int column = horizontalHeader()->logicalIndex(visual);
        if (!isColumnHidden(column))
            shown << column;
    }
    return shown;
}

void GridView::keyboardSearch(const QString&)
{
}

void GridView::ensureCurrentCellFor(const QKeyEvent* event)
{
    if (!model() || currentIndex().isValid() || event->text().isEmpty() || !event->text().front().isPrint())
        return;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return;
    for (int column = 0; column < model()->columnCount(); ++column) {
        const QModelIndex first = model()->index(0, column);
        if (!isColumnHidden(column) && first.isValid() && (model()->flags(first) & Qt::ItemIsEditable)) {
            setCurrentIndex(first);
            return;
        }
    }
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    if (handleKey(event)) {
        event->accept();
        return;
    }
    // A key the input method let through ends a composition that kept the focus here.
    if (composing_) {
        endComposition();
        if (QLineEdit* line = editorLine()) {
            QCoreApplication::sendEvent(line, event);
            return;
        }
    }
    // Delete or Backspace on selected cells empties them, as typing them empty would.
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && event->modifiers() == Qt::NoModifier
        && state() != QAbstractItemView::EditingState) {
        emptySelectedCells();
        event->accept();
        return;
    }
    ensureCurrentCellFor(event);
    QTableView::keyPressEvent(event);
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched != this) {
        auto* key = static_cast<QKeyEvent*>(event);
        takeCompletionChoice(watched, key);
        if (handleKey(key))
            return true;
    }
    if (event->type() == QEvent::FocusOut && watched != this && refusing_)
        return true;
    return QTableView::eventFilter(watched, event);
}

void GridView::takeCompletionChoice(QObject* watched, const QKeyEvent* event)
{
    QLineEdit* line = editorLine();
    QCompleter* completer = line ? line->completer() : nullptr;
    if (!completer || watched != completer->popup() || (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter))
        return;
    const QModelIndex chosen = completer->popup()->currentIndex();
    if (chosen.isValid())
        line->setText(chosen.data(completer->completionRole()).toString());
    completer->popup()->hide();
}

#include "GridView.h"

#include <algorithm>

#include "CellBlock.h"
#include "Skip.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

GridView::GridView(QWidget* parent)
    : QTableView(parent)
{
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // No SelectedClicked: the view would open the editor of a clicked current cell only
    // after the double-click interval, and a key typed before that would not reach it.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
}

void GridView::setWorkModel(WorkTableModel* model)
{
    model_ = model;
    setModel(model);
    connect(model, &WorkTableModel::cellAccepted, this, [this](int row, int column) {
        acceptedRow_ = row;
        emit cellAccepted(column);
    });
}

void GridView::setupColumn(int index, const ColumnSetup& setup)
{
    setColumnHidden(index, !setup.shown);
    if (model_) {
        if (!setup.heading.isEmpty())
            model_->setHeading(index, setup.heading);
        if (setup.amount)
            model_->setColumnKind(index, WorkTableModel::ColumnKind::Amount);
        model_->setAlignment(index, setup.alignment);
    } else if (model() && !setup.heading.isEmpty()) {
        model()->setHeaderData(index, Qt::Horizontal, setup.heading);
    }
    if (setup.amount)
        amountColumns_.insert(index);
    else
        amountColumns_.remove(index);
    if (setup.widthTwips > 0)
        setColumnWidth(index, twipsToPixels(setup.widthTwips));
    if (setup.dropDown)
        setItemDelegateForColumn(index, setup.dropDown);
}

int GridView::currentRowIndex() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

int GridView::currentColumn() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

void GridView::setCurrentCell(int row, int column)
{
    if (!model())
        return;
    setCurrentIndex(model()->index(row, column));
}

void GridView::commit()
{
    if (isEditing()) {
        if (QWidget* editor = indexWidget(currentIndex()))
            commitData(editor);
    }
    if (model_)
        model_->commit();
}

void GridView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit focusGained();
}

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

QModelIndexList GridView::selectedCells() const
{
    QModelIndexList cells = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    cells.erase(std::remove_if(cells.begin(), cells.end(), [this](const QModelIndex& cell) { return isColumnHidden(cell.column()); }), cells.end());
    // By line, then as the columns stand on the screen (a moved column included).
    const QHeaderView* header = horizontalHeader();
    std::sort(cells.begin(), cells.end(), [header](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), header->visualIndex(a.column())) < std::pair(b.row(), header->visualIndex(b.column()));
    });
    return cells;
}

void GridView::copySelection()
{
    QGuiApplication::clipboard()->setText(selectedText());
}

void GridView::pasteClipboard()
{
    emit pasteRequested(QGuiApplication::clipboard()->text());
}

QString GridView::selectedText() const
{
    std::vector<QStringList> block;
    int row = -1;
    for (const QModelIndex& cell : selectedCells()) {
        if (passedOver_.contains(cell.column()))
            continue;
        if (cell.row() != row || block.empty()) {
            block.emplace_back();
            row = cell.row();
        }
        block.back() << cell.data(Qt::DisplayRole).toString();
    }
    return formatCellBlock(block);
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

void GridView::emptySelectedCells()
{
    if (!model())
        return;
    const QModelIndex current = currentIndex();
    const QList<QRect> blocks = selectedBlocks();
    for (const QModelIndex& cell : selectedCells()) {
        if (!(model()->flags(cell) & Qt::ItemIsEditable) || cell.data(Qt::EditRole).toString().isEmpty())
            continue;
        model()->setData(cell, QString(), Qt::EditRole);
    }
    reselectBlocks(blocks, current);
}

QList<QRect> GridView::selectedBlocks() const
{
    QList<QRect> blocks;
    if (selectionModel()) {
        for (const QItemSelectionRange& range : selectionModel()->selection())
            blocks << QRect(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
    }
    return blocks;
}

void GridView::reselectBlocks(const QList<QRect>& blocks, const QModelIndex& current)
{
    // Writing a cell may have the sheet read again, which drops the selection: the same
    // cells are selected again, with the current cell where it was.
    const int rows = model()->rowCount();
    const int columns = model()->columnCount();
    if (current.isValid() && current.row() < rows && current.column() < columns)
        selectionModel()->setCurrentIndex(model()->index(current.row(), current.column()), QItemSelectionModel::NoUpdate);
    QItemSelection selection;
    for (const QRect& block : blocks) {
        const int bottom = std::min(block.bottom(), rows - 1);
        const int right = std::min(block.right(), columns - 1);
        if (block.top() <= bottom && block.left() <= right)
            selection.select(model()->index(block.top(), block.left()), model()->index(bottom, right));
    }
    if (selection.isEmpty() && currentIndex().isValid())
        selection.select(currentIndex(), currentIndex());
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched != this) {
        if (handleKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    if (event->type() == QEvent::FocusOut && watched != this && refusing_)
        return true;
    return QTableView::eventFilter(watched, event);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (model_ && previous.isValid() && current.row() != previous.row() && model_->pendingRow() == previous.row())
        store::skipOnFailure(QStringLiteral("commit line on leaving it"), [&] { model_->commit(); });
    emit currentCellMoved(previous.row(), previous.column());
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    composing_ = false;
    emit editingEnded();
    QTableView::closeEditor(editor, hint);
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && state() == QAbstractItemView::EditingState) {
        editedIndex_ = index;
        // Installed again, the grid's filter runs before the delegate's, so that a key the
        // key-down handler cancels never reaches the delegate.
        if (QWidget* editor = indexWidget(index))
            editor->installEventFilter(this);
    }
    return opened;
}

void GridView::inputMethodEvent(QInputMethodEvent* event)
{
    if (composing_) {
        forwardComposition(event);
        return;
    }
    const QModelIndex index = currentIndex();
    const bool editable = index.isValid() && (model()->flags(index) & Qt::ItemIsEditable);
    if (state() != QAbstractItemView::EditingState && editable) {
        // Japanese typed while no cell is being edited starts editing the current cell,
        // like any other first key; the text replaces the cell's.
        if (!event->preeditString().isEmpty() && openForComposition(index)) {
            forwardComposition(event);
            return;
        }
        if (!event->commitString().isEmpty() && edit(index, QAbstractItemView::AnyKeyPressed, event)) {
            if (QLineEdit* line = editorLine()) {
                line->clear();
                line->setFocus(Qt::OtherFocusReason);
                QCoreApplication::sendEvent(line, event);
            }
            return;
        }
    }
    // Text that reaches the grid while its editor is open belongs in the editor.
    if (state() == QAbstractItemView::EditingState && !event->commitString().isEmpty()) {
        if (QLineEdit* line = editorLine()) {
            QCoreApplication::sendEvent(line, event);
            return;
        }
    }
    QTableView::inputMethodEvent(event);
}

bool GridView::openForComposition(const QModelIndex& index)
{
    holdEditorFocus_ = true;
    const bool opened = edit(index, QAbstractItemView::AnyKeyPressed, nullptr);
    holdEditorFocus_ = false;
    QWidget* editor = indexWidget(index);
    if (editor)
        editor->setEnabled(true);
    QLineEdit* line = opened ? editorLine() : nullptr;
    if (!line) {
        if (editor)
            editor->setFocus(Qt::OtherFocusReason);
        return false;
    }
    line->clear(); // no composition is in the line edit yet: nothing to reset
    composing_ = true;
    return true;
}

void GridView::forwardComposition(QInputMethodEvent* event)
{
    QLineEdit* line = editorLine();
    if (!line) {
        composing_ = false;
        event->ignore();
        return;
    }
    QCoreApplication::sendEvent(line, event);
    // Committed or given up: the composition is over and the editor takes the focus, once
    // the input method has finished handing this event over (see endComposition).
    if (event->preeditString().isEmpty())
        QMetaObject::invokeMethod(this, [this] { endComposition(); }, Qt::QueuedConnection);
}

void GridView::endComposition()
{
    if (!composing_)
        return;
    composing_ = false;
    // The composition is in the editor already. Any other focus change has Qt commit what
    // the input method still holds as a composition and reset it: Qt's IBus plugin forgets
    // a composition only after delivering its commit, and IBus commits on that reset once
    // more a composition its engine clears only just after the commit, so the same text
    // would come twice. A pop-up's focus change is exempt, and this is one in effect: the
    // edit goes on where the input method left it.
    if (QLineEdit* line = editorLine())
        line->setFocus(Qt::PopupFocusReason);
}

QLineEdit* GridView::editorLine() const
{
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return nullptr;
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line;
    return editor->findChild<QLineEdit*>();
}

QVariant GridView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    QLineEdit* line = composing_ ? editorLine() : nullptr;
    if (!line || query == Qt::ImEnabled || query == Qt::ImHints)
        return QTableView::inputMethodQuery(query);
    const QVariant value = line->inputMethodQuery(query);
    // Rectangles are the line edit's; the input method reads them as the grid's.
    const QPoint offset = line->mapTo(this, QPoint(0, 0));
    if (value.typeId() == QMetaType::QRect)
        return value.toRect().translated(offset);
    if (value.typeId() == QMetaType::QRectF)
        return value.toRectF().translated(offset);
    return value;
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    prepareEditor(editor);
    return editor;
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor); line && line->text() == index.data(Qt::EditRole).toString())
        return;
    QStyledItemDelegate::setModelData(editor, model, index);
}

void GridDelegate::prepareEditor(QWidget* editor) const
{
    auto* grid = qobject_cast<GridView*>(this->parent());
    if (!editor || !grid)
        return;
    editor->installEventFilter(grid);
    editor->setInputMethodHints(grid->inputMethodHints());
    // Disabled, the new editor cannot take the focus from the grid; the grid enables it.
    if (grid->holdEditorFocus_)
        editor->setEnabled(false);
    if (auto* line = editor->findChild<QLineEdit*>()) {
        // The line edit of a drop-down holds the focus while the user types.
        line->installEventFilter(grid);
        line->setInputMethodHints(grid->inputMethodHints());
    }
}

QStyleOptionViewItem CheckDelegate::centered(const QStyleOptionViewItem& option) const
{
    QStyleOptionViewItem box(option);
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget) + 2 * style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 2;
    box.rect = QRect(option.rect.center().x() - width / 2, option.rect.y(), width, option.rect.height());
    return box;
}

void CheckDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The cell's background and selection across its whole width, then the box in the middle.
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    cell.text.clear();
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, option.widget);
    QStyleOptionViewItem box = centered(option);
    box.state &= ~QStyle::State_HasFocus;
    GridDelegate::paint(painter, box, index);
}

bool CheckDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    return GridDelegate::editorEvent(event, model, centered(option), index);
}

#include "GridView.h"

#include <algorithm>
#include <cmath>

#include "Amount.h"
#include "CellBlock.h"
#include "Skip.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetricsF>
#include <QStyle>
#include <QCompleter>
#include <QHeaderView>
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
    if (setup.widthTwips > 0 || setup.amount)
        setColumnWidth(index, std::max(twipsToPixels(setup.widthTwips), setup.amount ? amountColumnWidth() : 0));
    if (setup.dropDown)
        setItemDelegateForColumn(index, setup.dropDown);
}

int GridView::amountColumnWidth() const
{
    // The cell's text stands inside the style's margin on either side, and the grid line
    // takes a pixel of the cell.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const double text = QFontMetricsF(font()).horizontalAdvance(ledger::Amount::widestText());
    return static_cast<int>(std::ceil(text)) + 2 * margin + (showGrid() ? 1 : 0) + 1;
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
        // Installed again, the grid's filter runs before the delegate's, so that a key the
        // key-down handler cancels never reaches the delegate.
        if (QWidget* editor = indexWidget(index))
            editor->installEventFilter(this);
    }
    return opened;
}

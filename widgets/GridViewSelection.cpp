// The grid's selected cells: copied and pasted as tab-separated text, emptied, and selected
// again after the sheet was read anew.

#include "GridView.h"

#include "CellBlock.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>

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

#pragma once

#include "Twips.h"

#include <QStyledItemDelegate>
#include <QSet>
#include <QTableView>

#include <functional>

class QLineEdit;

class WorkTableModel;

// The grid of a page: a table view over an item model with the column set-up and the
// notifications that the pages hook into:
//   focusGained()                 the grid received the input focus;
//   cellAccepted(column)          over a WorkTableModel: a typed value is in the line's
//                                 buffer, not yet written (acceptedRow() tells its line,
//                                 which is the current line unless a click elsewhere ended
//                                 the edit);
//   editingEnded()                the cell editor closed;
//   currentCellMoved(row, column) the current cell moved (previous position given);
//   keyDownHandler(key, mods)     a key reached the grid or its editor; set key to 0
//                                 to cancel it.
// Over a WorkTableModel, moving to another line commits the buffered line; any other model
// takes each value as the editor hands it over.
// As in a spreadsheet, a printable key on the current cell opens its editor with that key
// (replacing the cell's text), also right after a click on the cell; double-click and F2
// edit the text in place. The grid has no type-to-find: a key never moves the current cell.
// Enter commits and moves down (Shift+Enter up); Tab and Shift+Tab move across, passing
// over the columns set by setTabSkipped() and setPassedOver(); the left and right arrows
// pass over the latter too, and leave a cell being edited once the caret stands at that
// edge (Up and Down always). Enter in an editor's completion list takes the entry chosen
// there and then commits and moves down as in the cell. Ctrl+C copies the selected block as
// tab-separated lines; Ctrl+V hands the clipboard's text to pasteRequested().
class GridView : public QTableView {
    Q_OBJECT
public:
    struct ColumnSetup {
        bool shown = true;
        QString heading;
        bool amount = false; // "#,###" display, amount input
        Qt::Alignment alignment = Qt::AlignLeft;
        double widthTwips = 0; // an amount column is never narrower than amountColumnWidth()
        QAbstractItemDelegate* dropDown = nullptr;
    };
    // The width in pixels at which an amount column shows the widest amount typed in whole
    // yen (ledger::Amount::widestText) whole in the grid's font.
    int amountColumnWidth() const;

    explicit GridView(QWidget* parent = nullptr);

    // A data source whose edited line is buffered until commit().
    void setWorkModel(WorkTableModel* model);
    void setupColumn(int index, const ColumnSetup& setup);

    using QTableView::edit;
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    // The cell whose editor was opened last (kept until the next editor opens).
    // The line of the value that cellAccepted last announced.
    int acceptedRow() const { return acceptedRow_; }
    int currentRowIndex() const;
    int currentColumn() const;
    void setCurrentCell(int row, int column);
    // Columns that Tab and Shift+Tab pass over (a computed column, for example).
    void setTabSkipped(const QSet<int>& columns) { tabSkipped_ = columns; }
    // Columns shown only to be read beside another (the weekday beside the day): Tab and the
    // arrow keys pass over them, and a copied block leaves them out, so that it pastes back
    // as it was. A click still makes such a cell current.
    void setPassedOver(const QSet<int>& columns) { passedOver_ = columns; }
    // The shown columns in order, and the selected cells (or the current one) by line and
    // then in the order the columns stand on the screen.
    QList<int> visibleColumns() const;
    QModelIndexList selectedCells() const;
    // The selected block's shown text, tab-separated, a line per grid line (without the
    // columns set by setPassedOver()).
    QString selectedText() const;
    // Ctrl+C, Ctrl+V and Delete on the grid, also for a menu: the selected block onto the
    // clipboard, the clipboard's text to pasteRequested(), the selected cells emptied.
    void copySelection();
    void pasteClipboard();
    // Empties the selected cells (or the current one) that can be edited.
    void emptySelectedCells();
    // The selection as blocks of cells (x: columns, y: rows), and the same blocks selected
    // again after the model changed, with the current cell kept.
    QList<QRect> selectedBlocks() const;
    void reselectBlocks(const QList<QRect>& blocks, const QModelIndex& current);
    // Does nothing: letters and digits are typed into cells, never searched for.
    void keyboardSearch(const QString& search) override;

    // Hands an open editor's text to the model at once (and writes a buffered line).
    void commit();

    std::function<void(int& key, Qt::KeyboardModifiers modifiers)> keyDownHandler;

    // While a composition holds the focus on the grid, the editor's answers.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void focusGained();
    void cellAccepted(int column);
    void editingEnded();
    void currentCellMoved(int previousRow, int previousColumn);
    // A key that no amount can hold was typed into an amount column and refused.
    void keyRefused(int column);
    // Ctrl+V on the grid (not in a cell editor) with the clipboard's text.
    void pasteRequested(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    friend class GridDelegate;
    bool handleKey(QKeyEvent* event);
    // Enter, the arrows at an editor's edge, copy and paste: the spreadsheet habits.
    bool handleSpreadsheetKey(const QKeyEvent* event);
    // Whether an arrow key typed into the open editor leaves the cell.
    bool arrowLeavesEditor(int key) const;
    // Commits and closes the open editor, then makes (row, column) current when it exists.
    void leaveEditorTo(int row, int column);
    // Enter in the completion list of the editor: the name chosen there (if any) goes into
    // the editor and the list closes; the key then acts as in the cell.
    void takeCompletionChoice(QObject* watched, const QKeyEvent* event);
    // Whether the key types a character that no amount holds into an amount column.
    bool refusesKey(const QKeyEvent* event) const;
    QSet<int> amountColumns_;
    QSet<int> tabSkipped_;
    QSet<int> passedOver_;
    // The shown columns in order without those passed over.
    QList<int> stopColumns() const;
    // A printable key with no current cell makes the first editable cell current.
    void ensureCurrentCellFor(const QKeyEvent* event);
    // A composition that starts while no cell is edited opens the editor but keeps the
    // focus on the grid until the composition ends: moving the focus would make the input
    // method commit or drop the first keys. Meanwhile the grid passes the composition and
    // the input method's queries on to the editor's line edit. The editor then takes the
    // focus without the input method being asked to commit again, never while an event of
    // the composition is being delivered. The focus moves after the
    // event that ends the composition has been delivered, never while it is.
    bool openForComposition(const QModelIndex& index);
    void forwardComposition(QInputMethodEvent* event);
    void endComposition();
    QLineEdit* editorLine() const;
    bool composing_ = false;
    bool refusing_ = false; // the refusal of a key is being told: the editor stays open
    bool holdEditorFocus_ = false; // the editor being created must not take the focus
    WorkTableModel* model_ = nullptr;
    int acceptedRow_ = -1;
};

// The grid's cell editors report their keys to the grid, so that its key-down handler
// sees keys typed while a cell is being edited.
// Editors also take the grid's input-method hints, so that the input method switch of
// the current column holds while a cell is edited.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A cell left unchanged is not written again: passing through a cell accepts nothing.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    // Hooks a new editor (and the line edit inside a drop-down) up to the grid.
    void prepareEditor(QWidget* editor) const;
};

// A tick column whose box stands in the middle of its cell; a click anywhere on the
// box toggles it, Space too.
class CheckDelegate : public GridDelegate {
    Q_OBJECT
public:
    using GridDelegate::GridDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option, const QModelIndex& index) override;

private:
    QStyleOptionViewItem centered(const QStyleOptionViewItem& option) const;
};

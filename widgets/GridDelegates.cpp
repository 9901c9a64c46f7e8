#include "GridView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLineEdit>
#include <QStyle>

#include <limits>

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
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) {
        line = editor->findChild<QLineEdit*>();
        // The line edit of a drop-down holds the focus while the user types.
        if (line) {
            line->installEventFilter(grid);
            line->setInputMethodHints(grid->inputMethodHints());
        }
    }
    // A pasted text goes in whole, however long (a line edit cuts it at 32767 characters):
    // the column's rules then see it all, and a refusal names its real length.
    if (line)
        line->setMaxLength(std::numeric_limits<int>::max());
    // A completion list takes the keys while it shows: the grid sees them first.
    if (line && line->completer())
        line->completer()->popup()->installEventFilter(grid);
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

// The grid's side of Japanese input: a composition typed while no cell is being edited
// opens the current cell's editor and goes on there, committed once.

#include "GridView.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>

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

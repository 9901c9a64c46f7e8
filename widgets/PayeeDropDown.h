#pragma once

#include "GridView.h"

class QAbstractItemModel;

namespace payees {

// The payee column's editor (DD支払先名): an editable drop-down over the names of its
// data source (dat支払先名 over w支払先名). Choosing an entry puts its name into the cell;
// a typed name that is not in the list is accepted as typed. Completion offers the other
// names that begin with the text in a pop-up but never changes the text by itself. Keys
// typed in the editor, and in its pop-up, reach the grid's key-down handler.
class PayeeDropDown : public GridDelegate {
    Q_OBJECT
public:
    PayeeDropDown(QAbstractItemModel* names, GridView* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QAbstractItemModel* names_;
};

} // namespace payees

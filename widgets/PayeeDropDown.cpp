#include "PayeeDropDown.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QListView>
#include <QSortFilterProxyModel>

namespace payees {

namespace {

// Marks an editor that setEditorData has filled once.
const char* const kSetUp = "payeeEditorSetUp";

// The names the completion list offers: every listed name but the one typed in full, so
// that a name typed whole (as an input method commits it) opens no list that only repeats it.
class OtherNames : public QSortFilterProxyModel {
public:
    OtherNames(QAbstractItemModel* names, QObject* parent)
        : QSortFilterProxyModel(parent)
    {
        setSourceModel(names);
    }
    void setTyped(const QString& text)
    {
        typed_ = text;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        return sourceModel()->index(row, 0, parent).data().toString() != typed_;
    }

private:
    QString typed_;
};

} // namespace

PayeeDropDown::PayeeDropDown(QAbstractItemModel* names, GridView* grid)
    : GridDelegate(grid)
    , names_(names)
{
}

QWidget* PayeeDropDown::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("DD支払先名"));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setFrame(false);
    if (names_) {
        combo->setModel(names_);
        combo->setModelColumn(0);
    }
    // Exact, case-sensitive matching: the text typed is the name stored, and a name that
    // differs only in letter case or width is not replaced by a listed one.
    auto* offered = new OtherNames(combo->model(), combo);
    // Told before the line edit asks the list to complete what was typed.
    connect(combo->lineEdit(), &QLineEdit::textEdited, offered, &OtherNames::setTyped);
    auto* completer = new QCompleter(offered, combo);
    completer->setCompletionColumn(0);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    // Every name is one line of the same font: the pop-up does not measure each of the
    // thousands a short text can offer.
    if (auto* list = qobject_cast<QListView*>(completer->popup()))
        list->setUniformItemSizes(true);
    combo->setCompleter(completer);
    combo->setCurrentIndex(-1);
    // The line edit holds the focus while the user types, so the grid watches it.
    prepareEditor(combo);
    return combo;
}

void PayeeDropDown::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) {
        GridDelegate::setEditorData(editor, index);
        return;
    }
    const QString text = index.data(Qt::EditRole).toString();
    // The line changed under an editor set up before that shows its name already (the
    // name just committed): the list is not searched again, nor the text selected anew.
    if (combo->property(kSetUp).toBool() && combo->currentText() == text)
        return;
    combo->setProperty(kSetUp, true);
    const int listed = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(listed);
    combo->setEditText(text);
    // As in a plain cell editor, the first key typed replaces the name.
    combo->lineEdit()->selectAll();
}

void PayeeDropDown::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) {
        GridDelegate::setModelData(editor, model, index);
        return;
    }
    const QString text = combo->currentText();
    // An unchanged cell is not written again, so that merely opening the editor on a blank
    // line does not turn it into a used one; an emptied name leaves the line without payee.
    const QVariant before = model->data(index, Qt::EditRole);
    if (before.toString() == text)
        return;
    model->setData(index, text.isEmpty() ? QVariant() : QVariant(text), Qt::EditRole);
}

void PayeeDropDown::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

} // namespace payees

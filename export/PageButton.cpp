#include "PageButton.h"

#include <QBoxLayout>
#include <QPushButton>

namespace exporting {

namespace {

QBoxLayout* layoutHolding(QLayout* layout, QWidget* widget)
{
    if (!layout)
        return nullptr;
    if (auto* box = qobject_cast<QBoxLayout*>(layout); box && box->indexOf(widget) >= 0)
        return box;
    for (int i = 0; i < layout->count(); ++i) {
        if (QBoxLayout* found = layoutHolding(layout->itemAt(i)->layout(), widget))
            return found;
    }
    return nullptr;
}

} // namespace

QPushButton* insertCommandButton(QWidget* page, const QString& after, const QString& name, const QString& caption)
{
    auto* previous = page->findChild<QPushButton*>(after);
    QBoxLayout* column = previous ? layoutHolding(page->layout(), previous) : nullptr;
    if (!column)
        return nullptr;
    auto* button = new QPushButton(caption, page);
    button->setObjectName(name);
    column->insertWidget(column->indexOf(previous) + 1, button);
    QWidget::setTabOrder(previous, button);
    return button;
}

} // namespace exporting

#include "AmountField.h"

#include <QFocusEvent>

AmountField::AmountField(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::editingFinished, this, &AmountField::acceptText);
}

void AmountField::setAmount(std::optional<store::Amount> amount)
{
    const bool changed = amount_ != amount;
    amount_ = amount;
    display();
    if (changed)
        emit amountChanged();
}

void AmountField::display()
{
    if (hasFocus() && !isReadOnly())
        setText(amount_ && !amount_->isZero() ? amount_->toExactString() : QString());
    else
        setText(amount_ ? amount_->format() : QString());
}

void AmountField::acceptText()
{
    if (isReadOnly())
        return;
    const QString typed = text().trimmed();
    const std::optional<store::Amount> before = amount_;
    if (typed.isEmpty()) {
        amount_.reset();
    } else if (const auto parsed = store::Amount::parse(typed)) {
        amount_ = parsed;
    } else {
        // Unreadable: keep the text for correction while focused; the value stays.
        if (!hasFocus())
            display();
        return;
    }
    if (!hasFocus())
        display();
    if (before != amount_) {
        emit amountChanged();
        emit amountEdited();
    }
}

void AmountField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    display();
    selectAll();
}

void AmountField::focusOutEvent(QFocusEvent* event)
{
    acceptText();
    QLineEdit::focusOutEvent(event);
    display();
}

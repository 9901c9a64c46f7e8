#pragma once

#include "Amount.h"

#include <QLineEdit>

#include <optional>

// A number field for an amount: shows "#,###" (blank for zero or no value), accepts
// ASCII or full-width digits, commas and a minus sign, and refuses other text by
// keeping its previous value.
class AmountField : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountField(QWidget* parent = nullptr);

    std::optional<store::Amount> amount() const { return amount_; }
    void setAmount(std::optional<store::Amount> amount);
    void setValue(const QVariant& stored) { setAmount(store::Amount::fromVariant(stored)); }
    void clearValue() { setAmount(std::nullopt); }
    // The amount, or 0 when the field is blank.
    store::Amount amountOrZero() const { return amount_.value_or(store::Amount()); }

signals:
    // The value changed, typed or set.
    void amountChanged();
    // The user changed the value by typing.
    void amountEdited();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void acceptText();
    void display();
    std::optional<store::Amount> amount_;
};

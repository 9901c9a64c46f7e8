#pragma once

#include "Amount.h"

#include <QLineEdit>

#include <optional>

namespace messages {
class Msg;
enum class MsgId;
}

// A number field for an amount: shows "#,###" (blank for zero or no value), accepts
// ASCII or full-width digits, commas and a minus sign, and refuses other text by
// keeping its previous value. A figure wider than the field is drawn in a smaller type
// until it fits, never cut, and then the tooltip carries it too; a negative figure is red.
// Amounts are typed in whole yen: a fraction of a yen, or an amount past the largest the
// book holds, is refused with the catalogue's box.
class AmountField : public QLineEdit {
    Q_OBJECT
public:
    explicit AmountField(QWidget* parent = nullptr);

    std::optional<ledger::Amount> amount() const { return amount_; }
    void setAmount(std::optional<ledger::Amount> amount);
    void setValue(const QVariant& stored) { setAmount(ledger::Amount::fromVariant(stored)); }
    void clearValue() { setAmount(std::nullopt); }

    // The catalogue that tells of a refused amount; without one the refusal is only signalled.
    void setMessages(messages::Msg* msg) { msg_ = msg; }
    // Whether the shown figure is drawn smaller than the field's own type to fit.
    bool isShrunk() const { return shrunk_; }

signals:
    // The value changed, typed or set.
    void amountChanged();
    // A typed amount was refused (a fraction of a yen, or past the largest amount).
    void amountRefused();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void acceptText();
    void refuse(const QString& typed, messages::MsgId message, const QString& target);
    void display();
    void fitText();
    int textRoom() const;

    std::optional<ledger::Amount> amount_;
    messages::Msg* msg_ = nullptr;
    bool refusing_ = false;
    QFont ownFont_;
    QColor ordinaryText_;
    bool shrunk_ = false;
    bool fitting_ = false;
};

#include "AmountField.h"

#include "AmountColor.h"
#include "Msg.h"

#include <QFocusEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

namespace {
// The smallest type a figure is shrunk to; the largest amount fits a field of 1600 twips.
constexpr double kSmallestPoints = 5.0;
} // namespace

AmountField::AmountField(QWidget* parent)
    : QLineEdit(parent)
    , ownFont_(font())
    , ordinaryText_(palette().color(QPalette::Text))
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::editingFinished, this, &AmountField::acceptText);
    connect(this, &QLineEdit::textChanged, this, &AmountField::fitText);
}

void AmountField::setAmount(std::optional<ledger::Amount> amount)
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
    QPalette colours = palette();
    colours.setColor(QPalette::Text, amount_ && amount_->units() < 0 ? negativeAmountColor() : ordinaryText_);
    setPalette(colours);
    fitText();
}

void AmountField::acceptText()
{
    if (isReadOnly())
        return;
    const QString typed = text().trimmed();
    const std::optional<ledger::Amount> before = amount_;
    const ledger::TypedAmount entered = ledger::Amount::fromTyped(typed);
    if (entered.blank()) {
        amount_.reset();
    } else if (entered.value) {
        amount_ = entered.value;
    } else {
        if (*entered.refusal == ledger::AmountRefusal::OutOfRange)
            refuse(typed, messages::MsgId::入力_桁あふれ, QStringLiteral("金額"));
        else if (*entered.refusal == ledger::AmountRefusal::Fraction)
            refuse(typed, messages::MsgId::入力_端数, QStringLiteral("「%1」").arg(typed));
        // Unreadable: keep the text for correction while focused; the value stays.
        if (!hasFocus())
            display();
        return;
    }
    if (!hasFocus())
        display();
    if (before != amount_)
        emit amountChanged();
}

void AmountField::refuse(const QString& typed, messages::MsgId message, const QString& target)
{
    // Leaving the field and finishing the edit both come here; one refusal, one box.
    // The box opens once the focus change is over; the field then takes the focus back
    // with the typed text for correction.
    if (refusing_)
        return;
    refusing_ = true;
    emit amountRefused();
    QTimer::singleShot(0, this, [this, typed, message, target] {
        if (msg_)
            msg_->ShowMsg(message, target);
        refusing_ = false;
        setFocus(Qt::OtherFocusReason);
        setText(typed);
        selectAll();
    });
}

int AmountField::textRoom() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const QMargins margins = textMargins();
    // QLineEdit keeps two pixels either side of the text and one for the caret.
    return contents.width() - margins.left() - margins.right() - 5;
}

void AmountField::fitText()
{
    QFont fitted = ownFont_;
    const QString shown = text();
    const bool byPoints = fitted.pointSizeF() > 0;
    double size = byPoints ? fitted.pointSizeF() : fitted.pixelSize();
    const double smallest = byPoints ? kSmallestPoints : kSmallestPoints * 4.0 / 3.0;
    const int room = textRoom();
    while (size > smallest && QFontMetrics(fitted).horizontalAdvance(shown) > room) {
        size = std::max(smallest, size - (byPoints ? 0.5 : 1.0));
        if (byPoints)
            fitted.setPointSizeF(size);
        else
            fitted.setPixelSize(static_cast<int>(size));
    }
    const bool wasShrunk = shrunk_;
    shrunk_ = fitted != ownFont_;
    if (shrunk_ || wasShrunk) {
        fitting_ = true;
        setFont(fitted);
        fitting_ = false;
    }
    setToolTip(shrunk_ && amount_ ? amount_->format() : QString());
}

void AmountField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange && !fitting_) {
        ownFont_ = font();
        fitText();
    }
}

void AmountField::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    fitText();
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

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
    QPalette colours = palette();
    colours.setColor(QPalette::Text, amount_ && amount_->units() < 0 ? store::negativeAmountColor() : ordinaryText_);
    setPalette(colours);
    fitText();
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
        if (store::Amount::isOutOfRange(typed))
            refuseOutOfRange(typed);
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

void AmountField::refuseOutOfRange(const QString& typed)
{
    // Leaving the field and finishing the edit both come here; one refusal, one box.
    // The box opens once the focus change is over; the field then takes the focus back
    // with the typed text for correction.
    if (refusing_)
        return;
    refusing_ = true;
    emit amountOutOfRange();
    QTimer::singleShot(0, this, [this, typed] {
        if (msg_)
            msg_->ShowMsg(QStringLiteral("入力"), QStringLiteral("桁あふれ"), QStringLiteral("金額"));
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

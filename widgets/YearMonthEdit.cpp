#include "YearMonthEdit.h"

#include "EraCalendar.h"
#include "InputMethodSwitch.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLoggingCategory>

#include <algorithm>
#include <exception>

Q_LOGGING_CATEGORY(lcYearMonth, "quorel.schedule.yearmonth")

YearMonthEdit::YearMonthEdit(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this] { markRefused(false); });
    // Digits and separators are typed here: the input method is off while the field has the focus.
    setInputMethodHints(inputMethodHints() | Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    InputMethodSwitch::of(this)->setWanted(false);
}

void YearMonthEdit::setEraPattern(bool era)
{
    era_ = era;
    display();
}

bool YearMonthEdit::setDate(const QDate& date)
{
    if (date.isValid() && (date < minimumDate() || date > maximumDate()))
        return false;
    date_ = date.isValid() ? date : QDate();
    display();
    return true;
}

QVariant YearMonthEdit::number() const
{
    if (!date_.isValid())
        return {};
    return QVariant(date_.year() * 10000 + date_.month() * 100 + date_.day());
}

bool YearMonthEdit::setFromText(const QString& yyyymmdd)
{
    if (yyyymmdd.isEmpty())
        return setDate(QDate());
    if (yyyymmdd.size() != 8)
        return false;
    const QDate date = QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd"));
    return date.isValid() && setDate(date);
}

bool YearMonthEdit::commitText()
{
    const QString typed = text();
    if (typed == shown_) {
        markRefused(false);
        return true;
    }
    if (typed.trimmed().isEmpty()) {
        setDate(QDate());
        return true;
    }
    const std::optional<calendar::YearMonth> month = calendar::parseYearMonth(typed);
    if (!month) {
        markRefused(true);
        return false;
    }
    const QDate first(month->year, month->month, 1);
    const int day = date_.isValid() ? std::min(date_.day(), first.daysInMonth()) : 1;
    setDate(std::clamp(QDate(month->year, month->month, day), minimumDate(), maximumDate()));
    return true;
}

void YearMonthEdit::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const int key = event->key();
    if (!plain || (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Down && key != Qt::Key_Up)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!commitText())
        return; // the refused text stays here for correction
    announced_ = false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        emit monthConfirmed();
    if (key == Qt::Key_Up)
        focusPreviousChild();
    else
        focusNextChild();
    // Without an active window the focus moves without a focus-out event; the leave still counts.
    if (!announced_ && window()->focusWidget() != this)
        announceMonth();
}

void YearMonthEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu or a switch to another window is not leaving the field.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (commitText())
        announceMonth();
}

void YearMonthEdit::announceMonth()
{
    announced_ = true;
    try {
        emit monthEntered();
    } catch (const std::exception& e) {
        qCWarning(lcYearMonth) << "month load failed:" << e.what();
    } catch (...) {
        qCWarning(lcYearMonth) << "month load failed";
    }
}

void YearMonthEdit::display()
{
    markRefused(false);
    shown_ = calendar::formatYearMonth(date_, era_);
    setText(shown_);
}

void YearMonthEdit::markRefused(bool refused)
{
    if (refused == refused_)
        return;
    refused_ = refused;
    if (refused) {
        ownPalette_ = testAttribute(Qt::WA_SetPalette);
        normalPalette_ = palette();
        QPalette red = normalPalette_;
        red.setColor(QPalette::Text, Qt::red);
        setPalette(red);
    } else {
        // Back to the palette the field had, inherited again when it had none of its own.
        setPalette(ownPalette_ ? normalPalette_ : QPalette());
    }
}

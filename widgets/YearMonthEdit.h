#pragma once

#include "EraCalendar.h"

#include <QDate>
#include <QLineEdit>
#include <QPalette>
#include <QVariant>

// The year-month field: holds one date or nothing and shows its year and month.
//
// A typed text is read when the user presses Enter, Down or Up or leaves the field: an empty
// text empties the field, a readable year-month (see calendar::parseYearMonth) replaces the
// year and month and keeps the day, and any other text is refused: the value stays, the text
// stays in red for correction and the focus stays in the field. Enter and Down then move the
// focus to the next control and Up to the previous one. monthEntered() is emitted once each
// time the focus leaves the field with an accepted text, changed or not.
class YearMonthEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit YearMonthEdit(QWidget* parent = nullptr);

    // Era display ("ggg ee年mm月") or Western display ("yyyy年mm月").
    void setEraPattern(bool era);
    bool eraPattern() const { return era_; }

    // Earliest and latest date the field holds.
    static QDate minimumDate() { return calendar::firstHeldDate(); }
    static QDate maximumDate() { return calendar::lastHeldDate(); }

    QDate date() const { return date_; }
    // An invalid date empties the field. A date outside minimumDate()..maximumDate() is
    // refused: the value stays and false is returned.
    bool setDate(const QDate& date);
    // yyyymmdd as a number, or null when the field is empty.
    QVariant number() const;
    // Takes a date given as "yyyymmdd"; the empty text empties the field. Anything that is
    // not such a date within the range is refused (value kept, false returned).
    bool setFromText(const QString& yyyymmdd);

    // Reads the text on show into the value; false when the text was refused.
    bool commitText();
    // Whether the text on show was refused and waits for correction.
    bool isRefused() const { return refused_; }

signals:
    void monthEntered();
    // Enter or Return accepted the text, just before the focus moves on (and monthEntered follows).
    void monthConfirmed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void display();
    void markRefused(bool refused);
    void announceMonth();

    QDate date_;
    bool era_ = false;
    bool refused_ = false;
    bool announced_ = false; // monthEntered() already sent for the current leave
    QString shown_;          // text last put on show for the value
    QPalette normalPalette_; // palette before the refused text turned red
    bool ownPalette_ = false;
};

#include "YearMonthEdit.h"

YearMonthEdit::YearMonthEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

void YearMonthEdit::setEraPattern(bool era)
{
    era_ = era;
    display();
}

void YearMonthEdit::setDate(const QDate& date)
{
    date_ = date;
    display();
}

QVariant YearMonthEdit::number() const
{
    if (!date_.isValid())
        return {};
    return QVariant(date_.year() * 10000 + date_.month() * 100 + date_.day());
}

void YearMonthEdit::setFromText(const QString& yyyymmdd)
{
    setDate(QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd")));
}

void YearMonthEdit::display()
{
    setText(date_.isValid() ? date_.toString(QStringLiteral("yyyy年MM月")) : QString());
}

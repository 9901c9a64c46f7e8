#pragma once

#include <QDate>
#include <QLineEdit>
#include <QVariant>

// The year-month field: holds one date or nothing and shows its year and month.
class YearMonthEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit YearMonthEdit(QWidget* parent = nullptr);

    // Era display ("ggg ee年mm月") or Western display ("yyyy年mm月").
    void setEraPattern(bool era);
    bool eraPattern() const { return era_; }

    QDate date() const { return date_; }
    void setDate(const QDate& date);
    // yyyymmdd as a number, or null when the field is empty.
    QVariant number() const;
    // Takes a date given as "yyyymmdd".
    void setFromText(const QString& yyyymmdd);

private:
    void display();
    QDate date_;
    bool era_ = false;
};

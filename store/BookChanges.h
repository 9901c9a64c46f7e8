#pragma once

#include <QDate>
#include <QObject>

namespace store {

// What a committed command changed in the stored book. The command that commits says so
// here, once its transaction is over; the pages and lists that show the book listen and
// read again what concerns them, so no command needs to know who shows what.
class BookChanges : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The stored lines of the month of `from` changed, and with them the balances of every
    // later month.
    void monthsChanged(const QDate& from);
    // The payee master, its bank details or its payment rules changed.
    void payeesChanged();
    // The settings record changed (the era, the line colour, automatic registration).
    void settingsChanged();
    // The whole book was replaced or emptied (a restore, 削除 of all the data).
    void bookReplaced();
};

} // namespace store

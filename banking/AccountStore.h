#pragma once

#include "BankAccount.h"

#include <optional>

namespace SQLite {
class Database;
}

namespace banking {

// The bank details kept in the main file: the payees' accounts (支払先口座, one row per
// payee name) and the sender (振込依頼人, at most one row). Values are stored as the
// dialogs leave them, already in the banks' form. Reads and writes throw store::DbError;
// every write runs in a store::Transaction of its own (a savepoint inside a larger one).
class AccountStore {
public:
    explicit AccountStore(SQLite::Database& main)
        : db_(main)
    {
    }

    // The details of every payee the payee master holds, by name. Details kept under a name
    // the master no longer holds (an older version left them when the payee was deleted)
    // are never among them.
    PayeeAccounts payeeAccounts();
    // The names whose details are kept though the payee master does not hold them.
    QStringList unlistedPayees();
    std::optional<PayeeAccount> payeeAccount(const QString& payee);
    // Adds or replaces the payee's details.
    void savePayeeAccount(const PayeeAccount& details);
    void removePayeeAccount(const QString& payee);

    std::optional<Sender> sender();
    // Replaces the sender's row.
    void saveSender(const Sender& sender);
    void removeSender();

private:
    SQLite::Database& db_;
};

} // namespace banking

#pragma once

#include "TransferFees.h"

#include <map>
#include <optional>

namespace SQLite {
class Database;
}

namespace banking {

// Who bears each payee's transfer fee (支払先手数料負担, by the payee's name); a payee
// without a row follows the book's default. Reads and writes throw store::DbError; a write
// runs in a store::Transaction of its own (a savepoint inside a larger one).
class PayeeBearers {
public:
    explicit PayeeBearers(SQLite::Database& main)
        : db_(main)
    {
    }

    // Every payee's own choice, by name (rows with a text no choice reads as are left out).
    std::map<QString, FeeBearer> all();
    std::optional<FeeBearer> of(const QString& payee);
    // Stores the payee's choice; none removes it (the payee follows the default again).
    void set(const QString& payee, std::optional<FeeBearer> bearer);

private:
    SQLite::Database& db_;
};

// The bearer of a payee's fee: its own choice, else the default.
FeeBearer bearerOf(const std::map<QString, FeeBearer>& bearers, const QString& payee, FeeBearer fallback);

} // namespace banking

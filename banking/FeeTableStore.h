#pragma once

#include "TransferFees.h"

namespace SQLite {
class Database;
}

namespace banking {

// The fee table of the sender's account kept in the main file (振込手数料表): each
// destination's bands in order of their edges. Reads and writes throw store::DbError;
// a write runs in a store::Transaction of its own (a savepoint inside a larger one).
class FeeTableStore {
public:
    explicit FeeTableStore(SQLite::Database& main)
        : db_(main)
    {
    }

    // The stored bands; a band stored with a fraction of a yen counts in whole yen down.
    FeeTable read();
    // Replaces the whole table.
    void write(const FeeTable& table);

private:
    SQLite::Database& db_;
};

} // namespace banking

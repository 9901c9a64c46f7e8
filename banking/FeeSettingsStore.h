#pragma once

#include "TransferFees.h"

namespace SQLite {
class Database;
}

namespace banking {

// The book's transfer fee settings kept in the main file (振込手数料設定, at most one row)
// with the fee table they apply to (FeeTableStore). Reads and writes throw store::DbError;
// a write runs in a store::Transaction of its own (a savepoint inside a larger one).
class FeeSettingsStore {
public:
    explicit FeeSettingsStore(SQLite::Database& main)
        : db_(main)
    {
    }

    // The settings and the table; the defaults (据置型, 当方負担, no fee line) for what is not
    // stored or not understood.
    FeeSettings read();
    // Replaces the settings and the table together.
    void write(const FeeSettings& settings);

private:
    SQLite::Database& db_;
};

} // namespace banking

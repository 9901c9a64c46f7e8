#pragma once

namespace SQLite {
class Database;
}

// Deletes everything the user keeps (AllDelete): the payee master, every stored line, the
// settings record, the payment rules, the bank details of payees and sender and the record
// of the transfer files written, in one
// transaction on the main file; each delete is a skippable step. Throws store::DbError
// when the file fails or the transaction cannot be committed (nothing deleted then).
void AllDelete(SQLite::Database& main);

#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace SQLite {
class Database;
}

namespace schedule {

class ProgressSpan;

// The one balance rule: the balance of a line is the balance before it, plus its
// scheduled amount (予定額), minus its paid amount (支払額), exact in ten-thousandths.
struct LineBalance {
    enum Kind {
        Value,    // value holds the new balance
        Empty,    // one of the two amounts is null: the balance is null as well
        Overflow, // the result does not fit in 64 bits: nothing may be written
    };
    Kind kind = Empty;
    store::Amount value;
};
LineBalance balanceAfter(store::Amount before, const QVariant& scheduled, const QVariant& paid);

// Month totals: SUM of one amount column over every line of the sheet InpWork, 0 when
// the sum is null (no line holds an amount). Throws store::DbError, also when the sum
// does not fit in 64 bits.
store::Amount 予定額月計(SQLite::Database& work);
store::Amount 支払額月計(SQLite::Database& work);

// How many stored or sheet lines a balance run rewrote, and how many it had to leave
// (a refused write or a balance out of range), for logging and tests.
struct BalanceRun {
    int rewritten = 0;
    int skipped = 0;
};

// Stored balances from a date on: the lines of 支払予定表 dated on or after start, in
// date and line-number order, each get running + 予定額 − 支払額, the running balance
// starting at carry. A line without a payee ends the run. A line with a null amount is
// stored with a null balance and leaves the running balance as it was. One transaction
// on the main file; an invalid start does nothing. Throws store::DbError when the read
// or the commit fails (nothing is written then). progress, when given, starts over the
// lines read and follows the run line by line.
BalanceRun Calc残高(SQLite::Database& main, const QDate& start, store::Amount carry, ProgressSpan* progress = nullptr);

// Stored balances after a deleted line: the run starts at the stored line p given by its
// date and line number, whose balance is taken as it is, and rewrites the lines after it
// (date, then line number) until one without a payee. A line that comes out with a null
// balance is stored so and the running balance restarts at 0. Nothing happens for an
// invalid date or a missing line number. One transaction on the main file.
BalanceRun Calc残高for削除(SQLite::Database& main, const QDate& date, std::optional<qint64> lineNumber);

// Balances of the whole sheet InpWork from carry, as the save will store them: the lines
// with a date and a payee in date, then line-number order, each get the running balance
// plus its scheduled amount minus its paid amount (null when an amount is null); every
// other line shows no balance and passes the running balance on. One transaction on the
// work file.
BalanceRun ReCalc残高(SQLite::Database& work, store::Amount carry);

} // namespace schedule

#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

namespace SQLite {
class Database;
}
namespace store {
class WorkTableModel;
}

namespace schedule {

enum class InsertOutcome {
    Inserted,
    NoRoom, // a line that would be pushed past line 200 holds data: nothing changed
};

// Opens a blank line at the sheet line numbered n (InsertLine): the lines above it, the
// blank line, then the line n and those below, renumbered 1, 2, 3 … in that order through
// InpWorkSort; a line pushed past 200 leaves the sheet. The moved lines keep 元行番号 and
// their stored original; the blank line has none. Refused while a line that would be
// pushed out holds a date, a payee, an amount or a stored original. One transaction on the
// work file, all or nothing; throws store::DbError on any failure (nothing changed then).
InsertOutcome InsertLine(SQLite::Database& work, qint64 n);

// Whether the sheet line at `row` (an index of the model) holds anything worth keeping.
bool lineHoldsData(const store::WorkTableModel& sheet, int row);

// The stored line that a sheet line was loaded from or last saved as.
struct StoredOriginal {
    QDate date;
    qint64 lineNumber = 0;
    QString payee;
};
std::optional<StoredOriginal> storedOriginal(const store::WorkTableModel& sheet, int row);

// Deletes one line (LineDelete) in one transaction over both files, on the work
// connection (which has the main file attached; 支払予定表 is reached by its plain name):
//  - its stored original, when it has one, is deleted from 支払予定表 and the stored
//    balances after it are repaired: from the last stored line of an earlier date
//    (Calc残高for削除), or, when there is none, every remaining line from 0 (Calc残高);
//  - the sheet line goes;
//  - the sheet's balances are recomputed from carry (ReCalc残高).
// On failure nothing changes in either file, the model is re-read and DbError is thrown.
// Answers whether a stored line was deleted.
bool LineDelete(store::WorkTableModel& sheet, int row, store::Amount carry);

// Deletes everything the user keeps (AllDelete): the payee master, every stored line and
// the settings record, in one transaction on the main file; each delete is a skippable
// step. Throws store::DbError when the transaction cannot be committed (nothing deleted).
void AllDelete(SQLite::Database& main);

} // namespace schedule

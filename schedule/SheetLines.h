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

// The stored line that a sheet line was loaded from or last saved as.
struct StoredOriginal {
    QDate date;
    qint64 lineNumber = 0;
    QString payee;
};
// The stored original of the sheet line with this rowid, if it has one. Throws store::DbError.
std::optional<StoredOriginal> storedOriginal(SQLite::Database& work, qint64 rowId);

// Deletes one sheet line, given by its rowid (LineDelete), in one transaction over both
// files, on the work connection (which has the main file attached; 支払予定表 is reached
// by its plain name):
//  - its stored original, when it has one, is deleted from 支払予定表 and the stored
//    balances after it are repaired: from the last stored line of an earlier date
//    (Calc残高for削除), or, when there is none, every remaining line from 0 (Calc残高);
//  - the sheet line goes;
//  - the sheet's balances are recomputed from carry (ReCalc残高).
// On failure nothing changes in either file and store::DbError is thrown. Answers whether
// a stored line was deleted.
bool LineDelete(SQLite::Database& work, qint64 rowId, store::Amount carry);

} // namespace schedule

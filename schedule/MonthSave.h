#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>

#include <functional>

namespace SQLite {
class Database;
}

namespace schedule {

struct SaveResult {
    enum class Kind {
        Saved,      // committed
        Incomplete, // lines hold a payee or an amount but no valid date or no payee: nothing stored
        Failed,     // the main file refused the save: rolled back, nothing stored
    };
    Kind kind = Kind::Saved;
    QString incomplete; // Incomplete: the lines, "3行目「name」" joined by "、"
    QString failure;    // Failed: the engine's words
    int stored = 0;   // lines written (updated or added)
    int skipped = 0;  // lines refused on their own (a refused write)
    int replaced = 0; // stored originals removed because their sheet line was emptied
};

// Saves the sheet InpWork of the month of `month` into 支払予定表 (Entry支払予定表):
//  - a line loaded from storage (or saved before) is found by its identity, the stored
//    original 元日付 / 元行番号 / 元支払先名, and rewritten in place; any other line with
//    a payee and a date is added; 行番号 = its position among all sheet lines. Two lines
//    of one payee on one day are two stored lines;
//  - a loaded line whose payee and amounts were emptied has its stored original removed;
//  - then the stored balances from the month's first day on are recomputed from carry.
// Lines that hold a payee or an amount but lack a valid date or a payee refuse the save
// before anything is written. All of it is one transaction on the main file; each line is
// a skippable step, while a failure of the file itself (full, read-only, I/O) or of the
// commit rolls everything back. After a commit the sheet's 元行番号 / 元日付 / 元支払先名
// follow what was stored. showProgress receives the bar's values as they rise: 10 once the
// sheet is read, up to 60 over the sheet's lines, up to 100 over the balance run (see
// SaveProgress.h); each value once, not once a line.
SaveResult Entry支払予定表(SQLite::Database& main, SQLite::Database& work, const QDate& month, store::Amount carry,
    const std::function<void(int)>& showProgress = {});

} // namespace schedule

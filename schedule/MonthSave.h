#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

namespace SQLite {
class Database;
}

namespace schedule {

struct SaveResult {
    enum class Kind {
        Saved,     // committed
        Duplicate, // two filled lines share date and payee: nothing stored
        Failed,    // the main file refused the save: rolled back, nothing stored
    };
    Kind kind = Kind::Saved;
    QString doubled; // Duplicate: what is doubled, "yyyy/mm/dd の「name」" joined by "、"
    QString failure; // Failed: the engine's words
    int stored = 0;   // lines written (updated or added)
    int skipped = 0;  // filled lines that could not be stored (no date, a refused write)
    int replaced = 0; // stored originals removed because their line changed or was emptied
};

// Saves the sheet InpWork of the month of `month` into 支払予定表 (Entry支払予定表):
//  - every line with a payee replaces the stored line of the same date and payee, or is
//    added, with 行番号 = its position among all sheet lines in 行番号 order;
//  - a loaded line whose date or payee changed, or whose payee was emptied, first has
//    its stored original (元日付, 元行番号, 元支払先名) removed, so that it does not come
//    back beside the new line;
//  - then the stored balances from the month's first day on are recomputed from carry.
// All of it is one transaction on the main file; each line is a skippable step (a line with a payee but no date is skipped), while a failure of the file
// itself (full, read-only, I/O) or of the commit rolls everything back. Two filled lines
// with the same date and payee refuse the save before anything is written.
// After a commit the sheet's 元行番号 / 元日付 / 元支払先名 follow what was stored.
// showProgress receives the bar values: 10 at the start, then the percentage after each
// line (see SaveProgress).
SaveResult Entry支払予定表(SQLite::Database& main, SQLite::Database& work, const QDate& month, store::Amount carry,
    const std::function<void(int)>& showProgress = {});

} // namespace schedule

#pragma once

#include "Amount.h"

#include <QString>

#include <exception>
#include <optional>

namespace schedule {

// The four figures above the month's sheet; each may be blank.
struct MonthFigures {
    std::optional<ledger::Amount> 繰越額;
    std::optional<ledger::Amount> 予定額月計;
    std::optional<ledger::Amount> 支払額月計;
    std::optional<ledger::Amount> 累計;
};

// Why a read or write of the files did not go through, for the box that says so.
struct FileFailure {
    enum Kind { Busy, Full, Other } kind = Other;
    QString engine; // the engine's words
    static FileFailure from(const std::exception& error);
};

struct LoadResult {
    bool loaded = false;
    int stored = 0; // lines the month holds (the sheet shows at most kSheetLines of them)
    FileFailure failure;
};

struct SaveResult {
    enum class Kind {
        Saved,
        Incomplete, // lines hold a payee or an amount but no date or no payee: nothing stored
        Overflow,   // a total or balance does not fit: nothing stored
        Cancelled,  // the user kept the sheet as it was
        Failed,     // the files refused the save: nothing stored
    };
    Kind kind = Kind::Saved;
    QString lines;   // Incomplete, Overflow: the lines, "3行目「name」" joined by "、"
    FileFailure failure;
    int stored = 0;     // lines written
    int monthLines = 0; // lines the month holds after the save
};

enum class InsertOutcome { Inserted, NoRoom };

// What the work file's draft brought back at start.
enum class DraftOutcome {
    None,       // no unregistered sheet was kept
    Restored,   // the sheet is shown again, unregistered
    Registered, // the book changed the draft's month since the draft began (a registration
                // whose draft could not be retired): the draft is dropped, the book holds it
};

// What to do with stored lines of the month that are on no sheet line (the sheet was
// cleared) when the sheet is registered.
enum class OffSheetChoice { Keep, Delete, Cancel };

} // namespace schedule

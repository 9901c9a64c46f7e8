#pragma once

#include "PayeeTable.h"

#include <QString>
#include <QStringList>

namespace SQLite {
class Database;
}

namespace store {
class Session;
} // namespace store
class WorkTableModel;

namespace payees {

// Rebuilds the drop-down list w支払先名 as a copy of the payee master (duplicates and empty
// names included) with the names typed on the month's sheet that the master lacks, sorted
// by name, then re-reads the drop-down's data source when one is given. A failure is
// skipped and logged. The rowids of the list follow its order kListRowIdGap apart, so that
// a name can later go in between two others (offerTypedNames).
void AddComb支払先名(store::Session& session, WorkTableModel* dropDownSource = nullptr, const QStringList& typed = {});

inline constexpr qint64 kListRowIdGap = ledger::kListRowIdGap;

// Offers names just typed or pasted on the month's sheet in the drop-down list shown by
// dropDownSource (bound to w支払先名): each name the list lacks goes in at its place in
// name order, found by halving the list, with a rowid between its neighbours' (names that
// go between the same two share the room evenly), in one transaction. When two neighbours
// leave too little room, or a step fails, the list is rebuilt once instead (AddComb支払先名
// with the sheet's names `onSheet`). Answers whether it was rebuilt.
bool offerTypedNames(store::Session& session, WorkTableModel& dropDownSource, const QStringList& names, const QStringList& onSheet);

// The same list as AddComb支払先名 makes, copied from the payee page's copy w支払先マスタ
// right after Read支払先 has filled it from the master in name order, so that a long master
// is not sorted a second time. Each step is skipped on failure and logged.
void copyPayeeListFromPage(store::Session& session, WorkTableModel* dropDownSource = nullptr);

// Adds the name to the payee master unless a row with exactly that text is already there.
// The name is kept without the blanks around it (normalizePayeeName); a name that
// checkPayeeName refuses, or an empty one, is not added. Answers whether a row was added;
// a refused name, a failed look-up or insert adds nothing and is logged.
bool Add支払先(store::Session& session, const QString& name);

// The same inside a transaction the caller holds on the main connection (the month's save
// registers the names typed on its sheet this way). Throws store::DbError.
void addPayees(SQLite::Database& main, const QStringList& names);

} // namespace payees

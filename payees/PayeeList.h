#pragma once

#include <QString>

namespace store {
class Session;
class WorkTableModel;
} // namespace store

namespace payees {

// Rebuilds the drop-down list w支払先名 as a copy of the payee master, sorted by name
// (duplicates and empty names included), then re-reads the drop-down's data source when
// one is given. Each step is skipped on failure and logged.
void AddComb支払先名(store::Session& session, store::WorkTableModel* dropDownSource = nullptr);

// The same list as AddComb支払先名 makes, copied from the payee page's copy w支払先マスタ
// right after Read支払先 has filled it from the master in name order, so that a long master
// is not sorted a second time. Each step is skipped on failure and logged.
void copyPayeeListFromPage(store::Session& session, store::WorkTableModel* dropDownSource = nullptr);

// Adds the name to the payee master unless a row with exactly that text is already there.
// The name is kept without the blanks around it (normalizePayeeName); a name that
// checkPayeeName refuses, or an empty one, is not added. Answers whether a row was added;
// a refused name, a failed look-up or insert adds nothing and is logged.
bool Add支払先(store::Session& session, const QString& name);

// The statement that adds one name (bound once, as ?1) unless the master holds it; the
// index on the name makes the look-up a search, not a scan.
inline constexpr const char* kAddPayeeStatement
    = "INSERT INTO 支払先マスタ (支払先名) SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM 支払先マスタ WHERE 支払先名 = ?1)";

} // namespace payees

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

// Adds the name to the payee master unless a row with exactly that text is already there.
// Answers whether a row was added; a failed look-up or insert adds nothing and is logged.
bool Add支払先(store::Session& session, const QString& name);

} // namespace payees

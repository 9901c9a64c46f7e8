#pragma once

#include "PayeeListReader.h"

#include <QStringList>

#include <functional>

namespace store {
class Session;
}

namespace exporting {

// What an import of names will do: the names to add, in the list's order, each once;
// the names the master already holds; and how many repeats of the list were dropped.
struct ImportPlan {
    QStringList toAdd;
    QStringList alreadyThere;
    int repeats = 0;
};
ImportPlan planImport(store::Session& session, const QStringList& names);

// Told how many names of how many are added; answering false stops the import.
using AddProgress = std::function<bool(qint64 done, qint64 total)>;

// Adds the names of a plan (each once, none of them in the master) to 支払先マスタ in one
// transaction through one prepared statement: all of them or, when any cannot be added or
// the import is stopped, none. Throws store::DbError when a name cannot be added; answers
// false when stopped.
bool addPayees(store::Session& session, const QStringList& names, const AddProgress& progress = {});

} // namespace exporting

#pragma once

#include "PayeeListReader.h"
#include "PaymentRules.h"

#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace store {
class Session;
}


namespace exchange {

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

// Adds the names of a plan (each once, none of them in the master) to 支払先マスタ, and
// stores the payment rules given (replacing a rule the name had), in one transaction
// through one prepared statement: all of it or, when any name cannot be added or the
// import is stopped, nothing. Throws store::DbError when a name cannot be added; answers
// false when stopped.
bool addPayees(store::Session& session, const QStringList& names, const std::vector<std::pair<QString, ledger::PaymentRule>>& rules = {},
    const AddProgress& progress = {});

// Splits CSV text into records of fields (RFC 4180; CRLF, LF or CR end a record).
QList<QStringList> csvRecords(const QString& text);

} // namespace exchange

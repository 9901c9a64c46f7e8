#include "PayeeList.h"

#include "PayeeName.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Skip.h"
#include "WorkTableModel.h"

namespace payees {

namespace {

void refreshSource(WorkTableModel* dropDownSource)
{
    if (dropDownSource)
        store::skipOnFailure(QStringLiteral("refresh dat支払先名"), [&] { dropDownSource->refresh(); });
}

} // namespace

void AddComb支払先名(store::Session& session, WorkTableModel* dropDownSource, const QStringList& typed)
{
    store::skipOnFailure(QStringLiteral("AddComb支払先名"), [&] { ledger::PayeeTable(session).rebuildList(typed); });
    refreshSource(dropDownSource);
}

void copyPayeeListFromPage(store::Session& session, WorkTableModel* dropDownSource)
{
    store::skipOnFailure(QStringLiteral("copyPayeeListFromPage"), [&] { ledger::PayeeTable(session).copyListFromCopy(); });
    refreshSource(dropDownSource);
}

bool Add支払先(store::Session& session, const QString& typed)
{
    // A name is kept without the blanks around it; one that cannot be a name is not kept.
    const QString name = normalizePayeeName(typed);
    if (name.isEmpty() || checkPayeeName(name)) {
        qCWarning(lcStore).noquote() << "Add支払先: name refused:" << shownPayeeName(name);
        return false;
    }
    bool added = false;
    store::skipOnFailure(QStringLiteral("Add支払先"), [&] { added = ledger::PayeeTable(session).add(name); });
    return added;
}

void addPayees(SQLite::Database& main, const QStringList& names)
{
    ledger::PayeeTable::addNames(main, names);
}

} // namespace payees

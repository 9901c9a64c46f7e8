#include "PayeeList.h"

#include "PayeeName.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Skip.h"
#include "JapaneseCollation.h"
#include "WorkTableModel.h"

#include <algorithm>
#include <utility>
#include <vector>

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

namespace {

// The first row of the list (in name order) whose name does not come before `name`.
int placeInList(const WorkTableModel& list, const QString& name)
{
    int low = 0;
    int high = list.storedRowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (store::compareJapanese(list.value(middle, 0).toString(), name) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Adds each name the list lacks between its neighbours; the names that go between the same
// two share the room evenly. False when two neighbours leave too little room. Throws
// store::DbError.
bool insertNames(ledger::PayeeTable& table, WorkTableModel& list, QStringList names)
{
    names.removeDuplicates();
    std::vector<std::pair<int, QString>> placed; // the row each new name goes before
    for (const QString& name : std::as_const(names)) {
        const int place = placeInList(list, name);
        if (place >= list.storedRowCount() || list.value(place, 0).toString() != name)
            placed.emplace_back(place, name);
    }
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : store::compareJapanese(a.second, b.second) < 0;
    });
    std::vector<std::pair<qint64, QString>> added;
    for (auto group = placed.begin(); group != placed.end();) {
        const int place = group->first;
        const auto end = std::find_if(group, placed.end(), [place](const auto& p) { return p.first != place; });
        const qint64 count = end - group;
        const qint64 before = place > 0 ? list.rowId(place - 1) : 0;
        const qint64 after = place < list.storedRowCount() ? list.rowId(place) : before + (count + 1) * kListRowIdGap;
        const qint64 step = (after - before) / (count + 1);
        if (step < 1)
            return false;
        for (qint64 i = 1; group != end; ++group, ++i)
            added.emplace_back(before + step * i, group->second);
    }
    table.insertListNames(added);
    std::vector<std::pair<qint64, store::Row>> shown;
    shown.reserve(added.size());
    for (auto& [rowId, name] : added)
        shown.emplace_back(rowId, store::Row{name});
    list.insertStoredRows(std::move(shown));
    return true;
}

} // namespace

bool offerTypedNames(store::Session& session, WorkTableModel& dropDownSource, const QStringList& names, const QStringList& onSheet)
{
    bool inserted = false;
    store::skipOnFailure(QStringLiteral("offerTypedNames"), [&] {
        ledger::PayeeTable table(session);
        inserted = insertNames(table, dropDownSource, names);
    });
    if (inserted)
        return false;
    // The list shown may hold names the file does not: the rebuild reads both afresh.
    AddComb支払先名(session, &dropDownSource, onSheet);
    return true;
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

#include "PayeeList.h"

#include "PayeeName.h"
#include "Prepared.h"
#include "Schema.h"
#include "Session.h"
#include "Skip.h"
#include "JapaneseCollation.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <utility>
#include <vector>

namespace payees {

void AddComb支払先名(store::Session& session, WorkTableModel* dropDownSource, const QStringList& typed)
{
    store::skipOnFailure(QStringLiteral("AddComb支払先名"), [&] {
        auto& work = session.workDb();
        const QString master = store::attachedMainTable(QStringLiteral("支払先マスタ"));
        store::Transaction tx(work);
        store::exec(work, QStringLiteral("DELETE FROM w支払先名"));
        store::exec(work,
            QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) SELECT row_number() OVER (ORDER BY 支払先名 COLLATE ja) * ?, 支払先名 FROM "
                           "(SELECT 支払先名 FROM %1 UNION ALL "
                           "SELECT DISTINCT value FROM json_each(?) WHERE value NOT IN (SELECT 支払先名 FROM %1 WHERE 支払先名 IS NOT NULL)) "
                           "ORDER BY 支払先名 COLLATE ja")
                .arg(master),
            {kListRowIdGap, QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(typed)).toJson(QJsonDocument::Compact))});
        tx.commit();
    });
    if (dropDownSource)
        store::skipOnFailure(QStringLiteral("refresh dat支払先名"), [&] { dropDownSource->refresh(); });
}

namespace {

int addPayee(SQLite::Database& main, const QString& name)
{
    return store::exec(main, QString::fromUtf8(kAddPayeeStatement), {name});
}

} // namespace

void copyPayeeListFromPage(store::Session& session, WorkTableModel* dropDownSource)
{
    store::skipOnFailure(QStringLiteral("copyPayeeListFromPage"), [&] {
        auto& work = session.workDb();
        store::Transaction tx(work);
        store::exec(work, QStringLiteral("DELETE FROM w支払先名"));
        store::exec(work, QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) SELECT rowid * ?, 支払先名 FROM w支払先マスタ ORDER BY rowid"), {kListRowIdGap});
        tx.commit();
    });
    if (dropDownSource)
        store::skipOnFailure(QStringLiteral("refresh dat支払先名"), [&] { dropDownSource->refresh(); });
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
bool insertNames(SQLite::Database& work, WorkTableModel& list, QStringList names)
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
    std::vector<std::pair<qint64, store::Row>> added;
    store::Transaction tx(work);
    store::Prepared insert(work, QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) VALUES (?, ?)"));
    for (auto group = placed.begin(); group != placed.end();) {
        const int place = group->first;
        const auto end = std::find_if(group, placed.end(), [place](const auto& p) { return p.first != place; });
        const qint64 count = end - group;
        const qint64 before = place > 0 ? list.rowId(place - 1) : 0;
        const qint64 after = place < list.storedRowCount() ? list.rowId(place) : before + (count + 1) * kListRowIdGap;
        const qint64 step = (after - before) / (count + 1);
        if (step < 1)
            return false;
        for (qint64 i = 1; group != end; ++group, ++i) {
            insert.exec({before + step * i, group->second});
            added.emplace_back(before + step * i, store::Row{group->second});
        }
    }
    tx.commit();
    list.insertStoredRows(std::move(added));
    return true;
}

} // namespace

bool offerTypedNames(store::Session& session, WorkTableModel& dropDownSource, const QStringList& names, const QStringList& onSheet)
{
    bool inserted = false;
    store::skipOnFailure(QStringLiteral("offerTypedNames"), [&] { inserted = insertNames(session.workDb(), dropDownSource, names); });
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
    store::skipOnFailure(QStringLiteral("Add支払先"), [&] {
        store::Transaction tx(session.mainDb());
        added = addPayee(session.mainDb(), name) > 0;
        tx.commit();
    });
    return added;
}

void addPayees(SQLite::Database& main, const QStringList& names)
{
    store::Transaction tx(main);
    for (const QString& name : names)
        addPayee(main, name);
    tx.commit();
}

} // namespace payees

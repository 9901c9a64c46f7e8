#include "PayeeList.h"

#include "PayeeName.h"
#include "Schema.h"
#include "Session.h"
#include "Skip.h"
#include "JapaneseCollation.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <QJsonArray>
#include <QJsonDocument>

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

// Adds each name the list lacks between its neighbours; false when two neighbours leave
// no rowid between them. Throws store::DbError.
bool insertNames(SQLite::Database& work, WorkTableModel& list, const QStringList& names)
{
    store::Transaction tx(work);
    for (const QString& name : names) {
        const int place = placeInList(list, name);
        const int count = list.storedRowCount();
        if (place < count && list.value(place, 0).toString() == name)
            continue;
        const qint64 before = place > 0 ? list.rowId(place - 1) : 0;
        const qint64 after = place < count ? list.rowId(place) : before + 2 * kListRowIdGap;
        if (after - before < 2)
            return false;
        const qint64 rowId = before + (after - before) / 2;
        store::exec(work, QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) VALUES (?, ?)"), {rowId, name});
        list.insertStoredRow(rowId, {name});
    }
    tx.commit();
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

#include "PayeeList.h"

#include "PayeeName.h"
#include "Schema.h"
#include "Session.h"
#include "Skip.h"
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
            QStringLiteral("INSERT INTO w支払先名 SELECT 支払先名 FROM (SELECT 支払先名 FROM %1 UNION ALL "
                           "SELECT DISTINCT value FROM json_each(?) WHERE value NOT IN (SELECT 支払先名 FROM %1 WHERE 支払先名 IS NOT NULL)) "
                           "ORDER BY 支払先名 COLLATE ja")
                .arg(master),
            {QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(typed)).toJson(QJsonDocument::Compact))});
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
        store::exec(work, QStringLiteral("INSERT INTO w支払先名 SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid"));
        tx.commit();
    });
    if (dropDownSource)
        store::skipOnFailure(QStringLiteral("refresh dat支払先名"), [&] { dropDownSource->refresh(); });
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

#include "PayeeList.h"

#include "PayeeName.h"
#include "Schema.h"
#include "Session.h"
#include "Skip.h"
#include "Transaction.h"
#include "WorkTableModel.h"

namespace payees {

void AddComb支払先名(store::Session& session, store::WorkTableModel* dropDownSource)
{
    store::skipOnFailure(QStringLiteral("AddComb支払先名"), [&] {
        auto& work = session.workDb();
        store::Transaction tx(work);
        tx.step(QStringLiteral("AddComb支払先名 delete"), [&] { store::exec(work, QStringLiteral("DELETE FROM w支払先名")); });
        tx.step(QStringLiteral("AddComb支払先名 copy"), [&] {
            store::exec(work, QStringLiteral("INSERT INTO w支払先名 SELECT 支払先名 FROM %1 ORDER BY 支払先名 COLLATE ja")
                                  .arg(store::attachedMainTable(QStringLiteral("支払先マスタ"))));
        });
        tx.commit();
    });
    if (dropDownSource)
        store::skipOnFailure(QStringLiteral("refresh dat支払先名"), [&] { dropDownSource->refresh(); });
}

void copyPayeeListFromPage(store::Session& session, store::WorkTableModel* dropDownSource)
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
        added = store::exec(session.mainDb(), QString::fromUtf8(kAddPayeeStatement), {name}) > 0;
    });
    return added;
}

} // namespace payees

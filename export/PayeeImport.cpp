#include "PayeeImport.h"

#include "PayeeList.h"
#include "Prepared.h"
#include "Session.h"
#include "Sql.h"
#include "Transaction.h"

#include <QSet>

namespace exporting {

namespace {
// The progress is told once per this many names.
constexpr qint64 kProgressEvery = 512;
} // namespace

ImportPlan planImport(store::Session& session, const QStringList& names)
{
    QSet<QString> master;
    for (const store::Row& row : store::queryRows(session.mainDb(), QStringLiteral("SELECT 支払先名 FROM 支払先マスタ WHERE 支払先名 IS NOT NULL")))
        master.insert(row.at(0).toString());
    ImportPlan plan;
    QSet<QString> seen;
    seen.reserve(names.size());
    for (const QString& name : names) {
        if (seen.contains(name)) {
            ++plan.repeats;
            continue;
        }
        seen.insert(name);
        (master.contains(name) ? plan.alreadyThere : plan.toAdd) << name;
    }
    return plan;
}

bool addPayees(store::Session& session, const QStringList& names, const AddProgress& progress)
{
    store::Transaction transaction(session.mainDb());
    // The payee list's own statement: looks the exact name up (by its index) and appends it
    // when missing.
    store::Prepared add(session.mainDb(), QString::fromUtf8(payees::kAddPayeeStatement));
    const qint64 total = names.size();
    for (qint64 done = 0; done < total; ++done) {
        if (progress && done % kProgressEvery == 0 && !progress(done, total))
            return false; // the transaction rolls back
        const QString& name = names.at(done);
        if (add.exec({name, name}) == 0)
            throw store::DbError(QStringLiteral("INSERT INTO 支払先マスタ"), QStringLiteral("not added: ") + name.left(40), 0);
    }
    transaction.commit();
    if (progress)
        progress(total, total);
    return true;
}

} // namespace exporting

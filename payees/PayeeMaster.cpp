#include "PayeeMaster.h"

#include "PaymentRules.h"
#include "Session.h"
#include "Prepared.h"
#include "Schema.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

namespace payees {

namespace {
const QString kMaster = store::attachedMainTable(QStringLiteral("支払先マスタ"));

// A payment rule goes with its payee: the names the master no longer holds lose theirs.
// On the work connection, which holds the main file attached.
void dropRulesOfRemovedPayees(SQLite::Database& work)
{
    store::exec(work, QStringLiteral("DELETE FROM %1 WHERE 支払先名 NOT IN (SELECT 支払先名 FROM %2 WHERE 支払先名 IS NOT NULL)")
                          .arg(store::attachedMainTable(store::quoteIdentifier(ledger::kPaymentRuleTable)), kMaster));
}
} // namespace

void PayeeMaster::Read支払先()
{
    // The copy is emptied and filled from the master, in name order, by one statement each:
    // no round trip and no savepoint per name.
    auto& work = session_.workDb();
    store::Transaction tx(work);
    store::exec(work, QStringLiteral("DELETE FROM w支払先マスタ"));
    store::exec(work, QStringLiteral("INSERT INTO w支払先マスタ (支払先名) SELECT 支払先名 FROM %1 ORDER BY 支払先名 COLLATE ja").arg(kMaster));
    tx.commit();
}

void PayeeMaster::Entry支払先マスタ()
{
    // The work connection holds the main file attached, so the delete and the insert
    // commit or roll back together: a failed insert never leaves the master empty.
    auto& work = session_.workDb();
    store::Transaction tx(work);
    store::exec(work, QStringLiteral("DELETE FROM %1").arg(kMaster));
    store::exec(work, QStringLiteral("INSERT INTO %1 (支払先名) SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid").arg(kMaster));
    dropRulesOfRemovedPayees(work);
    tx.commit();
}

void PayeeMaster::LineDelete支払先マスタ()
{
    // The master first, then the copy: the ticks stay in the copy whenever the master could
    // not be changed, so the command can simply be repeated.
    auto& work = session_.workDb();
    const std::vector<store::Row> ticked = store::queryRows(work, QStringLiteral("SELECT 支払先名 FROM w支払先マスタ WHERE チェック = ? ORDER BY rowid"), {1});
    {
        store::Transaction tx(work);
        store::Prepared remove(work, QStringLiteral("DELETE FROM %1 WHERE 支払先名 = ?").arg(kMaster));
        for (const store::Row& row : ticked)
            tx.step(QStringLiteral("LineDelete支払先マスタ delete a name"), [&] { remove.exec({row.at(0)}); });
        dropRulesOfRemovedPayees(work);
        tx.commit();
    }
    store::Transaction tx(work);
    store::exec(work, QStringLiteral("DELETE FROM w支払先マスタ WHERE チェック = ?"), {1});
    tx.commit();
}

void PayeeMaster::Delete支払先マスタ()
{
    store::skipOnFailure(QStringLiteral("Delete支払先マスタ"), [&] {
        store::Transaction tx(session_.mainDb());
        store::exec(session_.mainDb(), QStringLiteral("DELETE FROM 支払先マスタ"));
        store::exec(session_.mainDb(), QStringLiteral("DELETE FROM ") + store::quoteIdentifier(ledger::kPaymentRuleTable));
        tx.commit();
    });
}

void PayeeMaster::Clear支払先マスタ()
{
    store::skipOnFailure(QStringLiteral("Clear支払先マスタ"), [&] {
        store::Transaction tx(session_.workDb());
        store::exec(session_.workDb(), QStringLiteral("DELETE FROM w支払先マスタ"));
        tx.commit();
    });
}

} // namespace payees

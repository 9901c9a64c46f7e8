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
const QString kAccounts = store::attachedMainTable(QStringLiteral("支払先口座"));
const QString kRules = store::attachedMainTable(store::quoteIdentifier(ledger::kPaymentRuleTable));
const QString kBearers = store::attachedMainTable(QStringLiteral("支払先手数料負担"));

// A payee's bank details, payment rule and fee bearer go with the payee: the names the master no
// longer holds lose theirs. On the work connection, which holds the main file attached.
void dropDetailsOfRemovedPayees(SQLite::Database& work)
{
    for (const QString& table : {kRules, kAccounts, kBearers})
        store::exec(work, QStringLiteral("DELETE FROM %1 WHERE 支払先名 NOT IN (SELECT 支払先名 FROM %2 WHERE 支払先名 IS NOT NULL)").arg(table, kMaster));
}

// A name changed on a line of the copy carries the payee's details, rule and bearer to the new
// name, unless the old name stays in the copy on another line or the new name has its
// own. Runs before the master is replaced, in the same transaction.
void carryDetailsOfRenamedPayees(SQLite::Database& work)
{
    const auto renamed = store::queryRows(work,
        QStringLiteral("SELECT o.支払先名, w.支払先名 FROM w支払先元名 o JOIN w支払先マスタ w ON w.rowid = o.rowid "
                       "WHERE w.支払先名 IS NOT NULL AND o.支払先名 IS NOT NULL AND w.支払先名 <> o.支払先名 "
                       "AND o.支払先名 NOT IN (SELECT 支払先名 FROM w支払先マスタ WHERE 支払先名 IS NOT NULL) ORDER BY o.rowid"));
    for (const store::Row& row : renamed) {
        for (const QString& table : {kAccounts, kRules, kBearers}) {
            store::exec(work, QStringLiteral("UPDATE %1 SET 支払先名 = ?2 WHERE 支払先名 = ?1 AND NOT EXISTS (SELECT 1 FROM %1 WHERE 支払先名 = ?2)").arg(table),
                {row.at(0), row.at(1)});
        }
    }
}
} // namespace

void PayeeMaster::watchCopy()
{
    // A line deleted from the copy is no rename: its original name goes with it, so that a
    // rowid the engine gives again to a new line never carries another payee's details.
    store::exec(session_.workDb(),
        QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS w支払先マスタ_行削除 AFTER DELETE ON main.w支払先マスタ "
                       "BEGIN DELETE FROM w支払先元名 WHERE rowid = old.rowid; END"));
}

void PayeeMaster::Read支払先()
{
    // The copy is emptied and filled from the master, in name order, by one statement each:
    // no round trip and no savepoint per name.
    auto& work = session_.workDb();
    store::Transaction tx(work);
    store::exec(work, QStringLiteral("DELETE FROM w支払先マスタ"));
    store::exec(work, QStringLiteral("INSERT INTO w支払先マスタ (支払先名) SELECT 支払先名 FROM %1 ORDER BY 支払先名 COLLATE ja").arg(kMaster));
    store::exec(work, QStringLiteral("DELETE FROM w支払先元名"));
    store::exec(work, QStringLiteral("INSERT INTO w支払先元名 (rowid, 支払先名) SELECT rowid, 支払先名 FROM w支払先マスタ ORDER BY rowid"));
    tx.commit();
}

void PayeeMaster::Entry支払先マスタ()
{
    // The work connection holds the main file attached, so the delete and the insert
    // commit or roll back together: a failed insert never leaves the master empty.
    auto& work = session_.workDb();
    store::Transaction tx(work);
    carryDetailsOfRenamedPayees(work);
    store::exec(work, QStringLiteral("DELETE FROM %1").arg(kMaster));
    store::exec(work, QStringLiteral("INSERT INTO %1 (支払先名) SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid").arg(kMaster));
    dropDetailsOfRemovedPayees(work);
    // The copy now is the master: its names are the originals of later renames.
    store::exec(work, QStringLiteral("DELETE FROM w支払先元名"));
    store::exec(work, QStringLiteral("INSERT INTO w支払先元名 (rowid, 支払先名) SELECT rowid, 支払先名 FROM w支払先マスタ ORDER BY rowid"));
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
        dropDetailsOfRemovedPayees(work);
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
        store::exec(session_.mainDb(), QStringLiteral("DELETE FROM 支払先口座"));
        store::exec(session_.mainDb(), QStringLiteral("DELETE FROM 支払先手数料負担"));
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

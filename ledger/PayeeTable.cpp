#include "PayeeTable.h"

#include "Prepared.h"
#include "Schema.h"
#include "Session.h"
#include "Skip.h"
#include "Transaction.h"

#include <QScopeGuard>

#include <algorithm>

namespace ledger {

namespace {

const QString kMaster = store::attachedMainTable(QStringLiteral("支払先マスタ"));
const QString kAccounts = store::attachedMainTable(QStringLiteral("支払先口座"));
const QString kRules = store::attachedMainTable(store::quoteIdentifier(kPaymentRuleTable));
const QString kBearers = store::attachedMainTable(QStringLiteral("支払先手数料負担"));
// The tables that hold a payee's details by its name: they follow the payee.
const QString kDetailTables[] = {kRules, kAccounts, kBearers};

// The progress of an append is told once per this many names.
constexpr qint64 kProgressEvery = 512;

// A payee's details go with the payee: the names the master no longer holds lose theirs.
// Answers the rows taken, by table. On the work connection, which holds the main file
// attached.
std::vector<std::vector<store::Row>> takeDetailsOfRemovedPayees(SQLite::Database& work)
{
    std::vector<std::vector<store::Row>> taken;
    const QString orphan = QStringLiteral("WHERE 支払先名 NOT IN (SELECT 支払先名 FROM %1 WHERE 支払先名 IS NOT NULL)").arg(kMaster);
    for (const QString& table : kDetailTables) {
        taken.push_back(store::queryRows(work, QStringLiteral("SELECT * FROM %1 %2 ORDER BY rowid").arg(table, orphan)));
        store::exec(work, QStringLiteral("DELETE FROM %1 %2").arg(table, orphan));
    }
    return taken;
}

// Rows of a table stored again as they were read with SELECT *.
void putRows(SQLite::Database& work, const QString& table, const std::vector<store::Row>& rows)
{
    for (const store::Row& row : rows) {
        QStringList marks;
        QVariantList values;
        for (const QVariant& value : row) {
            marks << QStringLiteral("?");
            values << value;
        }
        store::exec(work, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(u',')), values);
    }
}

// A name changed on a line of the copy carries the payee's details to the new
// name, unless the old name stays in the copy on another line or the new name has its
// own. Runs before the master is replaced, in the same transaction.
void carryDetailsOfRenamedPayees(SQLite::Database& work)
{
    const auto renamed = store::queryRows(work,
        QStringLiteral("SELECT o.支払先名, w.支払先名 FROM w支払先元名 o JOIN w支払先マスタ w ON w.rowid = o.rowid "
                       "WHERE w.支払先名 IS NOT NULL AND o.支払先名 IS NOT NULL AND w.支払先名 <> o.支払先名 "
                       "AND o.支払先名 NOT IN (SELECT 支払先名 FROM w支払先マスタ WHERE 支払先名 IS NOT NULL) ORDER BY o.rowid"));
    for (const store::Row& row : renamed) {
        for (const QString& table : kDetailTables) {
            store::exec(work, QStringLiteral("UPDATE %1 SET 支払先名 = ?2 WHERE 支払先名 = ?1 AND NOT EXISTS (SELECT 1 FROM %1 WHERE 支払先名 = ?2)").arg(table),
                {row.at(0), row.at(1)});
        }
    }
}

// The copy's names as they stand are the originals of later renames.
void rememberOriginals(SQLite::Database& work)
{
    store::exec(work, QStringLiteral("DELETE FROM w支払先元名"));
    store::exec(work, QStringLiteral("INSERT INTO w支払先元名 (rowid, 支払先名) SELECT rowid, 支払先名 FROM w支払先マスタ ORDER BY rowid"));
}

const QString kAddStatement = QStringLiteral("INSERT INTO 支払先マスタ (支払先名) SELECT ?1 WHERE NOT EXISTS (SELECT 1 FROM 支払先マスタ WHERE 支払先名 = ?1)");

} // namespace

PayeeTable::PayeeTable(store::Session& session, QObject* parent)
    : QObject(parent)
    , session_(session)
{
}

SQLite::Database& PayeeTable::main()
{
    return session_.mainDb();
}

SQLite::Database& PayeeTable::work()
{
    return session_.workDb();
}

QStringList PayeeTable::names()
{
    QStringList names;
    store::Prepared read(main(), QStringLiteral("SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid"));
    while (read.next())
        names << read.text(0);
    return names;
}

bool PayeeTable::holds(const QString& name)
{
    return !store::scalar(main(), QStringLiteral("SELECT 1 FROM 支払先マスタ WHERE 支払先名 = ? LIMIT 1"), {name}).isNull();
}

bool PayeeTable::add(const QString& name)
{
    store::Transaction tx(main());
    const bool added = store::exec(main(), kAddStatement, {name}) > 0;
    tx.commit();
    if (added)
        emit payeesChanged();
    return added;
}

void PayeeTable::addNames(SQLite::Database& main, const QStringList& names)
{
    store::Transaction tx(main);
    for (const QString& name : names)
        store::exec(main, kAddStatement, {name});
    tx.commit();
}

bool PayeeTable::appendNames(const QStringList& names, const std::vector<std::pair<QString, PaymentRule>>& rules,
    const std::function<bool(qint64 done, qint64 total)>& proceed)
{
    store::Transaction transaction(main());
    for (const auto& [name, rule] : rules)
        writePaymentRule(main(), name, rule);
    // The names are known to be new, so they are appended without a look-up each; in
    // binary order the index on the name grows at neighbouring places, not all over.
    store::Prepared add(main(), QStringLiteral("INSERT INTO 支払先マスタ (支払先名) VALUES (?1)"));
    QStringList ordered = names;
    std::sort(ordered.begin(), ordered.end());
    const qint64 total = ordered.size();
    for (qint64 done = 0; done < total; ++done) {
        if (proceed && done % kProgressEvery == 0 && !proceed(done, total))
            return false; // the transaction rolls back
        add.bind(1, ordered.at(done));
        add.run();
    }
    transaction.commit();
    if (proceed)
        proceed(total, total);
    emit payeesChanged();
    return true;
}

void PayeeTable::readIntoCopy()
{
    // One statement each: no round trip and no savepoint per name.
    store::Transaction tx(work());
    store::exec(work(), QStringLiteral("DELETE FROM w支払先マスタ"));
    store::exec(work(), QStringLiteral("INSERT INTO w支払先マスタ (支払先名) SELECT 支払先名 FROM %1 ORDER BY 支払先名 COLLATE ja").arg(kMaster));
    rememberOriginals(work());
    tx.commit();
}

void PayeeTable::enterCopy()
{
    // The work connection holds the main file attached, so the delete and the insert
    // commit or roll back together: a failed insert never leaves the master empty.
    store::Transaction tx(work());
    carryDetailsOfRenamedPayees(work());
    store::exec(work(), QStringLiteral("DELETE FROM %1").arg(kMaster));
    store::exec(work(), QStringLiteral("INSERT INTO %1 (支払先名) SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid").arg(kMaster));
    takeDetailsOfRemovedPayees(work());
    rememberOriginals(work());
    tx.commit();
    emit payeesChanged();
}

RemovedPayees PayeeTable::removeTicked()
{
    // The master first, then the copy: the ticks stay in the copy whenever the master could
    // not be changed, so the command can simply be repeated.
    RemovedPayees removed;
    store::Transaction tx(work());
    const QString tickedNames = QStringLiteral("SELECT 支払先名 FROM w支払先マスタ WHERE チェック = 1");
    const auto named = store::queryRows(work(), QStringLiteral("SELECT rowid, 支払先名 FROM %1 WHERE 支払先名 IN (%2) ORDER BY rowid").arg(kMaster, tickedNames));
    store::Prepared remove(work(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kMaster));
    for (const store::Row& row : named) {
        if (tx.step(QStringLiteral("remove a ticked payee"), [&] { remove.exec({row.at(0)}); }, store::Transaction::Step::OneStatement))
            removed.master.push_back(row);
    }
    removed.details = takeDetailsOfRemovedPayees(work());
    tx.commit();
    // The master changed whether or not the copy follows.
    const auto tell = qScopeGuard([this] { emit payeesChanged(); });
    std::vector<qint64> ticked;
    for (const store::Row& row : store::queryRows(work(), QStringLiteral("SELECT rowid FROM w支払先マスタ WHERE チェック = 1 ORDER BY rowid")))
        ticked.push_back(row.at(0).toLongLong());
    store::Transaction copy(work());
    removed.copy = takeCopyLines(ticked);
    copy.commit();
    return removed;
}

void PayeeTable::putBack(const RemovedPayees& removed)
{
    // The master first, then the copy, as they went.
    store::Transaction tx(work());
    // A row goes back at its rowid, so the master keeps its order, unless another row has
    // taken that rowid since; it then goes after the last.
    store::Prepared put(work(), QStringLiteral("INSERT INTO %1 (rowid, 支払先名) VALUES ((SELECT CASE WHEN EXISTS (SELECT 1 FROM %1 WHERE rowid = ?1) THEN NULL ELSE ?1 END), ?2)").arg(kMaster));
    for (const store::Row& row : removed.master)
        put.exec({row.at(0), row.at(1)});
    for (std::size_t i = 0; i < removed.details.size() && i < std::size(kDetailTables); ++i)
        putRows(work(), kDetailTables[i], removed.details[i]);
    tx.commit();
    const auto tell = qScopeGuard([this] { emit payeesChanged(); });
    store::Transaction copy(work());
    putCopyLines(removed.copy);
    copy.commit();
}

void PayeeTable::removeAll()
{
    store::Transaction tx(main());
    store::exec(main(), QStringLiteral("DELETE FROM 支払先マスタ"));
    store::exec(main(), QStringLiteral("DELETE FROM ") + store::quoteIdentifier(kPaymentRuleTable));
    store::exec(main(), QStringLiteral("DELETE FROM 支払先口座"));
    store::exec(main(), QStringLiteral("DELETE FROM 支払先手数料負担"));
    tx.commit();
    emit payeesChanged();
}

} // namespace ledger

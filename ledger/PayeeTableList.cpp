// The drop-down list of the month grid (w支払先名): rebuilt from the master, copied from the
// payee page's copy, or given names between two others.

#include "PayeeTable.h"

#include "Prepared.h"
#include "Schema.h"
#include "Transaction.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace ledger {

namespace {

const QString kMaster = store::attachedMainTable(QStringLiteral("支払先マスタ"));

} // namespace

void PayeeTable::rebuildList(const QStringList& typed)
{
    store::Transaction tx(work());
    store::exec(work(), QStringLiteral("DELETE FROM w支払先名"));
    store::exec(work(),
        QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) SELECT row_number() OVER (ORDER BY 支払先名 COLLATE ja) * ?, 支払先名 FROM "
                       "(SELECT 支払先名 FROM %1 UNION ALL "
                       "SELECT DISTINCT value FROM json_each(?) WHERE value NOT IN (SELECT 支払先名 FROM %1 WHERE 支払先名 IS NOT NULL)) "
                       "ORDER BY 支払先名 COLLATE ja")
            .arg(kMaster),
        {kListRowIdGap, QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(typed)).toJson(QJsonDocument::Compact))});
    tx.commit();
}

void PayeeTable::copyListFromCopy()
{
    store::Transaction tx(work());
    store::exec(work(), QStringLiteral("DELETE FROM w支払先名"));
    store::exec(work(), QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) SELECT rowid * ?, 支払先名 FROM w支払先マスタ ORDER BY rowid"), {kListRowIdGap});
    tx.commit();
}

void PayeeTable::insertListNames(const std::vector<std::pair<qint64, QString>>& names)
{
    store::Transaction tx(work());
    store::Prepared insert(work(), QStringLiteral("INSERT INTO w支払先名 (rowid, 支払先名) VALUES (?, ?)"));
    for (const auto& [rowId, name] : names)
        insert.exec({rowId, name});
    tx.commit();
}

} // namespace ledger

#include "FeeSettingsStore.h"

#include "FeeTableStore.h"
#include "Sql.h"
#include "Transaction.h"

namespace banking {

FeeSettings FeeSettingsStore::read()
{
    FeeSettings settings;
    settings.table = FeeTableStore(db_).read();
    const auto rows = store::queryRows(db_, QStringLiteral("SELECT 計算方式, 既定負担, 手数料行 FROM 振込手数料設定 ORDER BY rowid LIMIT 1"));
    if (rows.empty())
        return settings;
    const store::Row& row = rows.front();
    settings.method = methodFromName(row.at(0).toString()).value_or(FeeMethod::Fixed);
    settings.defaultBearer = bearerFromText(row.at(1).toString()).value_or(FeeBearer::Payer);
    settings.addFeeLine = row.at(2).toLongLong() != 0;
    return settings;
}

void FeeSettingsStore::write(const FeeSettings& settings)
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("DELETE FROM 振込手数料設定"));
    store::exec(db_, QStringLiteral("INSERT INTO 振込手数料設定 (計算方式, 既定負担, 手数料行) VALUES (?, ?, ?)"),
        {methodName(settings.method), bearerName(settings.defaultBearer).left(2), settings.addFeeLine ? 1 : 0});
    FeeTableStore(db_).write(settings.table);
    tx.commit();
}

} // namespace banking

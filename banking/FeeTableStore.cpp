#include "FeeTableStore.h"

#include "Sql.h"
#include "Transaction.h"

namespace banking {

FeeTable FeeTableStore::read()
{
    FeeTable table;
    const auto rows = store::queryRows(db_, QStringLiteral("SELECT 区分, 下限, 手数料 FROM 振込手数料表 ORDER BY 区分, 下限"));
    for (const store::Row& row : rows) {
        const int kind = row.at(0).toInt();
        if (kind < 0 || kind >= static_cast<int>(table.bands.size()))
            continue;
        table.bands[static_cast<std::size_t>(kind)].push_back(
            {row.at(1).toLongLong() / ledger::Amount::kScale, row.at(2).toLongLong() / ledger::Amount::kScale});
    }
    return table;
}

void FeeTableStore::write(const FeeTable& table)
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("DELETE FROM 振込手数料表"));
    for (FeeDestination destination : kFeeDestinations) {
        for (const FeeBand& band : table.of(destination)) {
            store::exec(db_, QStringLiteral("INSERT INTO 振込手数料表 (区分, 下限, 手数料) VALUES (?, ?, ?)"),
                {static_cast<int>(destination), band.from * ledger::Amount::kScale, band.fee * ledger::Amount::kScale});
        }
    }
    tx.commit();
}

} // namespace banking

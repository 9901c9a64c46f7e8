#include "ChainCheck.h"

#include "BalanceChain.h"
#include "Calendar.h"
#include "CarryOverTable.h"
#include "Prepared.h"
#include "Sql.h"
#include "StoredLines.h"

namespace ledger {

std::optional<ChainBreak> findChainBreak(SQLite::Database& db, const QString& schema)
{
    CarryOvers carries;
    // A book of an earlier version, read as it is (a backup), may have no carry-overs yet.
    const bool keepsCarries = store::scalar(db, QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type = 'table' AND name = ?").arg(schema), {kCarryTable}).toInt() > 0;
    if (keepsCarries) {
        store::Prepared query(db, QStringLiteral("SELECT 年月, 繰越額 FROM %1.%2 ORDER BY 年月").arg(schema, kCarryTable));
        while (query.next()) {
            const QDate at = calendar::fromStoredText(query.value(0).toString());
            if (const auto carry = amountAt(query, 1); at.isValid() && carry)
                carries.emplace(calendar::firstOfMonth(at), *carry);
        }
    }
    // The chain starts before the earliest month any line or carry-over could name.
    BalanceChain chain(QDate(1, 1, 1), Amount(), carries);
    store::Prepared query(db, QStringLiteral("SELECT 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM %1.%2 ORDER BY 日付, 行番号, rowid").arg(schema, kLinesTable));
    qint64 checked = 0;
    while (query.next()) {
        const QDate date = dateAt(query, 0);
        const LineBalance balance = chain.next({date, !query.isBlank(2), amountAt(query, 3), amountAt(query, 4)});
        if (balance.kind == LineBalance::Outside)
            continue;
        if (balance.kind == LineBalance::Overflow || balance.balance() != amountAt(query, 5))
            return ChainBreak{date, query.integer(1), checked};
        ++checked;
    }
    return std::nullopt;
}

} // namespace ledger

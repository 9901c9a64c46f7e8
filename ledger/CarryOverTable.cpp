#include "CarryOverTable.h"

#include "Calendar.h"
#include "Prepared.h"
#include "StoredLines.h"

namespace ledger {

namespace {

QVariant monthText(const QDate& month)
{
    return calendar::toStoredText(calendar::firstOfMonth(month));
}

} // namespace

std::optional<Amount> ownCarry(SQLite::Database& db, const QDate& month)
{
    store::Prepared query(db, QStringLiteral("SELECT 繰越額 FROM %1 WHERE 年月 = ?").arg(kCarryTable));
    query.bind(1, monthText(month));
    std::optional<Amount> carry = query.next() ? amountAt(query, 0) : std::nullopt;
    query.reset();
    return carry;
}

std::optional<std::pair<QDate, Amount>> latestCarryBefore(SQLite::Database& db, const QDate& month)
{
    store::Prepared query(db, QStringLiteral("SELECT 年月, 繰越額 FROM %1 WHERE 年月 < ? ORDER BY 年月 DESC LIMIT 1").arg(kCarryTable));
    query.bind(1, month.isValid() ? monthText(month) : QVariant(QStringLiteral("9999-12-31")));
    std::optional<std::pair<QDate, Amount>> latest;
    if (query.next()) {
        const QDate at = calendar::fromStoredText(query.value(0).toString());
        const std::optional<Amount> carry = amountAt(query, 1);
        if (at.isValid() && carry)
            latest = std::pair(at, *carry);
    }
    query.reset();
    return latest;
}

CarryOvers readCarryOvers(SQLite::Database& db, const QDate& from)
{
    store::Prepared query(db, QStringLiteral("SELECT 年月, 繰越額 FROM %1 WHERE 年月 >= ? ORDER BY 年月").arg(kCarryTable));
    query.bind(1, from.isValid() ? monthText(from) : QVariant(QString()));
    CarryOvers carries;
    while (query.next()) {
        const QDate at = calendar::fromStoredText(query.value(0).toString());
        if (const std::optional<Amount> carry = amountAt(query, 1); at.isValid() && carry)
            carries.emplace(calendar::firstOfMonth(at), *carry);
    }
    query.reset();
    return carries;
}

void writeCarry(SQLite::Database& db, const QDate& month, const std::optional<Amount>& carry)
{
    if (carry) {
        store::Prepared write(db, QStringLiteral("INSERT INTO %1 (年月, 繰越額) VALUES (?, ?) ON CONFLICT (年月) DO UPDATE SET 繰越額 = excluded.繰越額").arg(kCarryTable));
        write.bind(1, monthText(month));
        write.bind(2, carry->units());
        write.run();
    } else {
        store::Prepared remove(db, QStringLiteral("DELETE FROM %1 WHERE 年月 = ?").arg(kCarryTable));
        remove.bind(1, monthText(month));
        remove.run();
    }
}

} // namespace ledger

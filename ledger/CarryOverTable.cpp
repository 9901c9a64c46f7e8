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
    static const QString sql = QStringLiteral("SELECT 繰越額 FROM %1 WHERE 年月 = ?").arg(kCarryTable);
    auto query = store::Prepared::reuse(db, sql);
    query->bind(1, monthText(month));
    return query->next() ? amountAt(*query, 0) : std::nullopt;
}

std::optional<std::pair<QDate, Amount>> latestCarryBefore(SQLite::Database& db, const QDate& month)
{
    static const QString sql = QStringLiteral("SELECT 年月, 繰越額 FROM %1 WHERE 年月 < ? ORDER BY 年月 DESC LIMIT 1").arg(kCarryTable);
    auto query = store::Prepared::reuse(db, sql);
    query->bind(1, month.isValid() ? monthText(month) : QVariant(QStringLiteral("9999-12-31")));
    std::optional<std::pair<QDate, Amount>> latest;
    if (query->next()) {
        const QDate at = dateAt(*query, 0);
        const std::optional<Amount> carry = amountAt(*query, 1);
        if (at.isValid() && carry)
            latest = std::pair(at, *carry);
    }
    return latest;
}

CarryOvers readCarryOvers(SQLite::Database& db, const QDate& from)
{
    static const QString sql = QStringLiteral("SELECT 年月, 繰越額 FROM %1 WHERE 年月 >= ? ORDER BY 年月").arg(kCarryTable);
    auto query = store::Prepared::reuse(db, sql);
    query->bind(1, from.isValid() ? monthText(from) : QVariant(QString()));
    CarryOvers carries;
    while (query->next()) {
        const QDate at = dateAt(*query, 0);
        if (const std::optional<Amount> carry = amountAt(*query, 1); at.isValid() && carry)
            carries.emplace(calendar::firstOfMonth(at), *carry);
    }
    return carries;
}

void writeCarry(SQLite::Database& db, const QDate& month, const std::optional<Amount>& carry)
{
    if (carry) {
        static const QString sql = QStringLiteral("INSERT INTO %1 (年月, 繰越額) VALUES (?, ?) ON CONFLICT (年月) DO UPDATE SET 繰越額 = excluded.繰越額").arg(kCarryTable);
        auto write = store::Prepared::reuse(db, sql);
        write->bind(1, monthText(month));
        write->bind(2, qint64(carry->units()));
        write->run();
    } else {
        static const QString sql = QStringLiteral("DELETE FROM %1 WHERE 年月 = ?").arg(kCarryTable);
        auto remove = store::Prepared::reuse(db, sql);
        remove->bind(1, monthText(month));
        remove->run();
    }
}

} // namespace ledger

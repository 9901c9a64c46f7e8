#include "PayeeBearers.h"

#include "Sql.h"
#include "Transaction.h"

namespace banking {

std::map<QString, FeeBearer> PayeeBearers::all()
{
    std::map<QString, FeeBearer> bearers;
    for (const store::Row& row : store::queryRows(db_, QStringLiteral("SELECT 支払先名, 負担 FROM 支払先手数料負担 ORDER BY 支払先名"))) {
        if (const auto bearer = bearerFromText(row.at(1).toString()))
            bearers.emplace(row.at(0).toString(), *bearer);
    }
    return bearers;
}

std::optional<FeeBearer> PayeeBearers::of(const QString& payee)
{
    return bearerFromText(store::scalar(db_, QStringLiteral("SELECT 負担 FROM 支払先手数料負担 WHERE 支払先名 = ? LIMIT 1"), {payee}).toString());
}

void PayeeBearers::set(const QString& payee, std::optional<FeeBearer> bearer)
{
    store::Transaction tx(db_);
    if (bearer)
        store::exec(db_, QStringLiteral("INSERT OR REPLACE INTO 支払先手数料負担 (支払先名, 負担) VALUES (?, ?)"), {payee, bearerName(*bearer).left(2)});
    else
        store::exec(db_, QStringLiteral("DELETE FROM 支払先手数料負担 WHERE 支払先名 = ?"), {payee});
    tx.commit();
}

FeeBearer bearerOf(const std::map<QString, FeeBearer>& bearers, const QString& payee, FeeBearer fallback)
{
    const auto found = bearers.find(payee);
    return found == bearers.end() ? fallback : found->second;
}

} // namespace banking

#include "BalanceChain.h"

#include "Sql.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace backup {

std::optional<ChainBreak> findChainBreak(SQLite::Database& main)
{
    try {
        SQLite::Statement query(main, "SELECT 日付, 行番号, coalesce(支払先名, ''), 予定額, 支払額, 残高 FROM 支払予定表 ORDER BY 日付, 行番号, rowid");
        store::Amount running;
        qint64 checked = 0;
        while (query.executeStep()) {
            if (query.getColumn(2).getString().empty())
                break;
            const auto scheduled = store::Amount::fromVariant(store::columnValue(query.getColumn(3)));
            const auto paid = store::Amount::fromVariant(store::columnValue(query.getColumn(4)));
            const auto stored = store::Amount::fromVariant(store::columnValue(query.getColumn(5)));
            std::optional<store::Amount> expected;
            if (scheduled && paid) {
                if (const auto up = running.plus(*scheduled))
                    expected = up->minus(*paid);
            }
            if (expected != stored) {
                const QDate date = QDate::fromString(QString::fromStdString(query.getColumn(0).getString()).left(10), QStringLiteral("yyyy-MM-dd"));
                return ChainBreak{date, query.getColumn(1).getInt64(), checked};
            }
            if (expected)
                running = *expected;
            ++checked;
        }
    } catch (const SQLite::Exception& e) {
        throw store::DbError(QStringLiteral("balance chain"), QString::fromUtf8(e.what()), e.getErrorCode());
    }
    return std::nullopt;
}

} // namespace backup

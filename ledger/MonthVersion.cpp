#include "MonthVersion.h"

#include "Calendar.h"
#include "Prepared.h"

#include <QDateTime>

namespace ledger {

namespace {

QVariant monthText(const QDate& month)
{
    return calendar::toStoredText(calendar::firstOfMonth(month));
}

} // namespace

qint64 monthVersion(SQLite::Database& db, const QDate& month)
{
    static const QString sql = QStringLiteral("SELECT 版 FROM %1 WHERE 年月 = ?").arg(kMonthVersionTable);
    auto query = store::Prepared::reuse(db, sql);
    query->bind(1, monthText(month));
    return query->next() ? query->integer(0) : 0;
}

qint64 bumpMonthVersion(SQLite::Database& db, const QDate& month)
{
    static const QString sql = QStringLiteral("INSERT INTO %1 (年月, 版, 登録日時) VALUES (?, 1, ?) "
                                              "ON CONFLICT (年月) DO UPDATE SET 版 = 版 + 1, 登録日時 = excluded.登録日時")
                                   .arg(kMonthVersionTable);
    {
        auto write = store::Prepared::reuse(db, sql);
        write->bind(1, monthText(month));
        write->bind(2, QDateTime::currentDateTime().toString(Qt::ISODate));
        write->run();
    }
    return monthVersion(db, month);
}

void bumpEveryMonthVersion(SQLite::Database& db)
{
    store::Prepared(db, QStringLiteral("UPDATE %1 SET 版 = 版 + 1").arg(kMonthVersionTable)).run();
}

} // namespace ledger

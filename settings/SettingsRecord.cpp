#include "SettingsRecord.h"

#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

#include <optional>

namespace settings {

namespace {

// The rowid of the first row of 自社情報, if there is one.
std::optional<qint64> firstRow(SQLite::Database& db)
{
    const QVariant id = store::scalar(db, QStringLiteral("SELECT rowid FROM 自社情報 ORDER BY rowid LIMIT 1"));
    if (id.isNull())
        return std::nullopt;
    return id.toLongLong();
}

const QString kUpdate = QStringLiteral("UPDATE 自社情報 SET 年号 = ?, 支払先自動登録 = ?, LineColor1 = ? WHERE rowid = ?");

} // namespace

SettingsValues SettingsRecord::read()
{
    SettingsValues values;
    store::skipOnFailure(QStringLiteral("Read設定"), [&] {
        const auto rows = store::queryRows(db_, QStringLiteral("SELECT 年号, 支払先自動登録, LineColor1 FROM 自社情報 ORDER BY rowid LIMIT 1"));
        if (rows.empty())
            return;
        const store::Row& record = rows.front();
        values.年号 = record[0].isNull() ? store::kEraWestern : record[0].toString();
        values.支払先自動登録 = !record[1].isNull() && record[1].toLongLong() != 0;
        values.LineColor1 = record[2].isNull() ? 0 : record[2].toLongLong();
    });
    return values;
}

void SettingsRecord::write(const SettingsValues& values)
{
    store::skipOnFailure(QStringLiteral("Entry設定"), [&] {
        store::Transaction tx(db_);
        const QVariantList fields{values.年号, values.支払先自動登録 ? 1 : 0, values.LineColor1};
        if (const std::optional<qint64> row = firstRow(db_))
            store::exec(db_, kUpdate, fields + QVariantList{*row});
        else
            store::exec(db_, QStringLiteral("INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES (?, ?, ?)"), fields);
        tx.commit();
    });
}

void SettingsRecord::reset()
{
    const SettingsValues defaults;
    store::skipOnFailure(QStringLiteral("Delete設定"), [&] {
        store::Transaction tx(db_);
        if (const std::optional<qint64> row = firstRow(db_))
            store::exec(db_, kUpdate, {defaults.年号, 1, defaults.LineColor1, *row});
        tx.commit();
    });
}

} // namespace settings

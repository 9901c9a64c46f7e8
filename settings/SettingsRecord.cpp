#include "SettingsRecord.h"

#include "RowSet.h"
#include "Skip.h"

namespace settings {

namespace {

const QString kTable = QStringLiteral("自社情報");
const QString kFirstRow = QStringLiteral("ORDER BY rowid LIMIT 1");

} // namespace

SettingsValues SettingsRecord::read()
{
    SettingsValues values;
    std::optional<store::RowSet> record;
    if (!store::skipOnFailure(QStringLiteral("Read設定 open"), [&] { record.emplace(db_, kTable, kFirstRow); }) || record->isEmpty())
        return values;
    store::skipOnFailure(QStringLiteral("Read設定 年号"), [&] {
        const QVariant era = record->field(QStringLiteral("年号"));
        values.年号 = era.isNull() ? QStringLiteral("西暦") : era.toString();
    });
    store::skipOnFailure(QStringLiteral("Read設定 支払先自動登録"), [&] {
        const QVariant flag = record->field(QStringLiteral("支払先自動登録"));
        values.支払先自動登録 = !flag.isNull() && flag.toLongLong() != 0;
    });
    store::skipOnFailure(QStringLiteral("Read設定 LineColor1"), [&] {
        const QVariant colour = record->field(QStringLiteral("LineColor1"));
        values.LineColor1 = colour.isNull() ? 0 : colour.toLongLong();
    });
    return values;
}

void SettingsRecord::write(const SettingsValues& values)
{
    std::optional<store::RowSet> record;
    if (!store::skipOnFailure(QStringLiteral("Entry設定 open"), [&] { record.emplace(db_, kTable, kFirstRow); }))
        return;
    store::skipOnFailure(QStringLiteral("Entry設定 row"), [&] {
        if (record->isEmpty())
            record->addNew();
        else
            record->edit();
    });
    store::skipOnFailure(QStringLiteral("Entry設定 年号"), [&] { record->setField(QStringLiteral("年号"), values.年号); });
    store::skipOnFailure(QStringLiteral("Entry設定 支払先自動登録"), [&] { record->setField(QStringLiteral("支払先自動登録"), values.支払先自動登録 ? 1 : 0); });
    store::skipOnFailure(QStringLiteral("Entry設定 LineColor1"), [&] { record->setField(QStringLiteral("LineColor1"), values.LineColor1); });
    store::skipOnFailure(QStringLiteral("Entry設定 update"), [&] { record->update(); });
}

void SettingsRecord::reset()
{
    std::optional<store::RowSet> record;
    if (!store::skipOnFailure(QStringLiteral("Delete設定 open"), [&] { record.emplace(db_, kTable, kFirstRow); }) || record->isEmpty())
        return;
    const SettingsValues defaults;
    store::skipOnFailure(QStringLiteral("Delete設定 reset"), [&] {
        record->edit();
        record->setField(QStringLiteral("年号"), defaults.年号);
        record->setField(QStringLiteral("支払先自動登録"), 1);
        record->setField(QStringLiteral("LineColor1"), defaults.LineColor1);
        record->update();
    });
}

} // namespace settings

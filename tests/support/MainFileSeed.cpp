#include "MainFileSeed.h"

#include "Amount.h"
#include "Sql.h"

#include <SQLiteCpp/Database.h>

namespace seed {

namespace {

SQLite::Database openMain(const TempDataDir& dir)
{
    return SQLite::Database(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
}

QString text(const QVariant& value)
{
    return value.isNull() ? QStringLiteral("-") : value.toString();
}

} // namespace

QVariant yen(qint64 amount)
{
    return QVariant(amount * ledger::Amount::kScale);
}

void storeLines(SQLite::Database& main, const std::vector<StoredLine>& lines)
{
    for (const StoredLine& line : lines)
        store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)",
            {line.date.toString(Qt::ISODate), line.lineNumber, line.payee, yen(line.scheduled), yen(line.paid), yen(line.balance)});
}

void storeLines(const TempDataDir& dir, const std::vector<StoredLine>& lines)
{
    SQLite::Database main = openMain(dir);
    storeLines(main, lines);
}

void storePayees(const TempDataDir& dir, const QStringList& names)
{
    SQLite::Database main = openMain(dir);
    // One transaction: a long list is not synced name by name.
    store::exec(main, "BEGIN");
    for (const QString& name : names)
        store::exec(main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {name});
    store::exec(main, "COMMIT");
}

void storeSettings(const TempDataDir& dir, const QVariant& era, const QVariant& autoRegister, const QVariant& lineColour)
{
    SQLite::Database main = openMain(dir);
    store::exec(main, "INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES (?, ?, ?)", {era, autoRegister, lineColour});
}

QString storedLines(SQLite::Database& main)
{
    QStringList lines;
    for (const store::Row& r : store::queryRows(main, "SELECT 日付, 行番号, 支払先名, 残高 FROM 支払予定表 ORDER BY 日付, 行番号, rowid")) {
        const QVariant balance = r[3].isNull() ? QVariant() : QVariant(r[3].toLongLong() / ledger::Amount::kScale);
        lines << QStringLiteral("%1 #%2 %3 %4").arg(r[0].toString().mid(5), r[1].toString(), text(r[2]), text(balance));
    }
    return lines.join(QStringLiteral(" / "));
}

QString storedState(SQLite::Database& main)
{
    QStringList lines;
    for (const store::Row& r : store::queryRows(main, "SELECT 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 ORDER BY 日付, 行番号, rowid")) {
        QStringList fields;
        for (const QVariant& v : r)
            fields << text(v);
        lines << fields.join(' ');
    }
    return lines.join(QStringLiteral(" / "));
}

QStringList storedPayees(SQLite::Database& main)
{
    QStringList names;
    for (const store::Row& r : store::queryRows(main, "SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid"))
        names << r[0].toString();
    return names;
}

QString storedSettings(SQLite::Database& main)
{
    QStringList rows;
    for (const store::Row& r : store::queryRows(main, "SELECT 年号, 支払先自動登録, LineColor1 FROM 自社情報 ORDER BY rowid"))
        rows << QStringLiteral("%1 %2 %3").arg(text(r[0]), text(r[1]), text(r[2]));
    return rows.join('|');
}

} // namespace seed

#pragma once

// The main file of a fresh data folder, with lines and carry-overs written straight into it
// (amounts in yen) and read back as one text.

#include "Amount.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QStringList>

#include <SQLiteCpp/Database.h>

#include <memory>

namespace ledgertest {

inline ledger::Amount yen(qint64 value)
{
    return ledger::Amount::fromUnits(value * ledger::Amount::kScale);
}

inline QVariant units(qint64 value)
{
    return QVariant(value * ledger::Amount::kScale);
}

struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();

    void line(const QString& date, int number, const QString& payee, qint64 scheduled, qint64 paid, const QVariant& balance = QVariant())
    {
        store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)",
            {date, number, payee, units(scheduled), units(paid), balance});
    }
    void carry(const QString& month, qint64 amount)
    {
        store::exec(main, "INSERT INTO 繰越額 (年月, 繰越額) VALUES (?, ?)", {month, units(amount)});
    }
    // Every stored line as "MM-DD #行番号 支払先名 残高" (yen, '-' for null), joined by ", ".
    QString lines()
    {
        QStringList shown;
        for (const store::Row& r : store::queryRows(main, "SELECT 日付, 行番号, 支払先名, 残高 FROM 支払予定表 ORDER BY 日付, 行番号, rowid"))
            shown << QStringLiteral("%1 #%2 %3 %4").arg(r[0].toString().mid(5), r[1].toString(), r[2].toString(),
                r[3].isNull() ? QStringLiteral("-") : QString::number(r[3].toLongLong() / ledger::Amount::kScale));
        return shown.join(QStringLiteral(", "));
    }
    QString carries()
    {
        QStringList shown;
        for (const store::Row& r : store::queryRows(main, "SELECT 年月, 繰越額 FROM 繰越額 ORDER BY 年月"))
            shown << r[0].toString().left(7) + ' ' + QString::number(r[1].toLongLong() / ledger::Amount::kScale);
        return shown.join(QStringLiteral(", "));
    }
};

} // namespace ledgertest

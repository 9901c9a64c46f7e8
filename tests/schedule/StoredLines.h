#pragma once

// Helpers of the month tests: stored lines and sheet lines written straight into the
// real data files, amounts given in yen.

#include "Sql.h"

#include <QString>
#include <QVariant>

#include <cstdint>

namespace monthtest {

inline QVariant yen(std::int64_t amount)
{
    return QVariant(static_cast<qlonglong>(amount * 10000));
}

inline std::int64_t inYen(const QVariant& stored)
{
    return stored.toLongLong() / 10000;
}

// One line of 支払予定表; a null QVariant leaves that field null.
inline void storeLine(SQLite::Database& main, const QString& date, int lineNumber, const QVariant& payee, const QVariant& scheduled,
    const QVariant& paid, const QVariant& balance)
{
    store::exec(main, QStringLiteral("INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)"),
        {date, lineNumber, payee, scheduled, paid, balance});
}

inline QVariant storedBalance(SQLite::Database& main, const QString& date, int lineNumber)
{
    return store::scalar(main, QStringLiteral("SELECT 残高 FROM 支払予定表 WHERE 日付 = ? AND 行番号 = ?"), {date, lineNumber});
}

inline QVariant sheetField(SQLite::Database& work, int lineNumber, const QString& field)
{
    return store::scalar(work, QStringLiteral("SELECT %1 FROM InpWork WHERE 行番号 = ?").arg(store::quoteIdentifier(field)), {lineNumber});
}

} // namespace monthtest

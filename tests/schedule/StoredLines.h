#pragma once

// Helpers of the month tests: lines written straight into the real data files, amounts
// given in yen, and lines read back as one text each.

#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QStringList>

#include <SQLiteCpp/Database.h>

#include <memory>
#include <string>

namespace monthtest {

// Both data files, made from the schema in a fresh folder and open.
struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
};

// A commit hook that counts commits into the int it is given.
inline int countCommit(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

inline QVariant yen(qint64 amount)
{
    return QVariant(amount * 10000);
}

inline void storeLine(SQLite::Database& main, const QString& date, int lineNumber, const QVariant& payee, const QVariant& scheduled, const QVariant& paid, const QVariant& balance)
{
    store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)", {date, lineNumber, payee, scheduled, paid, balance});
}

// The columns of the first row of a query joined by '|', null as "-".
inline QString row(SQLite::Database& db, const QString& sql, const QVariantList& values = {})
{
    const auto rows = store::queryRows(db, sql, values);
    if (rows.empty())
        return QStringLiteral("<none>");
    QStringList fields;
    for (const QVariant& v : rows.front())
        fields << (v.isNull() ? QStringLiteral("-") : v.toString());
    return fields.join('|');
}

// 元行番号|表示日付|日付|支払先名|予定額|支払額|残高|元日付|元支払先名 of sheet line n.
inline QString sheetLine(SQLite::Database& work, int n)
{
    return row(work, "SELECT 元行番号, 表示日付, 日付, 支払先名, 予定額 / 10000, 支払額 / 10000, 残高 / 10000, 元日付, 元支払先名 FROM InpWork WHERE 行番号 = ?", {n});
}

// Stored balances of the given dates' lines, in date and line-number order, in yen.
// The first `upTo` sheet lines as "日 支払先 予定/支払 残高" (yen, '-' for null), joined by ", ".
inline std::string sheetLines(SQLite::Database& work, int upTo)
{
    return row(work, "SELECT group_concat(coalesce(表示日付, '-') || ' ' || coalesce(支払先名, '-') || ' ' || coalesce(予定額 / 10000, '-') || '/' "
                     "|| coalesce(支払額 / 10000, '-') || ' ' || coalesce(残高 / 10000, '-'), ', ') FROM (SELECT * FROM InpWork WHERE 行番号 <= ? ORDER BY 行番号)",
        {upTo}).toStdString();
}

inline QString balances(SQLite::Database& main, const QString& from, const QString& to)
{
    return row(main, "SELECT group_concat(coalesce(残高 / 10000, '-'), ' ') FROM (SELECT 残高 FROM 支払予定表 WHERE 日付 BETWEEN ? AND ? ORDER BY 日付, 行番号)", {from, to});
}

} // namespace monthtest

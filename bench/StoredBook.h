#pragma once

// A book of stored lines for the benchmarks, written with the bare C interface: `lines`
// lines spread evenly over the days from firstDay to lastDay, fifty payees, amounts that
// go up and down, and every balance right, running on from `balance` (the balance before
// the first line); answers the last line's balance.
#include "BareSqlite.h"

#include <QDate>

namespace bare {

inline sqlite3_int64 fillStoredBook(sqlite3* db, const QDate& firstDay, const QDate& lastDay, int lines, sqlite3_int64 balance = 0)
{
    run(db, "BEGIN");
    Stmt insert(db, bare::lines("INSERT INTO %1 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)").c_str());
    const int days = static_cast<int>(firstDay.daysTo(lastDay)) + 1;
    int previousDay = -1;
    int lineNumber = 0;
    for (int i = 0; i < lines; ++i) {
        const int day = static_cast<int>(static_cast<long long>(i) * days / lines);
        lineNumber = day == previousDay ? lineNumber + 1 : 1;
        previousDay = day;
        const sqlite3_int64 scheduled = (i % 7) * 12340000LL;
        const sqlite3_int64 paid = (i % 5) * 9870000LL;
        balance += scheduled - paid;
        insert.text(1, firstDay.addDays(day).toString("yyyy-MM-dd").toStdString());
        insert.integer(2, lineNumber);
        insert.text(3, "支払先" + std::to_string(i % 50));
        insert.integer(4, scheduled);
        insert.integer(5, paid);
        insert.integer(6, balance);
        insert.done();
    }
    run(db, "COMMIT");
    return balance;
}

} // namespace bare

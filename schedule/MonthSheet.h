#pragma once

#include "Amount.h"
#include "SheetColumns.h"

#include <QDate>

#include <functional>
#include <optional>

namespace SQLite {
class Database;
}
namespace store {
class Session;
}

namespace schedule {

// Resets the sheet: deletes every line, then, when the sheet is empty, adds the blank
// lines 1 to 200 (行番号 = 元行番号 = position, amounts 0, the rest null). When the delete
// fails and lines remain, nothing is added. Each step is skipped on failure and logged;
// the writes share one transaction (a savepoint inside a larger one).
void ClearInpWork(SQLite::Database& work);

// The writes of a month load, in one transaction on the work file: ClearInpWork, then
// the stored lines of 支払予定表 dated first to last (by date, then stored line number)
// copied into the sheet's lines in 行番号 order, as many as the sheet has lines. A copied
// line gets 日付, 支払先名 and the three amounts unchanged, 元行番号 = the stored 行番号,
// 表示日付 = the day as two digits, and 元日付 / 元支払先名 = its stored date and payee.
// afterReset runs between the reset and the copy. Returns the number of lines copied.
// When the transaction cannot be committed the sheet is reset to blank lines, so that it
// never shows another month's lines.
int loadMonthSheet(store::Session& session, const QDate& first, const QDate& last, const std::function<void()>& afterReset = {});

// The carried-over amount: the balance of the last stored line dated before first (the
// highest 行番号 of the latest earlier date); 0 when there is none or its balance is
// null. Throws store::DbError.
store::Amount Get繰越額(SQLite::Database& main, const QDate& first);

// The cumulative figure: the balance of the last stored line of all (latest date, highest
// 行番号); 0 when nothing is stored, nothing (blank) when that balance is null. Throws
// store::DbError.
std::optional<store::Amount> Get累計額(SQLite::Database& main);

} // namespace schedule

#include "MonthWrite.h"

#include "Book.h"
#include "Calendar.h"
#include "CarryOverTable.h"
#include "MonthFigures.h"
#include "MonthVersion.h"
#include "Prepared.h"
#include "SaveProgress.h"

#include <algorithm>
#include <map>
#include <set>

namespace ledger {

namespace {

// The rowid of the stored line with this key, looked up before anything is written.
std::optional<qint64> findKey(store::Prepared& find, const LineKey& key)
{
    find.bind(1, calendar::toStoredText(key.date));
    find.bind(2, key.lineNumber);
    find.bind(3, key.payee);
    std::optional<qint64> rowId;
    if (find.next())
        rowId = find.integer(0);
    find.reset();
    return rowId;
}

// The line numbers that stay taken by lines of the month this write keeps and does not
// touch, by date.
std::map<QDate, std::set<qint64>> keptNumbers(const std::vector<StoredLine>& offSheet, bool deleted)
{
    std::map<QDate, std::set<qint64>> taken;
    if (!deleted) {
        for (const StoredLine& line : offSheet)
            taken[line.date].insert(line.lineNumber);
    }
    return taken;
}

// The stored lines the sheet stands for: those its lines came from and those it emptied.
std::vector<LineKey> sheetKeys(const MonthWrite& write)
{
    std::vector<LineKey> onSheet;
    for (const SheetEntry& line : write.lines) {
        if (line.original)
            onSheet.push_back(*line.original);
    }
    onSheet.insert(onSheet.end(), write.emptied.begin(), write.emptied.end());
    return onSheet;
}

// The rows the write deletes: the emptied lines, and the month's lines the sheet does not
// show when the write replaces them too.
std::vector<qint64> rowsToRemove(store::Prepared& find, const MonthWrite& write, const std::vector<StoredLine>& offSheet)
{
    std::vector<qint64> removals;
    for (const LineKey& key : write.emptied) {
        if (const auto rowId = findKey(find, key))
            removals.push_back(*rowId);
    }
    if (write.deleteOffSheet) {
        for (const StoredLine& line : offSheet)
            removals.push_back(line.rowId);
    }
    return removals;
}

// Rewrites each sheet line's original or adds it, with its number and its balance from the
// month's figures; answers how many were written.
int storeSheetLines(SQLite::Database& db, const MonthWrite& write, const std::vector<std::optional<qint64>>& originals,
    std::map<QDate, std::set<qint64>>& taken, ProgressSpan* lineProgress)
{
    auto updateUse = store::Prepared::reuse(db, QStringLiteral("UPDATE %1 SET 日付 = ?, 行番号 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ? WHERE rowid = ?").arg(kLinesTable));
    store::Prepared& update = *updateUse;
    auto insertUse = store::Prepared::reuse(db, QStringLiteral("INSERT INTO %1 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)").arg(kLinesTable));
    store::Prepared& insert = *insertUse;
    // Each line goes in with the balance the month's figures give it from the carry-over the
    // sheet shows; the balance run after it then finds them right unless lines the sheet
    // does not show are kept among them.
    std::vector<LineAmounts> amounts;
    amounts.reserve(write.lines.size());
    for (const SheetEntry& line : write.lines)
        amounts.push_back({line.date, !line.payee.isEmpty(), line.scheduled, line.paid});
    const MonthFigures figures = figureMonth(write.month, write.carry, amounts);
    if (lineProgress)
        lineProgress->start(static_cast<qint64>(write.lines.size()));
    for (std::size_t i = 0; i < write.lines.size(); ++i) {
        const SheetEntry& line = write.lines[i];
        std::set<qint64>& numbers = taken[line.date];
        qint64 number = line.position;
        if (numbers.count(number))
            number = *numbers.rbegin() + 1;
        numbers.insert(number);
        store::Prepared& statement = originals[i] ? update : insert;
        statement.bind(1, calendar::toStoredText(line.date));
        statement.bind(2, number);
        statement.bind(3, line.payee);
        bindAmount(statement, 4, line.scheduled);
        bindAmount(statement, 5, line.paid);
        bindAmount(statement, 6, figures.lines[i].balance);
        if (originals[i])
            statement.bind(7, *originals[i]);
        statement.run();
        if (lineProgress)
            lineProgress->advance(static_cast<qint64>(i + 1));
    }
    if (lineProgress)
        lineProgress->finish();

    return static_cast<int>(write.lines.size());
}

} // namespace

std::vector<StoredLine> offSheetLines(SQLite::Database& db, const QDate& month, const std::vector<LineKey>& onSheet)
{
    std::vector<StoredLine> lines = monthLines(db, month);
    std::erase_if(lines, [&](const StoredLine& line) { return std::find(onSheet.begin(), onSheet.end(), line.key()) != onSheet.end(); });
    return lines;
}

WriteOutcome writeMonth(SQLite::Database& db, const MonthWrite& write, ProgressSpan* lineProgress, ProgressSpan* balanceProgress)
{
    WriteOutcome outcome;
    const QDate first = calendar::firstOfMonth(write.month);
    const std::vector<StoredLine> offSheet = offSheetLines(db, first, sheetKeys(write));
    std::map<QDate, std::set<qint64>> taken = keptNumbers(offSheet, write.deleteOffSheet);

    auto findUse = store::Prepared::reuse(db, QStringLiteral("SELECT rowid FROM %1 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1").arg(kLinesTable));
    store::Prepared& find = *findUse;
    std::vector<std::optional<qint64>> originals;
    originals.reserve(write.lines.size());
    for (const SheetEntry& line : write.lines)
        originals.push_back(line.original ? findKey(find, *line.original) : std::nullopt);
    const std::vector<qint64> removals = rowsToRemove(find, write, offSheet);

    auto removeUse = store::Prepared::reuse(db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kLinesTable));
    store::Prepared& remove = *removeUse;
    for (qint64 rowId : removals) {
        remove.bind(1, rowId);
        outcome.removed += remove.run();
    }
    outcome.stored = storeSheetLines(db, write, originals, taken, lineProgress);

    Book book(db);
    const Amount broughtIn = book.opening(first).broughtIn;
    writeCarry(db, first, write.carry == broughtIn ? std::nullopt : std::optional(write.carry));
    book.rebalanceFrom(first, balanceProgress);
    outcome.version = bumpMonthVersion(db, first);
    return outcome;
}

} // namespace ledger

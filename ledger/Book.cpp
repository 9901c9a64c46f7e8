#include "Book.h"

#include "BalanceChain.h"
#include "Calendar.h"
#include "CarryOverTable.h"
#include "MonthVersion.h"
#include "Prepared.h"
#include "SaveProgress.h"

#include <vector>

namespace ledger {

OverflowError::OverflowError(QDate date, QString payee)
    : std::runtime_error("amount out of range")
    , date_(date)
    , payee_(std::move(payee))
{
}

namespace {

// A line of a balance run, read at once so that the statement is finished before the
// first write.
struct RunLine {
    qint64 rowId = 0;
    QDate date;
    bool noPayee = false;
    std::optional<Amount> scheduled;
    std::optional<Amount> paid;
    std::optional<Amount> balance;
};

constexpr qint64 kCheckUnits = 2; // checking and writing a line costs about twice reading it

std::vector<RunLine> readRun(SQLite::Database& db, const QDate& first, ProgressSpan* progress)
{
    const QVariant from = calendar::toStoredText(first);
    if (progress) {
        auto countUse = store::Prepared::reuse(db, QStringLiteral("SELECT count(*) FROM %1 WHERE 日付 >= ?").arg(kLinesTable));
        store::Prepared& count = *countUse;
        count.bind(1, from);
        progress->start(count.next() ? count.integer(0) * (1 + kCheckUnits) : 0);
        count.reset();
    }
    auto queryUse = store::Prepared::reuse(db,
        QStringLiteral("SELECT rowid, 日付, 支払先名, 予定額, 支払額, 残高 FROM %1 WHERE 日付 >= ? ORDER BY 日付, 行番号, rowid").arg(kLinesTable));
    store::Prepared& query = *queryUse;
    query.bind(1, from);
    std::vector<RunLine> lines;
    while (query.next()) {
        RunLine& line = lines.emplace_back();
        line.rowId = query.integer(0);
        line.date = dateAt(query, 1);
        line.noPayee = query.isBlank(2);
        line.scheduled = amountAt(query, 3);
        line.paid = amountAt(query, 4);
        line.balance = amountAt(query, 5);
        if (progress)
            progress->advance(static_cast<qint64>(lines.size()));
    }
    query.reset();
    return lines;
}

QString payeeOf(SQLite::Database& db, qint64 rowId)
{
    auto queryUse = store::Prepared::reuse(db, QStringLiteral("SELECT 支払先名 FROM %1 WHERE rowid = ?").arg(kLinesTable));
    store::Prepared& query = *queryUse;
    query.bind(1, rowId);
    const QString payee = query.next() ? query.value(0).toString() : QString();
    query.reset();
    return payee;
}

} // namespace

Amount Book::balanceBefore(const QDate& month)
{
    // The latest line of the chain with a balance (a line without one passes the balance
    // before it on; a line without a payee is outside the chain, whatever it holds).
    auto lineUse = store::Prepared::reuse(db_,
        QStringLiteral("SELECT 日付, 残高 FROM %1 WHERE 日付 < ? AND 残高 IS NOT NULL AND 支払先名 <> '' ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1").arg(kLinesTable));
    store::Prepared& line = *lineUse;
    line.bind(1, month.isValid() ? QVariant(calendar::toStoredText(calendar::firstOfMonth(month))) : QVariant(QStringLiteral("9999-12-32")));
    std::optional<std::pair<QDate, Amount>> last;
    if (line.next()) {
        const QDate date = calendar::fromStoredText(line.value(0).toString().left(10));
        last = std::pair(calendar::firstOfMonth(date), amountAt(line, 1).value_or(Amount()));
    }
    line.reset();
    const auto carry = latestCarryBefore(db_, month);
    if (carry && (!last || !last->first.isValid() || carry->first > last->first))
        return carry->second;
    return last ? last->second : Amount();
}

MonthOpening Book::opening(const QDate& month)
{
    return {balanceBefore(month), ownCarry(db_, month)};
}

Amount Book::cumulative()
{
    return balanceBefore(QDate());
}

void Book::rebalanceFrom(const QDate& month, ProgressSpan* progress)
{
    const QDate first = calendar::firstOfMonth(month);
    if (!first.isValid())
        return;
    const CarryOvers carries = readCarryOvers(db_, first);
    BalanceChain chain(first, opening(first).carry(), carries);
    std::vector<RunLine> lines = readRun(db_, first, progress);
    const qint64 read = static_cast<qint64>(lines.size());
    std::vector<std::pair<qint64, std::optional<Amount>>> changed;
    for (const RunLine& line : lines) {
        const LineBalance balance = chain.next({line.date, !line.noPayee, line.scheduled, line.paid});
        if (balance.kind == LineBalance::Outside)
            continue;
        if (balance.kind == LineBalance::Overflow)
            throw OverflowError(line.date, payeeOf(db_, line.rowId));
        if (balance.balance() != line.balance)
            changed.emplace_back(line.rowId, balance.balance());
    }
    lines.clear();
    auto updateUse = store::Prepared::reuse(db_, QStringLiteral("UPDATE %1 SET 残高 = ? WHERE rowid = ?").arg(kLinesTable));
    store::Prepared& update = *updateUse;
    qint64 done = 0;
    const qint64 step = changed.empty() ? 0 : std::max<qint64>(1, read / static_cast<qint64>(changed.size()));
    for (const auto& [rowId, balance] : changed) {
        if (balance)
            update.bind(1, qint64(balance->units()));
        else
            update.bindNull(1);
        update.bind(2, rowId);
        update.run();
        if (progress)
            progress->advance(read + kCheckUnits * (done += step));
    }
    if (progress)
        progress->finish();
}

std::optional<StoredLine> Book::deleteLine(const LineKey& key)
{
    auto findUse = store::Prepared::reuse(db_,
        QStringLiteral("SELECT rowid, 予定額, 支払額, 残高 FROM %1 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1").arg(kLinesTable));
    store::Prepared& find = *findUse;
    find.bind(1, QVariant(calendar::toStoredText(key.date)));
    find.bind(2, key.lineNumber);
    find.bind(3, QVariant(key.payee));
    if (!find.next())
        return std::nullopt;
    const StoredLine line{find.integer(0), key.date, key.lineNumber, key.payee, amountAt(find, 1), amountAt(find, 2), amountAt(find, 3)};
    find.reset();
    auto removeUse = store::Prepared::reuse(db_, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kLinesTable));
    removeUse->bind(1, line.rowId);
    removeUse->run();
    rebalanceFrom(key.date);
    bumpMonthVersion(db_, key.date);
    return line;
}

void Book::restoreLine(const StoredLine& line)
{
    auto insertUse = store::Prepared::reuse(db_,
        QStringLiteral("INSERT INTO %1 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)").arg(kLinesTable));
    store::Prepared& insert = *insertUse;
    insert.bind(1, QVariant(calendar::toStoredText(line.date)));
    insert.bind(2, line.lineNumber);
    insert.bind(3, QVariant(line.payee));
    bindAmount(insert, 4, line.scheduled);
    bindAmount(insert, 5, line.paid);
    bindAmount(insert, 6, line.balance);
    insert.run();
    rebalanceFrom(line.date);
    bumpMonthVersion(db_, line.date);
}

void Book::deleteAll()
{
    store::Prepared(db_, QStringLiteral("DELETE FROM %1").arg(kLinesTable)).run();
    store::Prepared(db_, QStringLiteral("DELETE FROM %1").arg(kCarryTable)).run();
    bumpEveryMonthVersion(db_);
}

BookSummary Book::summary(const QString& schema)
{
    auto queryUse = store::Prepared::reuse(db_, QStringLiteral("SELECT count(*), max(日付) FROM %1.%2").arg(schema, kLinesTable));
    store::Prepared& query = *queryUse;
    BookSummary summary;
    if (query.next()) {
        summary.storedLines = query.integer(0);
        const QDate latest = calendar::fromStoredText(query.value(1).toString().left(10));
        if (latest.isValid())
            summary.latestMonth = calendar::firstOfMonth(latest);
    }
    query.reset();
    return summary;
}

} // namespace ledger

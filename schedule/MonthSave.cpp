#include "MonthSave.h"

#include "Balances.h"
#include "Calendar.h"
#include "Prepared.h"
#include "SaveProgress.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace schedule {

using namespace calendar;

namespace {

struct SheetLine {
    qint64 rowId = 0;
    qint64 position = 0;
    QString payee;
    bool hasPayee = false;
    QDate date;
    QVariant scheduled, paid, balance;
    bool hasAmount = false; // an amount other than 0
    // The stored original of a loaded or saved line: the line's identity in storage.
    bool hasOriginal = false;
    QVariant originalNumber, originalDate, originalPayee;
    std::optional<qint64> storedRowId; // the original's rowid, found before any write
    bool store = false;          // written by this save
    bool removeOriginal = false; // emptied: its stored original goes
};

bool filledText(const QVariant& value)
{
    return !value.isNull() && !value.toString().isEmpty();
}

bool nonZero(const QVariant& amount)
{
    const auto value = store::Amount::fromVariant(amount);
    return value && !value->isZero();
}

SheetLine readLine(const store::Row& r, qint64 position)
{
    SheetLine line;
    line.rowId = r[0].toLongLong();
    line.position = position;
    line.date = r[1].isNull() ? QDate() : fromStoredText(r[1].toString());
    line.hasPayee = filledText(r[2]);
    line.payee = r[2].toString();
    line.scheduled = r[3];
    line.paid = r[4];
    line.balance = r[5];
    line.hasAmount = nonZero(r[3]) || nonZero(r[4]);
    line.originalNumber = r[6];
    line.originalDate = r[7];
    line.originalPayee = r[8];
    line.hasOriginal = !r[7].isNull() && !r[8].isNull() && !r[6].isNull();
    line.store = line.hasPayee && line.date.isValid();
    line.removeOriginal = line.hasOriginal && !line.hasPayee && !line.hasAmount;
    return line;
}

std::vector<SheetLine> readSheet(SQLite::Database& work)
{
    const auto rows = store::queryRows(work,
        QStringLiteral("SELECT rowid, 日付, 支払先名, 予定額, 支払額, 残高, 元行番号, 元日付, 元支払先名 FROM InpWork ORDER BY 行番号, rowid"));
    std::vector<SheetLine> lines;
    lines.reserve(rows.size());
    qint64 position = 0;
    for (const store::Row& r : rows)
        lines.push_back(readLine(r, ++position));
    return lines;
}

// The lines that hold a payee or an amount but cannot be stored, because they lack a
// valid date or a payee: "3行目「東京電力」" joined by "、".
QString incompleteLines(const std::vector<SheetLine>& lines)
{
    QStringList named;
    for (const SheetLine& line : lines) {
        if (line.store || (!line.hasPayee && !line.hasAmount))
            continue;
        const QString payee = line.hasPayee ? line.payee : QStringLiteral("支払先なし");
        named << QStringLiteral("%1行目「%2」").arg(line.position).arg(payee);
    }
    return named.join(QStringLiteral("、"));
}

// Finds the stored line each loaded line came from, by its identity, before anything is
// written: two lines of one payee on one day are two stored lines.
void findOriginals(SQLite::Database& main, std::vector<SheetLine>& lines)
{
    store::Prepared find(main, QStringLiteral("SELECT rowid FROM 支払予定表 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1"));
    for (SheetLine& line : lines) {
        if (!line.hasOriginal)
            continue;
        find.bind(1, line.originalDate);
        find.bind(2, line.originalNumber);
        find.bind(3, line.originalPayee);
        if (find.next())
            line.storedRowId = find.integer(0);
        find.reset();
    }
}

void followStoredLines(SQLite::Database& work, const std::vector<SheetLine>& lines)
{
    store::Transaction tx(work);
    store::Prepared stored(work, QStringLiteral("UPDATE InpWork SET 元行番号 = ?, 元日付 = ?, 元支払先名 = ? WHERE rowid = ?"));
    store::Prepared emptied(work, QStringLiteral("UPDATE InpWork SET 元日付 = NULL, 元支払先名 = NULL WHERE rowid = ?"));
    for (const SheetLine& line : lines) {
        const bool follows = line.hasOriginal && line.originalNumber.toLongLong() == line.position
            && line.originalDate.toString() == toStoredText(line.date) && line.originalPayee.toString() == line.payee;
        if (line.store && !follows) {
            tx.step(QStringLiteral("follow a stored line"), [&] {
                stored.bind(1, line.position);
                stored.bind(2, QVariant(toStoredText(line.date)));
                stored.bind(3, QVariant(line.payee));
                stored.bind(4, line.rowId);
                stored.run();
            }, store::Transaction::Step::OneStatement);
        } else if (line.removeOriginal) {
            tx.step(QStringLiteral("forget a removed original"), [&] { emptied.exec({line.rowId}); }, store::Transaction::Step::OneStatement);
        }
    }
    tx.commit();
}

// The statements that store one sheet line, prepared once for the whole sheet.
class LineWriter {
public:
    explicit LineWriter(SQLite::Database& main)
        : update_(main, QStringLiteral("UPDATE 支払予定表 SET 日付 = ?, 行番号 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ? WHERE rowid = ?"))
        , insert_(main, QStringLiteral("INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)"))
        , remove_(main, QStringLiteral("DELETE FROM 支払予定表 WHERE rowid = ?"))
    {
    }

    // Rewrites the stored line the sheet line came from, or adds the line.
    void write(const SheetLine& line)
    {
        store::Prepared& write = line.storedRowId ? update_ : insert_;
        write.bind(1, QVariant(toStoredText(line.date)));
        write.bind(2, line.position);
        write.bind(3, QVariant(line.payee));
        write.bind(4, line.scheduled);
        write.bind(5, line.paid);
        write.bind(6, line.balance);
        if (line.storedRowId)
            write.bind(7, *line.storedRowId);
        write.run();
    }

    // Removes the stored line an emptied sheet line came from.
    int remove(const SheetLine& line) { return line.storedRowId ? remove_.exec({*line.storedRowId}) : 0; }

private:
    store::Prepared update_;
    store::Prepared insert_;
    store::Prepared remove_;
};

void storeLines(store::Transaction& tx, SQLite::Database& main, const std::vector<SheetLine>& lines, SaveResult& result,
    ProgressSpan& progress)
{
    LineWriter writer(main);
    for (const SheetLine& line : lines) {
        if (line.removeOriginal) {
            tx.step(QStringLiteral("remove an emptied line"), [&] { result.replaced += writer.remove(line); }, store::Transaction::Step::OneStatement);
        } else if (line.store) {
            const bool done = tx.step(QStringLiteral("store a line"), [&] { writer.write(line); }, store::Transaction::Step::OneStatement);
            ++(done ? result.stored : result.skipped);
        }
        progress.advance(line.position);
    }
    progress.finish();
}

} // namespace

SaveResult Entry支払予定表(SQLite::Database& main, SQLite::Database& work, const QDate& month, store::Amount carry,
    const std::function<void(int)>& showProgress)
{
    SaveResult result;
    std::vector<SheetLine> lines;
    store::skipOnFailure(QStringLiteral("read the sheet"), [&] { lines = readSheet(work); });
    // The two stretches meet at 60, which is shown once.
    int shown = -1;
    const auto show = [&](int value) {
        if (value > shown && showProgress)
            showProgress(value);
        shown = std::max(shown, value);
    };
    ProgressSpan lineBar(show, kSaveBarStart, kSaveBarLinesDone);
    ProgressSpan balanceBar(show, kSaveBarLinesDone, kSaveBarDone);
    lineBar.start(static_cast<qint64>(lines.size()));

    result.incomplete = incompleteLines(lines);
    if (!result.incomplete.isEmpty()) {
        result.kind = SaveResult::Kind::Incomplete;
        return result;
    }

    try {
        store::Transaction tx(main);
        findOriginals(main, lines);
        storeLines(tx, main, lines, result, lineBar);
        Calc残高(main, firstOfMonth(month), carry, &balanceBar);
        tx.commit();
        balanceBar.finish();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("Entry支払予定表"), e);
        result.kind = SaveResult::Kind::Failed;
        result.failure = QString::fromUtf8(e.what());
        result.stored = 0;
        result.replaced = 0;
        return result;
    }

    store::skipOnFailure(QStringLiteral("sheet follows the save"), [&] { followStoredLines(work, lines); });
    return result;
}

} // namespace schedule

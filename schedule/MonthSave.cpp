#include "MonthSave.h"

#include "Balances.h"
#include "Calendar.h"
#include "GridEditing.h"
#include "Prepared.h"
#include "Sql.h"
#include "Skip.h"
#include "Transaction.h"

#include <QHash>
#include <QStringList>

#include <sqlite3.h>

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
    // The stored original of a loaded or saved line.
    bool hasOriginal = false;
    QVariant originalNumber, originalDate, originalPayee;
    bool store = false;          // written by this save
    bool removeOriginal = false; // its stored original goes first
};

bool filledText(const QVariant& value)
{
    return !value.isNull() && !value.toString().isEmpty();
}

std::vector<SheetLine> readSheet(SQLite::Database& work)
{
    const auto rows = store::queryRows(work,
        QStringLiteral("SELECT rowid, 日付, 支払先名, 予定額, 支払額, 残高, 元行番号, 元日付, 元支払先名 FROM InpWork ORDER BY 行番号, rowid"));
    std::vector<SheetLine> lines;
    lines.reserve(rows.size());
    qint64 position = 0;
    for (const store::Row& r : rows) {
        SheetLine line;
        line.rowId = r[0].toLongLong();
        line.position = ++position;
        line.date = r[1].isNull() ? QDate() : fromStoredText(r[1].toString());
        line.hasPayee = filledText(r[2]);
        line.payee = r[2].toString();
        line.scheduled = r[3];
        line.paid = r[4];
        line.balance = r[5];
        line.originalNumber = r[6];
        line.originalDate = r[7];
        line.originalPayee = r[8];
        line.hasOriginal = !r[7].isNull() && !r[8].isNull() && !r[6].isNull();
        line.store = line.hasPayee && line.date.isValid();
        if (line.hasOriginal) {
            const bool changed = r[7].toString() != toStoredText(line.date) || r[8].toString() != line.payee;
            line.removeOriginal = line.store ? changed : !line.hasPayee;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

QString doubledLines(const std::vector<SheetLine>& lines)
{
    QHash<QString, int> seen;
    QStringList doubled;
    for (const SheetLine& line : lines) {
        if (!line.store)
            continue;
        const QString what = toSlashText(line.date) + QStringLiteral(" の「") + line.payee + QStringLiteral("」");
        if (++seen[what] == 2)
            doubled << what;
    }
    return doubled.join(QStringLiteral("、"));
}

} // namespace

namespace {

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
            });
        } else if (line.removeOriginal) {
            tx.step(QStringLiteral("forget a removed original"), [&] {
                emptied.bind(1, line.rowId);
                emptied.run();
            });
        }
    }
    tx.commit();
}

} // namespace

namespace {

// Removes the stored originals of loaded lines whose date or payee changed or whose payee
// was emptied, so that they do not come back beside the new lines.
void removeReplacedOriginals(store::Transaction& tx, SQLite::Database& main, const std::vector<SheetLine>& lines, SaveResult& result)
{
    store::Prepared remove(main, QStringLiteral("DELETE FROM 支払予定表 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ?"));
    for (const SheetLine& line : lines) {
        if (!line.removeOriginal)
            continue;
        tx.step(QStringLiteral("remove a replaced original"), [&] {
            remove.bind(1, line.originalDate);
            remove.bind(2, line.originalNumber);
            remove.bind(3, line.originalPayee);
            result.replaced += remove.run();
        });
    }
}

// The statements that store one sheet line, prepared once for the whole sheet.
class LineWriter {
public:
    explicit LineWriter(SQLite::Database& main)
        : find_(main, QStringLiteral("SELECT rowid FROM 支払予定表 WHERE 日付 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1"))
        , update_(main, QStringLiteral("UPDATE 支払予定表 SET 日付 = ?, 行番号 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ? WHERE rowid = ?"))
        , insert_(main, QStringLiteral("INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)"))
    {
    }

    // Replaces the stored line of the same date and payee, or adds the line.
    void write(const SheetLine& line)
    {
        const QString day = toStoredText(line.date);
        find_.bind(1, QVariant(day));
        find_.bind(2, QVariant(line.payee));
        std::optional<qint64> existing;
        if (find_.next())
            existing = find_.integer(0);
        find_.reset();
        store::Prepared& write = existing ? update_ : insert_;
        write.bind(1, QVariant(day));
        write.bind(2, line.position);
        write.bind(3, QVariant(line.payee));
        write.bind(4, line.scheduled);
        write.bind(5, line.paid);
        write.bind(6, line.balance);
        if (existing)
            write.bind(7, *existing);
        write.run();
    }

private:
    store::Prepared find_;
    store::Prepared update_;
    store::Prepared insert_;
};

void storeLines(store::Transaction& tx, SQLite::Database& main, const std::vector<SheetLine>& lines, SaveResult& result,
    const std::function<void(int)>& show)
{
    SaveProgress progress(static_cast<qint64>(lines.size()));
    LineWriter writer(main);
    for (const SheetLine& line : lines) {
        if (line.hasPayee && !line.date.isValid()) {
            store::logSkipped(QStringLiteral("store a line"), std::runtime_error("a line with a payee but no date is not stored"));
            ++result.skipped;
        } else if (line.store) {
            const bool done = tx.step(QStringLiteral("store a line"), [&] { writer.write(line); });
            ++(done ? result.stored : result.skipped);
        }
        show(progress.advance(line.position));
    }
}

} // namespace

SaveResult Entry支払予定表(SQLite::Database& main, SQLite::Database& work, const QDate& month, store::Amount carry,
    const std::function<void(int)>& showProgress)
{
    SaveResult result;
    const auto show = [&](int value) {
        if (showProgress)
            showProgress(value);
    };
    std::vector<SheetLine> lines;
    store::skipOnFailure(QStringLiteral("read the sheet"), [&] { lines = readSheet(work); });
    show(10);

    result.doubled = doubledLines(lines);
    if (!result.doubled.isEmpty()) {
        result.kind = SaveResult::Kind::Duplicate;
        return result;
    }

    try {
        store::Transaction tx(main);
        removeReplacedOriginals(tx, main, lines, result);
        storeLines(tx, main, lines, result, show);
        Calc残高(main, firstOfMonth(month), carry);
        tx.commit();
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

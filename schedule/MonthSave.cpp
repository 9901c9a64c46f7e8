#include "MonthSave.h"

#include "Balances.h"
#include "Calendar.h"
#include "GridEditing.h"
#include "Prepared.h"
#include "Skip.h"
#include "Transaction.h"

#include <QHash>
#include <QStringList>

#include <sqlite3.h>

#include <optional>

namespace schedule {

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

StepSavepoint::StepSavepoint(SQLite::Database& db)
    : db_(db)
    , begin_(std::make_unique<Prepared>(db, QStringLiteral("SAVEPOINT one_step")))
    , release_(std::make_unique<Prepared>(db, QStringLiteral("RELEASE one_step")))
    , rollback_(std::make_unique<Prepared>(db, QStringLiteral("ROLLBACK TO one_step")))
{
}

StepSavepoint::~StepSavepoint() = default;

bool StepSavepoint::run(const QString& what, const std::function<void()>& body)
{
    begin_->run();
    try {
        body();
        release_->run();
        return true;
    } catch (const store::DbError& e) {
        store::logSkipped(what, e);
        if (isFileFailure(e.code()) || !inTransaction(db_))
            throw;
    } catch (const std::exception& e) {
        store::logSkipped(what, e);
        if (!inTransaction(db_))
            throw;
    }
    rollback_->run();
    release_->run();
    return false;
}

namespace {

void followStoredLines(SQLite::Database& work, const std::vector<SheetLine>& lines)
{
    store::Transaction tx(work);
    Prepared stored(work, QStringLiteral("UPDATE InpWork SET 元行番号 = ?, 元日付 = ?, 元支払先名 = ? WHERE rowid = ?"));
    Prepared emptied(work, QStringLiteral("UPDATE InpWork SET 元日付 = NULL, 元支払先名 = NULL WHERE rowid = ?"));
    for (const SheetLine& line : lines) {
        const bool follows = line.hasOriginal && line.originalNumber.toLongLong() == line.position
            && line.originalDate.toString() == toStoredText(line.date) && line.originalPayee.toString() == line.payee;
        if (line.store && !follows) {
            writeStep(work, QStringLiteral("follow a stored line"), [&] {
                stored.bind(1, line.position);
                stored.bind(2, QVariant(toStoredText(line.date)));
                stored.bind(3, QVariant(line.payee));
                stored.bind(4, line.rowId);
                stored.run();
            });
        } else if (line.removeOriginal) {
            writeStep(work, QStringLiteral("forget a removed original"), [&] {
                emptied.bind(1, line.rowId);
                emptied.run();
            });
        }
    }
    tx.commit();
}

} // namespace

bool isFileFailure(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_NOMEM:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
        return true;
    default:
        return false;
    }
}

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
    SaveProgress progress(static_cast<qint64>(lines.size()));
    show(10);

    result.doubled = doubledLines(lines);
    if (!result.doubled.isEmpty()) {
        result.kind = SaveResult::Kind::Duplicate;
        return result;
    }

    try {
        store::Transaction tx(main);
        StepSavepoint step(main);
        Prepared removeOriginal(main, QStringLiteral("DELETE FROM 支払予定表 WHERE 日付 = ? AND 行番号 = ? AND 支払先名 = ?"));
        for (const SheetLine& line : lines) {
            if (!line.removeOriginal)
                continue;
            step.run(QStringLiteral("remove a replaced original"), [&] {
                removeOriginal.bind(1, line.originalDate);
                removeOriginal.bind(2, line.originalNumber);
                removeOriginal.bind(3, line.originalPayee);
                result.replaced += removeOriginal.run();
            });
        }

        Prepared find(main, QStringLiteral("SELECT rowid FROM 支払予定表 WHERE 日付 = ? AND 支払先名 = ? ORDER BY rowid LIMIT 1"));
        Prepared update(main, QStringLiteral("UPDATE 支払予定表 SET 日付 = ?, 行番号 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ? WHERE rowid = ?"));
        Prepared insert(main, QStringLiteral("INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)"));
        for (const SheetLine& line : lines) {
            if (line.hasPayee && !line.date.isValid()) {
                store::logSkipped(QStringLiteral("store a line"), std::runtime_error("a line with a payee but no date is not stored"));
                ++result.skipped;
            } else if (line.store) {
                const bool done = step.run(QStringLiteral("store a line"), [&] {
                    const QString day = toStoredText(line.date);
                    find.bind(1, QVariant(day));
                    find.bind(2, QVariant(line.payee));
                    std::optional<qint64> existing;
                    if (find.next())
                        existing = find.integer(0);
                    find.reset();
                    Prepared& write = existing ? update : insert;
                    write.bind(1, QVariant(day));
                    write.bind(2, line.position);
                    write.bind(3, QVariant(line.payee));
                    write.bind(4, line.scheduled);
                    write.bind(5, line.paid);
                    write.bind(6, line.balance);
                    if (existing)
                        write.bind(7, *existing);
                    write.run();
                });
                ++(done ? result.stored : result.skipped);
            }
            show(progress.advance(line.position));
        }

        QString first;
        QString last;
        if (GetMonthRange(month, first, last))
            Calc残高(main, fromSlashText(first), carry);
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

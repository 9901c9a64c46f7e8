#include "MonthSheet.h"

#include "Calendar.h"
#include "Prepared.h"
#include "Session.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

namespace schedule {

using namespace calendar;

namespace {

QString dayText(const QVariant& storedDate)
{
    const QString text = storedDate.toString();
    const QDate date = fromStoredText(text);
    if (date.isValid())
        return QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
    return text.right(2);
}

void copyMonth(store::Transaction& tx, SQLite::Database& main, SQLite::Database& work, const QDate& first, const QDate& last, int& copied)
{
    std::vector<qint64> sheet;
    const std::vector<store::Row> month = store::queryRows(main,
            QStringLiteral("SELECT 日付, 行番号, 支払先名, 予定額, 支払額, 残高 FROM 支払予定表 "
                           "WHERE 日付 >= ? AND 日付 <= ? ORDER BY 日付, 行番号, rowid LIMIT ?"),
            {toStoredText(first), toStoredText(last), kSheetLines});
    if (month.empty())
        return;
    store::Prepared lines(work, QStringLiteral("SELECT rowid FROM InpWork ORDER BY 行番号, rowid"));
    while (lines.next())
        sheet.push_back(lines.integer(0));
    lines.reset();
    const size_t count = std::min(month.size(), sheet.size());
    if (count == 0)
        return;
    store::Prepared update(work,
        QStringLiteral("UPDATE InpWork SET 日付 = ?, 元行番号 = ?, 表示日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ?, "
                       "元日付 = ?, 元支払先名 = ? WHERE rowid = ?"));
    for (size_t i = 0; i < count; ++i) {
        const store::Row& stored = month[i];
        const bool done = tx.step(QStringLiteral("copy a stored line"), [&] {
            update.bind(1, stored[0]);
            update.bind(2, stored[1]);
            update.bind(3, QVariant(dayText(stored[0])));
            update.bind(4, stored[2]);
            update.bind(5, stored[3]);
            update.bind(6, stored[4]);
            update.bind(7, stored[5]);
            update.bind(8, stored[0]);
            update.bind(9, stored[2]);
            update.bind(10, sheet[i]);
            update.run();
        }, store::Transaction::Step::OneStatement);
        if (done)
            ++copied;
    }
}

// The steps of ClearInpWork, inside the transaction tx.
void resetSheet(store::Transaction& tx, SQLite::Database& work)
{
    tx.step(QStringLiteral("ClearInpWork delete"), [&] { store::exec(work, QStringLiteral("DELETE FROM InpWork")); });
    const bool empty = store::scalar(work, QStringLiteral("SELECT count(*) FROM InpWork")).toLongLong() == 0;
    if (empty) {
        store::Prepared add(work, QStringLiteral("INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)"));
        for (int i = 1; i <= kSheetLines; ++i)
            tx.step(QStringLiteral("ClearInpWork add"), [&] {
                add.bind(1, qint64(i));
                add.bind(2, qint64(i));
                add.run();
            }, store::Transaction::Step::OneStatement);
    }
}

} // namespace

void ClearInpWork(SQLite::Database& work)
{
    store::Transaction tx(work);
    resetSheet(tx, work);
    tx.commit();
}

int loadMonthSheet(store::Session& session, const QDate& first, const QDate& last, const std::function<void()>& afterReset)
{
    auto& work = session.workDb();
    int copied = 0;
    try {
        store::Transaction tx(work);
        resetSheet(tx, work);
        if (afterReset)
            afterReset();
        if (first.isValid() && last.isValid())
            copyMonth(tx, session.mainDb(), work, first, last, copied);
        tx.commit();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("load the month"), e);
        copied = 0;
        store::skipOnFailure(QStringLiteral("ClearInpWork after a failed load"), [&] { ClearInpWork(work); });
    }
    return copied;
}

store::Amount Get繰越額(SQLite::Database& main, const QDate& first)
{
    const QVariant balance = store::scalar(main,
        QStringLiteral("SELECT 残高 FROM 支払予定表 WHERE 日付 < ? ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1"), {toStoredText(first)});
    return store::Amount::fromVariant(balance).value_or(store::Amount());
}

std::optional<store::Amount> Get累計額(SQLite::Database& main)
{
    const auto rows = store::queryRows(main, QStringLiteral("SELECT 残高 FROM 支払予定表 ORDER BY 日付 DESC, 行番号 DESC, rowid DESC LIMIT 1"));
    if (rows.empty())
        return store::Amount();
    return store::Amount::fromVariant(rows.front().front());
}

} // namespace schedule

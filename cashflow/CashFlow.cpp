#include "CashFlow.h"

#include "MonthSheet.h"
#include "Sql.h"

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>

namespace cashflow {

namespace {

using store::Amount;

const char* const kRangeSql = "SELECT 日付, 予定額, 支払額, 残高 FROM 支払予定表 "
                              "WHERE 日付 >= ? AND 日付 < ? ORDER BY 日付, 行番号, rowid";

QString storedText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// A stored day read from the range statement: the date, and the year and month as written.
struct StoredDay {
    QDate date;
    int year = 0;
    int month = 0;
};

// "yyyy-mm-dd" without going through a general date parser; anything else is read by
// QDate's own parser.
StoredDay parseStoredDate(const char* text, int size)
{
    auto digits = [&](int at, int count) {
        int value = 0;
        for (int i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (size == 10 && text[4] == '-' && text[7] == '-') {
        const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return {QDate(y, m, d), y, m};
    }
    const QDate date = QDate::fromString(QString::fromUtf8(text, size), Qt::ISODate);
    return {date, date.year(), date.month()};
}

// Each column is fetched once as a value (one call into the engine) and read from there;
// the statement's connection is held by this thread for the whole scan (ScanLock).
std::optional<Amount> amountOf(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return Amount::fromUnits(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return Amount::fromVariant(sqlite3_value_double(value));
    default:
        return Amount::fromVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value))));
    }
}

StoredDay dayOf(sqlite3_value* value)
{
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? parseStoredDate(text, sqlite3_value_bytes(value)) : StoredDay();
}

// The connection's mutex, held while the scan reads the values the engine hands out.
struct ScanLock {
    sqlite3_mutex* mutex;
    explicit ScanLock(sqlite3* db)
        : mutex(sqlite3_db_mutex(db))
    {
        sqlite3_mutex_enter(mutex);
    }
    ~ScanLock() { sqlite3_mutex_leave(mutex); }
    ScanLock(const ScanLock&) = delete;
    ScanLock& operator=(const ScanLock&) = delete;
};

// The range statement, finished and released however the scan ends.
struct Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

[[noreturn]] void fail(sqlite3* db)
{
    throw store::DbError(QString::fromUtf8(kRangeSql), QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db));
}

// Builds the months as the lines come in date order.
class Accumulator {
public:
    Accumulator(Overview& overview, Amount carry)
        : overview_(overview)
        , running_(carry)
        , firstYear_(overview.first.year())
        , firstMonth_(overview.first.month())
    {
        overview.開始残高 = carry;
        for (QDate month = overview.first; month < overview.end; month = month.addMonths(1))
            overview.months.push_back({.month = month});
        if (!overview.months.empty())
            open(0);
    }

    void add(const StoredDay& day, const std::optional<Amount>& scheduled, const std::optional<Amount>& paid, const std::optional<Amount>& balance)
    {
        const QDate& date = day.date;
        const int index = (day.year - firstYear_) * 12 + day.month - firstMonth_;
        if (!date.isValid() || index < 0 || index >= static_cast<int>(overview_.months.size()))
            return;
        while (current_ < index)
            open(current_ + 1);
        MonthFlow& month = overview_.months[index];
        ++month.lines;
        // A sum that once overflowed stays unknown for the month.
        if (scheduled)
            month.予定額計 = month.予定額計 ? month.予定額計->plus(*scheduled) : std::nullopt;
        if (paid)
            month.支払額計 = month.支払額計 ? month.支払額計->plus(*paid) : std::nullopt;
        running_ = balance.value_or(Amount());
        month.月末残高 = running_;
        if (running_ < month.最低残高) {
            month.最低残高 = running_;
            month.最低残高日 = date;
        }
        overview_.points.push_back({date, index, running_});
    }

    void finish()
    {
        while (current_ + 1 < static_cast<int>(overview_.months.size()))
            open(current_ + 1);
    }

private:
    void open(int index)
    {
        current_ = index;
        MonthFlow& month = overview_.months[index];
        month.繰越額 = running_;
        month.予定額計 = Amount();
        month.支払額計 = Amount();
        month.月末残高 = running_;
        month.最低残高 = running_;
        month.最低残高日 = month.month;
    }

    Overview& overview_;
    Amount running_;
    int firstYear_;
    int firstMonth_;
    int current_ = -1;
};

} // namespace

QString rangeQueryText()
{
    return QString::fromUtf8(kRangeSql);
}

int Overview::monthOf(const QDate& date) const
{
    if (!date.isValid() || date < first || date >= end)
        return -1;
    return (date.year() - first.year()) * 12 + date.month() - first.month();
}

Overview readOverview(SQLite::Database& main, const QDate& from, int count)
{
    Overview overview;
    if (!from.isValid())
        return overview;
    overview.first = QDate(from.year(), from.month(), 1);
    overview.end = overview.first.addMonths(std::clamp(count, 1, kMaxMonths));
    Accumulator months(overview, schedule::Get繰越額(main, overview.first));
    // The one statement that reads many rows goes through the engine's own interface.
    sqlite3* db = main.getHandle();
    Statement range;
    const QByteArray first = storedText(overview.first).toUtf8();
    const QByteArray end = storedText(overview.end).toUtf8();
    if (sqlite3_prepare_v2(db, kRangeSql, -1, &range.handle, nullptr) != SQLITE_OK
        || sqlite3_bind_text(range.handle, 1, first.constData(), static_cast<int>(first.size()), SQLITE_STATIC) != SQLITE_OK
        || sqlite3_bind_text(range.handle, 2, end.constData(), static_cast<int>(end.size()), SQLITE_STATIC) != SQLITE_OK)
        fail(db);
    ScanLock lock(db);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(range.handle)) == SQLITE_ROW) {
        months.add(dayOf(sqlite3_column_value(range.handle, 0)), amountOf(sqlite3_column_value(range.handle, 1)),
            amountOf(sqlite3_column_value(range.handle, 2)), amountOf(sqlite3_column_value(range.handle, 3)));
    }
    if (step != SQLITE_DONE)
        fail(db);
    months.finish();
    return overview;
}

} // namespace cashflow

#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}
namespace store {
class Prepared;
}

namespace ledger {

// The table of stored lines. Statements of the ledger name it plainly, so that they run on
// the main connection and on the work connection, which has the main file attached.
inline const QString kLinesTable = QStringLiteral("支払予定表");

// What identifies a stored line: its date, line number and payee, as the sheet remembers
// them for a line it loaded or saved.
struct LineKey {
    QDate date;
    qint64 lineNumber = 0;
    QString payee;
    bool operator==(const LineKey&) const = default;
};

// One stored line of the book.
struct StoredLine {
    qint64 rowId = 0;
    QDate date;
    qint64 lineNumber = 0;
    QString payee; // empty when the stored field is null or empty
    std::optional<Amount> scheduled;
    std::optional<Amount> paid;
    std::optional<Amount> balance;
    LineKey key() const { return {date, lineNumber, payee}; }
};

// A date as stored, "yyyy-mm-dd" (a time after it is passed over), read digit by digit;
// an invalid date for anything else.
QDate storedDate(QByteArrayView text);
// The same for a date column of a query's current row.
QDate dateAt(const store::Prepared& query, int column);

// An amount column of a query's current row: null gives nothing, an integer is
// ten-thousandths, anything else is read as the stored value would be.
std::optional<Amount> amountAt(const store::Prepared& query, int column);
// Binds an amount as stored: ten-thousandths, or null when there is none.
void bindAmount(store::Prepared& statement, int index, const std::optional<Amount>& amount);

// The stored lines dated in the month of `month`, by date, line number and rowid; at most
// `limit` of them when limit >= 0. Throws store::DbError.
std::vector<StoredLine> monthLines(SQLite::Database& db, const QDate& month, int limit = -1);

// How many lines the month holds. Throws store::DbError.
int monthLineCount(SQLite::Database& db, const QDate& month);

} // namespace ledger

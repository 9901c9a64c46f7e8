#pragma once

#include <QDate>
#include <QString>

namespace SQLite {
class Database;
}

namespace ledger {

// Each month's version in the book (月版): how many times a registration or a deletion has
// changed the month's stored lines. A draft of the sheet keeps the version its lines began
// from; when the book's version has moved on since, the book already holds (or has
// dropped) what the draft holds, and the draft is not shown again as unregistered.
inline const QString kMonthVersionTable = QStringLiteral("月版");

// The month's version: 0 for a month never changed since versions were kept. Throws
// store::DbError.
qint64 monthVersion(SQLite::Database& db, const QDate& month);

// Adds one to the month's version inside the caller's transaction and answers the new one.
qint64 bumpMonthVersion(SQLite::Database& db, const QDate& month);

// Adds one to the version of every month that has one (every line of the book went).
void bumpEveryMonthVersion(SQLite::Database& db);

} // namespace ledger

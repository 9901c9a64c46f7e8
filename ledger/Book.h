#pragma once

#include "Amount.h"
#include "StoredLines.h"

#include <QDate>

#include <optional>
#include <stdexcept>

namespace SQLite {
class Database;
}

namespace ledger {

class ProgressSpan;

// A balance, total or carry-over that does not fit in 64 bits: nothing is stored.
class OverflowError : public std::runtime_error {
public:
    OverflowError(QDate date, QString payee);
    const QDate& date() const { return date_; }
    const QString& payee() const { return payee_; }

private:
    QDate date_;
    QString payee_;
};

// What a month starts from: the balance the lines before it bring (broughtIn) and the
// carry-over the book keeps for the month itself, when it has one.
struct MonthOpening {
    Amount broughtIn;
    std::optional<Amount> own;
    Amount carry() const { return own.value_or(broughtIn); }
};

// What the book holds, for the restore list and the notice after a restore.
struct BookSummary {
    qint64 storedLines = 0;
    QDate latestMonth; // first day of the month of the latest stored line; invalid when none
};

// The stored book seen through one connection: the main connection, or the work
// connection, which has the main file attached (so that one transaction there spans both
// files). Reads throw store::DbError; writes run inside the caller's store::Transaction on
// the same connection.
class Book {
public:
    explicit Book(SQLite::Database& db)
        : db_(db)
    {
    }

    SQLite::Database& db() { return db_; }

    // The opening of the month of `month`.
    MonthOpening opening(const QDate& month);
    // The balance at the end of the book: after the latest stored line, or the latest
    // carry-over when its month comes after every line; 0 for an empty book.
    Amount cumulative();

    // Runs the balance chain from the opening of the month of `month` over every stored line
    // dated in it or later, to the end of the book; a line without a payee (an older file
    // may hold one) is outside the chain and left as it is. Only balances that change are
    // written. Throws OverflowError before anything of the run is written when a balance
    // does not fit. progress, when given, moves over the lines read and the lines checked.
    void rebalanceFrom(const QDate& month, ProgressSpan* progress = nullptr);

    // Deletes the stored line that has this key, then runs the chain from its month.
    // Answers the line as the book held it, or nothing when no line has the key.
    std::optional<StoredLine> deleteLine(const LineKey& key);
    // Puts a deleted line back as deleteLine answered it, then runs the chain from its month.
    void restoreLine(const StoredLine& line);

    // Deletes every stored line and carry-over.
    void deleteAll();

    // Count of lines and the latest month; schema names the attached file to read.
    BookSummary summary(const QString& schema = QStringLiteral("main"));

private:
    // The balance before the first day of `month`: the latest stored line's balance, or the
    // latest carry-over of a month after that line's month.
    Amount balanceBefore(const QDate& month);

    SQLite::Database& db_;
};

} // namespace ledger

#pragma once

// A bank statement as read from a file: the account's entries, each with its day, its
// direction and amount, the names the bank wrote and its reference number.

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace statement {

enum class Direction { Deposit, Withdrawal };

struct StatementLine {
    int record = 0;    // the record (全銀) or the line (CSV) of the file, from 1
    QString account;   // "bank-branch-type-number" from the file's header; empty for CSV
    QDate date;        // 勘定日
    Direction direction = Direction::Withdrawal;
    qint64 yen = 0;    // 取引金額, never negative
    QString name;      // 振込依頼人名 or the CSV's description
    QString memo;      // 摘要内容
    QString reference; // 照会番号; empty when the file has none
};

struct Statement {
    QDate from; // 勘定日(自), or the first day of a CSV file
    QDate to;   // 勘定日(至), or the last day of a CSV file
    std::vector<StatementLine> lines;
};

// Where and why a file breaks its format: the record (or CSV line) and the field.
struct ReadError {
    int record = 0;
    QString field;
    QString reason;
    // "3 件目のレコードの「取引金額」: 数字でない文字があります"
    QString text() const;
};

// A statement read whole, or the first place where the file breaks its format.
struct ReadResult {
    std::optional<Statement> statement;
    ReadError error;
    bool ok() const { return statement.has_value(); }
    static ReadResult failed(int record, const QString& field, const QString& reason)
    {
        return {std::nullopt, {record, field, reason}};
    }
};

} // namespace statement

namespace statement {

// The key each line of the statement is remembered by once reconciled: the account, day
// and reference number the bank gave it, or (without one) its day, direction, amount and
// words with its place among the lines equal in all of them, so that two equal debits
// of one day stay two lines and the same file read again gives the same keys.
std::vector<QString> lineKeys(const Statement& statement);

} // namespace statement

#pragma once

// Matching a statement's withdrawals (出金) to the book's unpaid lines: the same amount as
// the line still owes, a day within a few bank business days of the line's day, and a
// description that names the payee (its account holder or a name a statement used for it
// before). A lump-sum debit of a bulk-transfer file matches all of that file's lines.

#include "Statement.h"
#include "TransferRecords.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace statement {

// A line of the book that is not paid in full.
struct OpenLine {
    int row = -1;  // the caller's reference to the line (the sheet's row)
    QDate date;
    QString payee;
    qint64 open = 0; // 予定額 − 支払額 in ten-thousandths, above 0
};

// What matching knows besides the lines.
struct MatchSources {
    QHash<QString, QString> accountNames;       // payee -> 口座名義
    QHash<QString, QStringList> statementNames; // payee -> names statements used before
    std::vector<banking::TransferRecord> transferFiles;
    int dayWindow = 3;
};

// An amount paid on an open line (by its index in the lines given), in ten-thousandths.
struct LinePay {
    std::size_t line = 0;
    qint64 amount = 0;
};

// A withdrawal matched to one line, or to the lines of a transfer file (`file` >= 0, the
// index among the sources' files; `pays` holds those of its lines still open, and feeYen
// what the debit took beyond the file's total).
struct Proposal {
    std::size_t withdrawal = 0;
    std::vector<LinePay> pays;
    int file = -1;
    qint64 feeYen = 0;
};

// A withdrawal that more than one line could take, or lines whose amount and day fit but
// whose payee the statement's words do not name yet (nameKnown false): the user chooses.
struct Ambiguity {
    std::size_t withdrawal = 0;
    std::vector<std::size_t> choices; // indexes of open lines
    bool nameKnown = true;
};

struct Reconciliation {
    std::vector<Proposal> proposed;
    std::vector<Ambiguity> ambiguous;
    std::vector<std::size_t> unmatched; // withdrawals that no line fits
    std::vector<std::size_t> overdue;   // open lines whose days passed with no withdrawal
};

// Bank transfer fees are debited with the lump sum by some banks: a debit up to this much
// per transfer above a file's total is taken as the total and its fees.
inline constexpr qint64 kMostFeePerTransferYen = 1000;

// Matches the statement's lines at `withdrawals` (indexes of its lines, all withdrawals) to
// the open lines. A line is proposed for at most one withdrawal. A line is overdue when
// its day plus the window of business days is on or before the statement's last day.
Reconciliation matchStatement(const Statement& statement, const std::vector<std::size_t>& withdrawals, const std::vector<OpenLine>& lines,
    const MatchSources& sources);

// The text a statement line names its counterparty by (its name, then its description).
QString statementWords(const StatementLine& line);

} // namespace statement

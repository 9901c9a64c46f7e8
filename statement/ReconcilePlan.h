#pragma once

// What the user decided in the reconciliation, and what it does: amounts paid on the
// sheet's lines, withdrawals added as paid lines, the statement lines to remember as
// reconciled and the names to remember for payees.

#include "Matching.h"
#include "StatementStore.h"

#include "Amount.h"

#include <QStringList>

namespace statement {

// The user's answers, one per entry of the reconciliation's lists.
struct Decisions {
    std::vector<bool> proposedTicked; // per proposal
    std::vector<int> chosen;          // per ambiguity: the index among its choices, -1 for none
    std::vector<bool> added;          // per unmatched withdrawal: add as a paid line, or leave

    // Proposals ticked, no choice made, every withdrawal without a line left.
    static Decisions defaults(const Reconciliation& reconciliation);
};

struct PlannedPayment {
    int row = -1;
    ledger::Amount amount;
};

struct PlannedEntry {
    QDate date;
    QString payee;
    ledger::Amount amount;
};

struct ReconcilePlan {
    std::vector<PlannedPayment> payments;
    std::vector<PlannedEntry> entries;
    std::vector<SettledLine> settled;
    std::vector<PayeeName> names;
    QStringList twice; // lines chosen for more than one withdrawal: the plan cannot be applied
};

// The statement's lines as matched (keys from lineKeys()) and the open lines matched to.
struct MatchedStatement {
    Statement statement;
    std::vector<QString> keys;
    std::vector<OpenLine> lines;
    MatchSources sources;
    Reconciliation reconciliation;
};

// The plan of the decisions. A proposal left unticked and an ambiguity left without a
// choice are not remembered (the next import proposes them again); a withdrawal left
// without a line is remembered as left. A choice among lines whose payee the statement's
// words did not name remembers those words as a name of that payee.
ReconcilePlan planOf(const MatchedStatement& matched, const Decisions& decisions);

// "12/08 東京電力 88,000 円": a line of the sheet as the dialog and the boxes show it.
QString lineText(const OpenLine& line);

} // namespace statement

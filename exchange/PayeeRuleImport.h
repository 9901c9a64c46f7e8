#pragma once

#include "PaymentRules.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace exchange {

// The payment rules a payee list carries: a CSV file whose heading record holds 支払先名
// may also hold 支払日 (a day "25", "25日" or "末日") and 休日 (前営業日, 翌営業日,
// そのまま); a blank field says nothing. A text file, or a CSV file without these
// headings, carries no rules.
struct ListedRules {
    // By name in the list's order, each name once (its first line that gives a rule).
    std::vector<std::pair<QString, ledger::PaymentRule>> rules;
    // The fields that name no day or no choice: "「name」の支払日「32」", in list order.
    QStringList unreadable;
};
ListedRules rulesFromText(const QString& text, bool csv);

} // namespace exchange

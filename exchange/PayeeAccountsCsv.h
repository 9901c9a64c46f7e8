#pragma once

#include "BankAccount.h"
#include "PaymentRules.h"
#include "TransferFees.h"

#include <map>
#include <optional>
#include <utility>

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace exchange {

// The headings of the payee list file: 支払先名, the payment rule of the payee (支払日,
// 休日), then the bank details of the payee and who bears its transfer fee (手数料負担).
QStringList payeeListHeadings();

// The payee list as CSV text (csvTextRecord's records): the headings, then every name in
// the given order with its payment rule (支払日 as "25日" or "末日", 休日 by its name, as
// rulesFromText reads them), its bank details (預金種目 by its name) and its fee bearer
// (当方 or 先方); empty fields where the payee has no rule, no details or no bearer of its
// own.
QString payeeListCsv(const QStringList& names, const banking::PayeeAccounts& accounts, const ledger::PaymentRules& rules = {},
    const std::map<QString, banking::FeeBearer>& bearers = {});

// Bank details read from a list's CSV records whose first record holds the headings (any
// order, 支払先名 and 口座番号 among them): a record with any detail gives its payee's
// details, converted to the banks' form (codes a spreadsheet shortened get their leading
// zeros back; 預金種目 by name or number). Details that do not fit a transfer file are
// named in refused ("name: field: why") and left out. A list with the column 手数料負担
// gives each named payee's bearer (当方, 先方, or none for an empty field: the book's
// default); a list without it (of an earlier version) gives none, and leaves the bearers
// as they are.
struct ImportedAccounts {
    std::vector<banking::PayeeAccount> accounts;
    std::vector<std::pair<QString, std::optional<banking::FeeBearer>>> bearers;
    QStringList refused;
};
ImportedAccounts accountsFromRecords(const QList<QStringList>& records);

} // namespace exchange

#pragma once

#include "BankAccount.h"
#include "PaymentRules.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace exchange {

// The headings of the payee list file: 支払先名, the payment rule of the payee (支払日,
// 休日), then the bank details of the payee.
QStringList payeeListHeadings();

// The payee list as CSV text (csvTextRecord's records): the headings, then every name in
// the given order with its payment rule (支払日 as "25日" or "末日", 休日 by its name, as
// rulesFromText reads them) and its bank details (預金種目 by its name); empty fields where
// the payee has no rule or no details.
QString payeeListCsv(const QStringList& names, const banking::PayeeAccounts& accounts, const ledger::PaymentRules& rules = {});

// Bank details read from a list's CSV records whose first record holds the headings (any
// order, 支払先名 and 口座番号 among them): a record with any detail gives its payee's
// details, converted to the banks' form (codes a spreadsheet shortened get their leading
// zeros back; 預金種目 by name or number). Details that do not fit a transfer file are
// named in refused ("name: field: why") and left out.
struct ImportedAccounts {
    std::vector<banking::PayeeAccount> accounts;
    QStringList refused;
};
ImportedAccounts accountsFromRecords(const QList<QStringList>& records);

} // namespace exchange

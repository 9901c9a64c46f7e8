#pragma once

#include "Amount.h"
#include "BankAccount.h"
#include "TransferFile.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace banking {

// A line of the month's sheet as the transfer command sees it: its place on the sheet,
// date, payee and amounts.
struct SheetEntry {
    int row = -1;
    QDate date;
    QString payee;
    std::optional<ledger::Amount> scheduled;
    std::optional<ledger::Amount> paid;
};

// A line that can be paid by transfer: its payee's details (in the accounts the plan was
// made from, which must outlive it) and the unpaid amount in yen. A line that repeats an
// earlier ready line of the day (the same payee and amount) is marked: it may be the same
// bill twice.
struct TransferCandidate {
    int row = -1;
    const PayeeAccount* details = nullptr;
    qint64 yen = 0;
    bool repeated = false;
    Transfer transfer() const { return {details->payee, details->account, details->customerCode, yen}; }
};

// A line of the day that cannot be paid by transfer, and why (in the catalogue's words).
struct ExcludedLine {
    int row = -1;
    QString payee;
    QString reason;
};

struct TransferPlan {
    std::vector<TransferCandidate> ready;
    std::vector<ExcludedLine> apart;
};

// The lines of `day` with a payee, in the sheet's order. A line is ready when 0 ≤ 支払額 <
// 予定額 (a blank amount counting as 0), the unpaid amount (予定額 − 支払額) is whole yen and
// fits the file, and its payee has complete bank details in `accounts` (the details of the
// payee master's payees). Every other line is set apart with its reason: a negative amount,
// nothing unpaid, a payee whose details are kept but who is no longer in the payee master
// (`unlisted`), no details, details the file cannot take. A ready line with the payee and
// amount of an earlier ready line is marked repeated.
TransferPlan planTransfers(const std::vector<SheetEntry>& lines, const QDate& day, const PayeeAccounts& accounts, const QStringList& unlisted = {});

// The file of the chosen lines (makeTransferFile), read from the lines as they are.
TransferFile makeTransferFile(const Sender& sender, const QDate& date, const std::vector<TransferCandidate>& chosen);

// The unpaid amount of a line (予定額 − 支払額), or nothing when it does not fit.
std::optional<ledger::Amount> unpaidOf(const SheetEntry& line);

// "家賃 200,000 円": a transfer as the messages and the dialog's summary name it.
QString transferText(const QString& payee, qint64 yen);

} // namespace banking

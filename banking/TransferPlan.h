#pragma once

#include "Amount.h"
#include "BankAccount.h"
#include "TransferFees.h"
#include "TransferFile.h"

#include <QDate>
#include <QString>

#include <map>
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
// made from, which must outlive it), the unpaid amount in yen (the bill) and how it is
// transferred (the fee deducted, the amount sent, the fee charged). A line that repeats an
// earlier ready line of the day (the same payee and amount) is marked: it may be the same
// bill twice.
struct TransferCandidate {
    int row = -1;
    const PayeeAccount* details = nullptr;
    qint64 yen = 0;
    bool repeated = false;
    // Without fees worked out, the whole bill is sent.
    std::optional<TransferFee> fee;
    // The yen the file carries: the bill less the fee deducted.
    qint64 sentYen() const { return fee ? fee->sent.units() / ledger::Amount::kScale : yen; }
    Transfer transfer() const { return {details->payee, details->account, details->customerCode, sentYen()}; }
};

// What the fees of the transfers are worked out from: the book's settings and table, the
// payees' own bearers, and the sender's account (which decides the destinations).
struct FeeContext {
    FeeSettings settings;
    std::map<QString, FeeBearer> bearers;
    BankAccount from;
};

// The sums of chosen transfers: the bills, the fees deducted, the amounts sent, the fees
// charged (of the lines whose fee is known) and what leaves the account (引落予定額: the
// amounts sent and the fees charged).
struct TransferTotals {
    int count = 0;
    qint64 bills = 0;
    qint64 deducted = 0;
    qint64 sent = 0;
    qint64 charged = 0;
    // Lines whose charged fee is unknown (no table for their destination).
    int unknownFees = 0;
    qint64 withdrawal() const { return sent + charged; }
};
TransferTotals totalsOf(const std::vector<TransferCandidate>& chosen);
// "振込 2 件　合計 79,450 円", followed by "　手数料 880 円　引落予定額 80,330 円" once a
// fee is known, and by how many lines' fees are not (no table for their destination).
QString totalsText(const TransferTotals& totals);

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
// (`unlisted`), no details, details the file cannot take, a fee that cannot be deducted
// (transferFee). A ready line with the payee and amount of an earlier ready line is marked
// repeated. Each ready line's fee is worked out from `fees`.
TransferPlan planTransfers(
    const std::vector<SheetEntry>& lines, const QDate& day, const PayeeAccounts& accounts, const QStringList& unlisted = {}, const FeeContext& fees = {});

// The file of the chosen lines (makeTransferFile), read from the lines as they are.
TransferFile makeTransferFile(const Sender& sender, const QDate& date, const std::vector<TransferCandidate>& chosen);

// The unpaid amount of a line (予定額 − 支払額), or nothing when it does not fit.
std::optional<ledger::Amount> unpaidOf(const SheetEntry& line);

// "家賃 200,000 円": a transfer as the messages and the dialog's summary name it.
QString transferText(const QString& payee, qint64 yen);

} // namespace banking

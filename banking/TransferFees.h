#pragma once

#include "Amount.h"
#include "BankAccount.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace banking {

// Where a transfer goes, seen from the sender's account: the fee table has one part each.
enum class FeeDestination { SameBranch = 0, SameBank = 1, OtherBank = 2 }; // 同行同店, 同行他店, 他行
inline constexpr FeeDestination kFeeDestinations[] = {FeeDestination::SameBranch, FeeDestination::SameBank, FeeDestination::OtherBank};
QString destinationName(FeeDestination destination);

// How the fee deducted from a bill borne by the payee is chosen: by the band of the bill
// (据置型), or with each band's lower edge raised by the fee of the band below it
// (未満手数料加算型) or by the band's own fee (以上手数料加算型).
enum class FeeMethod { Fixed = 0, AddLowerFee = 1, AddOwnFee = 2 };
inline constexpr FeeMethod kFeeMethods[] = {FeeMethod::Fixed, FeeMethod::AddLowerFee, FeeMethod::AddOwnFee};
QString methodName(FeeMethod method);
std::optional<FeeMethod> methodFromName(const QString& name);

// Who bears the transfer fee: the book's owner (当方負担: the whole bill is sent) or the
// payee (先方負担: the fee is deducted from the bill).
enum class FeeBearer { Payer = 0, Payee = 1 };
// "当方負担", "先方負担".
QString bearerName(FeeBearer bearer);
// "当方" or "当方負担", "先方" or "先方負担"; nothing for any other text.
std::optional<FeeBearer> bearerFromText(const QString& text);

// A band of the fee table: from its lower edge (yen, inclusive) up to the next band's edge,
// the bank charges `fee` yen (tax included).
struct FeeBand {
    qint64 from = 0;
    qint64 fee = 0;
    bool operator==(const FeeBand&) const = default;
};
// A destination's bands in order of their edges; empty when the bank's fees were not given.
using FeeBands = std::vector<FeeBand>;

// The largest band edge and fee the table takes (ten digits, as a transfer's amount).
inline constexpr qint64 kLargestFeeYen = 9'999'999'999;

// The fee table of the sender's account: the bands of each destination.
struct FeeTable {
    std::array<FeeBands, 3> bands;
    const FeeBands& of(FeeDestination destination) const { return bands[static_cast<std::size_t>(destination)]; }
    FeeBands& of(FeeDestination destination) { return bands[static_cast<std::size_t>(destination)]; }
    bool operator==(const FeeTable&) const = default;
};

// What is wrong with a destination's bands (edges not rising, a negative edge or fee, one
// past ten digits); empty when they can be used.
QStringList bandProblems(const FeeBands& bands);

// Bands as typed: rows of a lower edge and a fee in whole yen (digits, full-width digits,
// comma groups). Rows with both cells blank are left out, the others sorted by their edges;
// a cell that is no whole yen, and whatever bandProblems finds, is named in `problems`.
struct TypedBands {
    FeeBands bands;
    QStringList problems;
};
TypedBands bandsFromTexts(const std::vector<std::pair<QString, QString>>& rows);

// The book-wide fee settings and the table they apply to.
struct FeeSettings {
    FeeTable table;
    FeeMethod method = FeeMethod::Fixed;
    FeeBearer defaultBearer = FeeBearer::Payer;
    // Marking lines paid adds one line 振込手数料 with the fees of the transfer day.
    bool addFeeLine = false;
    bool operator==(const FeeSettings&) const = default;
};

// Where a transfer to `to` goes from the sender's account `from`: the same bank code and
// branch code, the same bank code, or another bank.
FeeDestination destinationOf(const BankAccount& to, const BankAccount& from);

// The fee the bank charges for transferring `amount`, by the plain table: the fee of the
// band with the highest edge not above the amount (the first band below its own edge).
// The bands must not be empty.
qint64 chargedFee(const FeeBands& bands, ledger::Amount amount);
// The fee deducted from a bill under 先方負担 by the method. The bands must not be empty.
qint64 deductedFee(const FeeBands& bands, FeeMethod method, ledger::Amount bill);

// A bill as it is transferred: the fee deducted (under 先方負担), the amount sent and the fee
// the bank charges for the amount sent (none when the destination's table is empty and the
// book's owner bears the fee).
struct TransferFee {
    FeeBearer bearer = FeeBearer::Payer;
    FeeDestination destination = FeeDestination::OtherBank;
    ledger::Amount bill;
    qint64 deducted = 0;
    ledger::Amount sent;
    std::optional<qint64> charged;
    // Under 先方負担, the fee deducted less the fee charged (positive when the payee bore
    // more than the bank took); 0 otherwise.
    qint64 difference() const;
    bool differs() const { return difference() != 0; }
};

// The transfer of `bill` under the settings. Refused, with the reason in the catalogue's
// words, when the payee bears the fee and the destination's table is empty, or when the
// bill is not larger than the fee deducted from it.
std::variant<TransferFee, QString> transferFee(const FeeSettings& settings, FeeDestination destination, FeeBearer bearer, ledger::Amount bill);

} // namespace banking

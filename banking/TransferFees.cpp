#include "TransferFees.h"

#include "Msg.h"
#include "TransferFile.h"

#include <algorithm>

namespace banking {

namespace {

constexpr std::int64_t yenUnits(qint64 yen)
{
    return yen * ledger::Amount::kScale;
}

// The band whose (adjusted) edge is the highest one not above the amount; the first band
// for an amount below every edge. `edgeOf(i)` gives band i's edge in yen.
template <typename EdgeOf>
std::size_t bandOf(const FeeBands& bands, ledger::Amount amount, EdgeOf edgeOf)
{
    for (std::size_t i = bands.size(); i-- > 1;) {
        if (yenUnits(edgeOf(i)) <= amount.units())
            return i;
    }
    return 0;
}

} // namespace

QString destinationName(FeeDestination destination)
{
    switch (destination) {
    case FeeDestination::SameBranch:
        return QStringLiteral("同行同店");
    case FeeDestination::SameBank:
        return QStringLiteral("同行他店");
    case FeeDestination::OtherBank:
        break;
    }
    return QStringLiteral("他行");
}

QString methodName(FeeMethod method)
{
    switch (method) {
    case FeeMethod::AddLowerFee:
        return QStringLiteral("未満手数料加算型");
    case FeeMethod::AddOwnFee:
        return QStringLiteral("以上手数料加算型");
    case FeeMethod::Fixed:
        break;
    }
    return QStringLiteral("据置型");
}

std::optional<FeeMethod> methodFromName(const QString& name)
{
    for (FeeMethod method : kFeeMethods) {
        if (methodName(method) == name)
            return method;
    }
    return std::nullopt;
}

QString bearerName(FeeBearer bearer)
{
    return bearer == FeeBearer::Payee ? QStringLiteral("先方負担") : QStringLiteral("当方負担");
}

std::optional<FeeBearer> bearerFromText(const QString& text)
{
    for (FeeBearer bearer : {FeeBearer::Payer, FeeBearer::Payee}) {
        const QString name = bearerName(bearer);
        if (text == name || text == name.left(2))
            return bearer;
    }
    return std::nullopt;
}

QStringList bandProblems(const FeeBands& bands)
{
    QStringList problems;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const FeeBand& band = bands[i];
        const QString which = QStringLiteral("%1段目").arg(i + 1);
        if (band.from < 0 || band.from > kLargestFeeYen)
            problems << which + messages::messageText(messages::MsgId::入力_手数料下限範囲, yenText(band.from));
        else if (i > 0 && band.from <= bands[i - 1].from)
            problems << which + messages::messageText(messages::MsgId::入力_手数料下限順, yenText(band.from));
        if (band.fee < 0 || band.fee > kLargestFeeYen)
            problems << which + messages::messageText(messages::MsgId::入力_手数料範囲, yenText(band.fee));
    }
    return problems;
}

TypedBands bandsFromTexts(const std::vector<std::pair<QString, QString>>& rows)
{
    TypedBands typed;
    const auto yenOf = [&](const QString& text, const QString& cell) -> qint64 {
        const ledger::TypedAmount amount = ledger::Amount::fromTyped(text);
        if (amount.value)
            return amount.value->units() / ledger::Amount::kScale;
        typed.problems << messages::messageText(messages::MsgId::入力_手数料数字, QStringLiteral("%1「%2」").arg(cell, text.trimmed()));
        return -1;
    };
    for (const auto& [from, fee] : rows) {
        if (from.trimmed().isEmpty() && fee.trimmed().isEmpty())
            continue;
        typed.bands.push_back({yenOf(from, QStringLiteral("下限")), yenOf(fee, QStringLiteral("手数料"))});
    }
    if (!typed.problems.isEmpty())
        return typed;
    std::stable_sort(typed.bands.begin(), typed.bands.end(), [](const FeeBand& a, const FeeBand& b) { return a.from < b.from; });
    typed.problems = bandProblems(typed.bands);
    return typed;
}

FeeDestination destinationOf(const BankAccount& to, const BankAccount& from)
{
    if (to.bankCode != from.bankCode)
        return FeeDestination::OtherBank;
    return to.branchCode == from.branchCode ? FeeDestination::SameBranch : FeeDestination::SameBank;
}

qint64 chargedFee(const FeeBands& bands, ledger::Amount amount)
{
    return bands[bandOf(bands, amount, [&](std::size_t i) { return bands[i].from; })].fee;
}

qint64 deductedFee(const FeeBands& bands, FeeMethod method, ledger::Amount bill)
{
    const auto edge = [&](std::size_t i) {
        switch (method) {
        case FeeMethod::AddLowerFee:
            return bands[i].from + bands[i - 1].fee;
        case FeeMethod::AddOwnFee:
            return bands[i].from + bands[i].fee;
        case FeeMethod::Fixed:
            break;
        }
        return bands[i].from;
    };
    return bands[bandOf(bands, bill, edge)].fee;
}

qint64 TransferFee::difference() const
{
    if (bearer != FeeBearer::Payee || !charged)
        return 0;
    return deducted - *charged;
}

std::variant<TransferFee, QString> transferFee(const FeeSettings& settings, FeeDestination destination, FeeBearer bearer, ledger::Amount bill)
{
    const FeeBands& bands = settings.table.of(destination);
    TransferFee fee;
    fee.bearer = bearer;
    fee.destination = destination;
    fee.bill = bill;
    fee.sent = bill;
    if (bands.empty()) {
        if (bearer == FeeBearer::Payee)
            return messages::messageText(messages::MsgId::入力_手数料表なし, destinationName(destination));
        return fee;
    }
    if (bearer == FeeBearer::Payee) {
        fee.deducted = deductedFee(bands, settings.method, bill);
        if (bill.units() <= yenUnits(fee.deducted))
            return messages::messageText(messages::MsgId::入力_手数料超過, yenText(fee.deducted));
        fee.sent = ledger::Amount::fromUnits(bill.units() - yenUnits(fee.deducted));
    }
    fee.charged = chargedFee(bands, fee.sent);
    return fee;
}

} // namespace banking

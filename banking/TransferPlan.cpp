#include "TransferPlan.h"

#include "Msg.h"
#include "PayeeBearers.h"

#include <set>
#include <unordered_map>
#include <variant>

namespace banking {

TransferFile makeTransferFile(const Sender& sender, const QDate& date, const std::vector<TransferCandidate>& chosen)
{
    return makeTransferFile(sender, date, chosen.size(), [&](std::size_t i) {
        const TransferCandidate& line = chosen[i];
        return TransferView{line.details->payee, line.details->account, line.details->customerCode, line.sentYen(), line.details};
    });
}

std::optional<ledger::Amount> unpaidOf(const SheetEntry& line)
{
    return line.scheduled.value_or(ledger::Amount()).minus(line.paid.value_or(ledger::Amount()));
}

TransferTotals totalsOf(const std::vector<TransferCandidate>& chosen)
{
    TransferTotals totals;
    for (const TransferCandidate& line : chosen) {
        ++totals.count;
        totals.bills += line.yen;
        totals.sent += line.sentYen();
        if (!line.fee) {
            ++totals.unknownFees;
            continue;
        }
        totals.deducted += line.fee->deducted;
        if (line.fee->charged)
            totals.charged += *line.fee->charged;
        else
            ++totals.unknownFees;
    }
    return totals;
}

QString totalsText(const TransferTotals& totals)
{
    QString text = QStringLiteral("振込 %1 件　合計 %2 円").arg(totals.count).arg(yenText(totals.sent));
    if (totals.unknownFees == totals.count)
        return text;
    text += QStringLiteral("　手数料 %1 円　引落予定額 %2 円").arg(yenText(totals.charged), yenText(totals.withdrawal()));
    if (totals.unknownFees > 0)
        text += QStringLiteral("（手数料表のない %1 件の手数料を除く）").arg(totals.unknownFees);
    return text;
}

QString transferText(const QString& payee, qint64 yen)
{
    return QStringLiteral("%1 %2 円").arg(payee, yenText(yen));
}

namespace {

// Why a line of the day cannot be paid by transfer, judged on its amounts alone; the unpaid
// yen when it can.
std::variant<qint64, QString> amountToTransfer(const SheetEntry& line)
{
    using messages::MsgId;
    const ledger::Amount scheduled = line.scheduled.value_or(ledger::Amount());
    const ledger::Amount paid = line.paid.value_or(ledger::Amount());
    // A transfer never takes more than the bill: a negative amount is no bill to pay.
    if (scheduled < ledger::Amount() || paid < ledger::Amount())
        return messages::messageText(MsgId::入力_振込負の額);
    const std::optional<ledger::Amount> unpaid = unpaidOf(line);
    if (!unpaid || *unpaid <= ledger::Amount())
        return messages::messageText(MsgId::入力_振込未払なし);
    if (!unpaid->isWholeYen())
        return messages::messageText(MsgId::入力_振込端数);
    const qint64 yen = unpaid->units() / ledger::Amount::kScale;
    if (yen > kLargestTransfer)
        return messages::messageText(MsgId::入力_振込金額範囲, yenText(yen));
    return yen;
}

} // namespace

TransferPlan planTransfers(const std::vector<SheetEntry>& lines, const QDate& day, const PayeeAccounts& accounts, const QStringList& unlisted, const FeeContext& fees)
{
    TransferPlan plan;
    plan.ready.reserve(lines.size());
    // Each payee's details are checked once, however many lines name the payee.
    std::unordered_map<const PayeeAccount*, QString> refusals;
    const auto refusal = [&](const PayeeAccount& details) -> const QString& {
        auto found = refusals.find(&details);
        if (found == refusals.end())
            found = refusals.emplace(&details, problemTexts(problemsOf(details)).join(QStringLiteral("、"))).first;
        return found->second;
    };
    // The payee and amount of every ready line: a second one is a repeat.
    std::set<std::pair<const PayeeAccount*, qint64>> offered;
    for (const SheetEntry& line : lines) {
        if (line.date != day || line.payee.isEmpty())
            continue;
        const auto apart = [&](const QString& why) { plan.apart.push_back({line.row, line.payee, why}); };
        const std::variant<qint64, QString> amount = amountToTransfer(line);
        if (const QString* why = std::get_if<QString>(&amount)) {
            apart(*why);
            continue;
        }
        const auto found = accounts.find(line.payee);
        if (found == accounts.end()) {
            const bool kept = unlisted.contains(line.payee);
            apart(messages::messageText(kept ? messages::MsgId::入力_振込マスタ外 : messages::MsgId::入力_振込口座なし));
            continue;
        }
        if (const QString& why = refusal(found->second); !why.isEmpty()) {
            apart(why);
            continue;
        }
        const qint64 yen = std::get<qint64>(amount);
        const FeeBearer bearer = bearerOf(fees.bearers, line.payee, fees.settings.defaultBearer);
        const auto fee = transferFee(fees.settings, destinationOf(found->second.account, fees.from), bearer, *ledger::Amount::fromYen(yen));
        if (const QString* why = std::get_if<QString>(&fee)) {
            apart(*why);
            continue;
        }
        const bool repeated = !offered.emplace(&found->second, yen).second;
        plan.ready.push_back({line.row, &found->second, yen, repeated, std::get<TransferFee>(fee)});
    }
    return plan;
}

} // namespace banking

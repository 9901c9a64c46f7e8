#include "TransferPlan.h"

#include "Msg.h"

#include <unordered_map>

namespace banking {

namespace {

} // namespace

TransferFile makeTransferFile(const Sender& sender, const QDate& date, const std::vector<TransferCandidate>& chosen)
{
    return makeTransferFile(sender, date, chosen.size(), [&](std::size_t i) {
        const TransferCandidate& line = chosen[i];
        return TransferView{line.details->payee, line.details->account, line.details->customerCode, line.yen, line.details};
    });
}

std::optional<ledger::Amount> unpaidOf(const SheetEntry& line)
{
    return line.scheduled.value_or(ledger::Amount()).minus(line.paid.value_or(ledger::Amount()));
}

TransferPlan planTransfers(const std::vector<SheetEntry>& lines, const QDate& day, const PayeeAccounts& accounts)
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
    for (const SheetEntry& line : lines) {
        if (line.date != day || line.payee.isEmpty())
            continue;
        const auto apart = [&](const QString& why) { plan.apart.push_back({line.row, line.payee, why}); };
        const std::optional<ledger::Amount> unpaid = unpaidOf(line);
        if (!unpaid || *unpaid <= ledger::Amount()) {
            apart(messages::messageText(messages::MsgId::入力_振込未払なし));
            continue;
        }
        if (!unpaid->isWholeYen()) {
            apart(messages::messageText(messages::MsgId::入力_振込端数));
            continue;
        }
        const qint64 yen = unpaid->units() / ledger::Amount::kScale;
        if (yen > kLargestTransfer) {
            apart(messages::messageText(messages::MsgId::入力_振込金額範囲, yenText(yen)));
            continue;
        }
        const auto found = accounts.find(line.payee);
        if (found == accounts.end()) {
            apart(messages::messageText(messages::MsgId::入力_振込口座なし));
            continue;
        }
        if (const QString& why = refusal(found->second); !why.isEmpty()) {
            apart(why);
            continue;
        }
        plan.ready.push_back({line.row, &found->second, yen});
    }
    return plan;
}

} // namespace banking

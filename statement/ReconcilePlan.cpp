#include "ReconcilePlan.h"

#include <QSet>

namespace statement {

Decisions Decisions::defaults(const Reconciliation& reconciliation)
{
    Decisions d;
    d.proposedTicked.assign(reconciliation.proposed.size(), true);
    d.chosen.assign(reconciliation.ambiguous.size(), -1);
    d.added.assign(reconciliation.unmatched.size(), false);
    return d;
}

QString lineText(const OpenLine& line)
{
    return QStringLiteral("%1 %2 %3 円").arg(line.date.toString(QStringLiteral("MM/dd")), line.payee, ledger::Amount::fromUnits(line.open).format());
}

ReconcilePlan planOf(const MatchedStatement& matched, const Decisions& decisions)
{
    ReconcilePlan plan;
    const Reconciliation& r = matched.reconciliation;
    const std::vector<StatementLine>& lines = matched.statement.lines;
    auto settle = [&](std::size_t withdrawal, Settlement how) {
        plan.settled.push_back({matched.keys[withdrawal], lines[withdrawal].date, lines[withdrawal].yen, how});
    };
    QSet<std::size_t> used;
    QSet<std::size_t> twice;
    auto pay = [&](std::size_t line, qint64 amount) {
        if (used.contains(line))
            twice.insert(line);
        used.insert(line);
        plan.payments.push_back({matched.lines[line].row, ledger::Amount::fromUnits(amount)});
    };
    for (std::size_t i = 0; i < r.proposed.size(); ++i) {
        if (i >= decisions.proposedTicked.size() || !decisions.proposedTicked[i])
            continue;
        for (const LinePay& p : r.proposed[i].pays)
            pay(p.line, p.amount);
        settle(r.proposed[i].withdrawal, Settlement::Matched);
    }
    for (std::size_t i = 0; i < r.ambiguous.size(); ++i) {
        const Ambiguity& a = r.ambiguous[i];
        const int choice = i < decisions.chosen.size() ? decisions.chosen[i] : -1;
        if (choice < 0 || choice >= static_cast<int>(a.choices.size()))
            continue;
        const std::size_t line = a.choices[static_cast<std::size_t>(choice)];
        pay(line, matched.lines[line].open);
        settle(a.withdrawal, Settlement::Matched);
        if (!a.nameKnown)
            plan.names.push_back({matched.lines[line].payee, statementWords(lines[a.withdrawal])});
    }
    for (std::size_t i = 0; i < r.unmatched.size(); ++i) {
        const std::size_t w = r.unmatched[i];
        const bool add = i < decisions.added.size() && decisions.added[i];
        if (add) {
            const std::optional<ledger::Amount> amount = ledger::Amount::fromYen(lines[w].yen);
            if (!amount)
                continue;
            plan.entries.push_back({lines[w].date, statementWords(lines[w]).simplified(), *amount});
        }
        settle(w, add ? Settlement::Added : Settlement::Left);
    }
    for (const std::size_t line : twice)
        plan.twice << lineText(matched.lines[line]);
    plan.twice.sort();
    return plan;
}

} // namespace statement

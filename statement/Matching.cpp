#include "Matching.h"

#include "Amount.h"
#include "BusinessDayIndex.h"
#include "NameKey.h"

#include <algorithm>
#include <unordered_map>

namespace statement {

namespace {

constexpr qint64 kScale = ledger::Amount::kScale;

// The open lines by the amount they owe, each list in the order of the lines' days.
struct LinesByAmount {
    struct Entry {
        int day; // business-day index
        std::size_t line;
    };
    std::unordered_map<qint64, std::vector<Entry>> byAmount;
};

class Matcher {
public:
    Matcher(const Statement& statement, const std::vector<OpenLine>& lines, const MatchSources& sources)
        : statement_(statement)
        , lines_(lines)
        , sources_(sources)
        , days_(firstDay(), lastDay())
        , taken_(lines.size(), false)
    {
        for (std::size_t i = 0; i < lines.size(); ++i)
            index_.byAmount[lines[i].open].push_back({days_.index(lines[i].date), i});
        for (auto& [amount, entries] : index_.byAmount)
            std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.day < b.day; });
    }

    Reconciliation run(const std::vector<std::size_t>& withdrawals);

private:
    QDate firstDay() const
    {
        QDate first = statement_.from;
        for (const OpenLine& line : lines_)
            first = !first.isValid() || line.date < first ? line.date : first;
        return first.addDays(-7);
    }
    QDate lastDay() const
    {
        QDate last = statement_.to;
        for (const OpenLine& line : lines_)
            last = !last.isValid() || line.date > last ? line.date : last;
        return last.addDays(7);
    }

    bool withinWindow(const QDate& a, const QDate& b) const { return std::abs(days_.index(a) - days_.index(b)) <= sources_.dayWindow; }

    // The keys that name a payee: its account holder and the names statements used.
    const std::vector<QString>& payeeKeys(const QString& payee);
    std::optional<Proposal> fileProposal(std::size_t withdrawal);
    void payFileLines(const banking::TransferRecord& file, Proposal& proposal);

    const Statement& statement_;
    const std::vector<OpenLine>& lines_;
    const MatchSources& sources_;
    BusinessDayIndex days_;
    LinesByAmount index_;
    std::vector<bool> taken_;
    std::vector<bool> filesUsed_;
    NameKeys keys_;
    QHash<QString, std::vector<QString>> payeeKeys_;
    QHash<QPair<QString, qint64>, std::vector<std::size_t>> byPayeeAndDay_; // made when a file matches
};

const std::vector<QString>& Matcher::payeeKeys(const QString& payee)
{
    auto found = payeeKeys_.find(payee);
    if (found != payeeKeys_.end())
        return *found;
    std::vector<QString> keys;
    if (const auto holder = sources_.accountNames.constFind(payee); holder != sources_.accountNames.constEnd())
        keys.push_back(nameKey(*holder));
    for (const QString& name : sources_.statementNames.value(payee))
        keys.push_back(nameKey(name));
    return *payeeKeys_.insert(payee, std::move(keys));
}

std::optional<Proposal> Matcher::fileProposal(std::size_t withdrawal)
{
    const StatementLine& debit = statement_.lines[withdrawal];
    filesUsed_.resize(sources_.transferFiles.size(), false);
    for (std::size_t f = 0; f < sources_.transferFiles.size(); ++f) {
        const banking::TransferRecord& file = sources_.transferFiles[f];
        const qint64 total = file.totalYen();
        const qint64 fees = debit.yen - total;
        if (filesUsed_[f] || file.transfers.empty() || fees < 0 || fees > kMostFeePerTransferYen * static_cast<qint64>(file.transfers.size())
            || !withinWindow(file.day, debit.date))
            continue;
        filesUsed_[f] = true;
        Proposal proposal{withdrawal, {}, static_cast<int>(f), fees};
        payFileLines(file, proposal);
        return proposal;
    }
    return std::nullopt;
}

void Matcher::payFileLines(const banking::TransferRecord& file, Proposal& proposal)
{
    for (const banking::RecordedTransfer& transfer : file.transfers) {
        const QDate day = transfer.lineDate.isValid() ? transfer.lineDate : file.day;
        if (byPayeeAndDay_.isEmpty()) {
            for (std::size_t i = 0; i < lines_.size(); ++i)
                byPayeeAndDay_[{lines_[i].payee, lines_[i].date.toJulianDay()}].push_back(i);
        }
        for (const std::size_t i : byPayeeAndDay_.value({transfer.payee, day.toJulianDay()})) {
            if (taken_[i] || lines_[i].open < transfer.yen * kScale)
                continue;
            taken_[i] = true;
            proposal.pays.push_back({i, transfer.yen * kScale});
            break;
        }
    }
}

Reconciliation Matcher::run(const std::vector<std::size_t>& withdrawals)
{
    Reconciliation result;
    struct Candidates {
        std::size_t withdrawal;
        std::vector<std::size_t> named;
        std::vector<std::size_t> unnamed;
    };
    std::vector<Candidates> open;
    for (const std::size_t w : withdrawals) {
        if (auto file = fileProposal(w)) {
            result.proposed.push_back(std::move(*file));
            continue;
        }
        const StatementLine& debit = statement_.lines[w];
        Candidates c{w, {}, {}};
        const auto bucket = index_.byAmount.find(debit.yen * kScale);
        if (bucket != index_.byAmount.end()) {
            const int day = days_.index(debit.date);
            auto it = std::lower_bound(bucket->second.begin(), bucket->second.end(), day - sources_.dayWindow,
                [](const LinesByAmount::Entry& e, int d) { return e.day < d; });
            const QString& words = keys_.key(statementWords(debit));
            for (; it != bucket->second.end() && it->day <= day + sources_.dayWindow; ++it) {
                const std::vector<QString>& keys = payeeKeys(lines_[it->line].payee);
                const bool named = std::any_of(keys.begin(), keys.end(), [&](const QString& k) { return keyMatches(words, k); });
                (named ? c.named : c.unnamed).push_back(it->line);
            }
        }
        open.push_back(std::move(c));
    }
    // A line named by exactly one withdrawal that names only it is proposed; the rest choose.
    std::unordered_map<std::size_t, int> namings;
    for (const Candidates& c : open) {
        for (const std::size_t line : c.named)
            ++namings[line];
    }
    std::vector<bool> proposed(statement_.lines.size(), false);
    for (const Candidates& c : open) {
        if (c.named.size() == 1 && namings[c.named.front()] == 1 && !taken_[c.named.front()]) {
            taken_[c.named.front()] = true;
            proposed[c.withdrawal] = true;
            result.proposed.push_back({c.withdrawal, {{c.named.front(), lines_[c.named.front()].open}}, -1, 0});
        }
    }
    for (const Candidates& c : open) {
        if (proposed[c.withdrawal])
            continue;
        Ambiguity choice{c.withdrawal, {}, !c.named.empty()};
        for (const std::size_t line : c.named.empty() ? c.unnamed : c.named) {
            if (!taken_[line])
                choice.choices.push_back(line);
        }
        if (choice.choices.empty())
            result.unmatched.push_back(c.withdrawal);
        else
            result.ambiguous.push_back(std::move(choice));
    }
    std::vector<bool> offered = taken_;
    for (const Ambiguity& a : result.ambiguous) {
        for (const std::size_t line : a.choices)
            offered[line] = true;
    }
    const int end = days_.index(statement_.to);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!offered[i] && days_.index(lines_[i].date) + sources_.dayWindow <= end)
            result.overdue.push_back(i);
    }
    return result;
}

} // namespace

QString statementWords(const StatementLine& line)
{
    if (line.memo.isEmpty())
        return line.name;
    if (line.name.isEmpty())
        return line.memo;
    return line.name + u' ' + line.memo;
}

Reconciliation matchStatement(const Statement& statement, const std::vector<std::size_t>& withdrawals, const std::vector<OpenLine>& lines,
    const MatchSources& sources)
{
    return Matcher(statement, lines, sources).run(withdrawals);
}

} // namespace statement

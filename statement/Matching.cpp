#include "Matching.h"

#include "Amount.h"
#include "BusinessDayIndex.h"
#include "NameKey.h"

#include <algorithm>

namespace statement {

namespace {

constexpr qint64 kScale = ledger::Amount::kScale;

// The open lines that owe an amount some withdrawal has, by amount and day.
struct IndexEntry {
    qint64 amount;
    int day; // business-day index
    std::size_t line;
    friend bool operator<(const IndexEntry& a, const IndexEntry& b) { return a.amount != b.amount ? a.amount < b.amount : a.day < b.day; }
};

class Matcher {
public:
    Matcher(const Statement& statement, const std::vector<OpenLine>& lines, const MatchSources& sources)
        : statement_(statement)
        , lines_(lines)
        , sources_(sources)
        , days_(firstDay(), lastDay())
        , taken_(lines.size(), false)
        , payeeSlots_(lines.size(), -1)
    {
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
    const std::vector<QString>& payeeKeys(std::size_t line);
    // Indexes the open lines whose amount one of the withdrawals has.
    void indexLines(const std::vector<std::size_t>& withdrawals);

    // The lines whose amount and day fit a withdrawal, and whether its words name their
    // payee; a span of them per withdrawal.
    struct Candidate {
        std::size_t line;
        bool named;
    };
    struct Span {
        std::size_t withdrawal;
        std::size_t begin;
        std::size_t end;
        int named;
    };
    void collect(const std::vector<std::size_t>& withdrawals, Reconciliation& result);
    std::size_t onlyNamed(const Span& span) const;
    void proposeUnique(Reconciliation& result, std::vector<bool>& proposed);
    void offerChoices(Reconciliation& result, const std::vector<bool>& proposed);
    void findOverdue(Reconciliation& result) const;
    std::vector<Candidate> candidates_;
    std::vector<Span> spans_;
    std::optional<Proposal> fileProposal(std::size_t withdrawal);
    void payFileLines(const banking::TransferRecord& file, Proposal& proposal);

    const Statement& statement_;
    const std::vector<OpenLine>& lines_;
    const MatchSources& sources_;
    BusinessDayIndex days_;
    std::vector<IndexEntry> index_;
    std::vector<bool> taken_;
    std::vector<int> payeeSlots_; // per open line, its payee's place in payeeKeys_ once looked up
    std::vector<std::vector<QString>> payeeKeyLists_;
    std::vector<bool> filesUsed_;
    NameKeys keys_;
    QHash<QString, int> payeeKeys_;
    QHash<QPair<QString, qint64>, std::vector<std::size_t>> byPayeeAndDay_; // made when a file matches
};

const std::vector<QString>& Matcher::payeeKeys(std::size_t line)
{
    int& slot = payeeSlots_[line];
    if (slot >= 0)
        return payeeKeyLists_[static_cast<std::size_t>(slot)];
    const QString& payee = lines_[line].payee;
    auto found = payeeKeys_.find(payee);
    if (found == payeeKeys_.end()) {
        std::vector<QString> keys;
        if (const auto holder = sources_.accountNames.constFind(payee); holder != sources_.accountNames.constEnd())
            keys.push_back(nameKey(*holder));
        for (const QString& name : sources_.statementNames.value(payee))
            keys.push_back(nameKey(name));
        payeeKeyLists_.push_back(std::move(keys));
        found = payeeKeys_.insert(payee, static_cast<int>(payeeKeyLists_.size() - 1));
    }
    slot = *found;
    return payeeKeyLists_[static_cast<std::size_t>(slot)];
}

void Matcher::indexLines(const std::vector<std::size_t>& withdrawals)
{
    std::vector<qint64> amounts;
    amounts.reserve(withdrawals.size());
    for (const std::size_t w : withdrawals)
        amounts.push_back(statement_.lines[w].yen * kScale);
    std::sort(amounts.begin(), amounts.end());
    amounts.erase(std::unique(amounts.begin(), amounts.end()), amounts.end());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (std::binary_search(amounts.begin(), amounts.end(), lines_[i].open))
            index_.push_back({lines_[i].open, days_.index(lines_[i].date), i});
    }
    std::sort(index_.begin(), index_.end());
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

void Matcher::collect(const std::vector<std::size_t>& withdrawals, Reconciliation& result)
{
    indexLines(withdrawals);
    spans_.reserve(withdrawals.size());
    for (const std::size_t w : withdrawals) {
        if (auto file = fileProposal(w)) {
            result.proposed.push_back(std::move(*file));
            continue;
        }
        const StatementLine& debit = statement_.lines[w];
        Span span{w, candidates_.size(), candidates_.size(), 0};
        const qint64 amount = debit.yen * kScale;
        const int day = days_.index(debit.date);
        auto it = std::lower_bound(index_.begin(), index_.end(), IndexEntry{amount, day - sources_.dayWindow, 0});
        const QString* words = nullptr;
        for (; it != index_.end() && it->amount == amount && it->day <= day + sources_.dayWindow; ++it) {
            if (!words)
                words = &keys_.key(statementWords(debit));
            const std::vector<QString>& keys = payeeKeys(it->line);
            const bool named = std::any_of(keys.begin(), keys.end(), [&](const QString& k) { return keyMatches(*words, k); });
            candidates_.push_back({it->line, named});
            span.named += named ? 1 : 0;
        }
        span.end = candidates_.size();
        spans_.push_back(span);
    }
}

std::size_t Matcher::onlyNamed(const Span& span) const
{
    for (std::size_t i = span.begin; i < span.end; ++i) {
        if (candidates_[i].named)
            return candidates_[i].line;
    }
    return lines_.size();
}

void Matcher::proposeUnique(Reconciliation& result, std::vector<bool>& proposed)
{
    // A line named by exactly one withdrawal that names only it is proposed.
    std::vector<int> namings(lines_.size(), 0);
    for (const Candidate& c : candidates_)
        namings[c.line] += c.named ? 1 : 0;
    for (const Span& span : spans_) {
        if (span.named != 1)
            continue;
        const std::size_t line = onlyNamed(span);
        if (namings[line] != 1 || taken_[line])
            continue;
        taken_[line] = true;
        proposed[span.withdrawal] = true;
        result.proposed.push_back({span.withdrawal, {{line, lines_[line].open}}, -1, 0});
    }
}

void Matcher::offerChoices(Reconciliation& result, const std::vector<bool>& proposed)
{
    for (const Span& span : spans_) {
        if (proposed[span.withdrawal])
            continue;
        // The lines it names, or when it names none, the lines whose amount and day fit.
        Ambiguity choice{span.withdrawal, {}, span.named > 0};
        for (std::size_t i = span.begin; i < span.end; ++i) {
            if (candidates_[i].named == choice.nameKnown && !taken_[candidates_[i].line])
                choice.choices.push_back(candidates_[i].line);
        }
        if (choice.choices.empty())
            result.unmatched.push_back(span.withdrawal);
        else
            result.ambiguous.push_back(std::move(choice));
    }
}

void Matcher::findOverdue(Reconciliation& result) const
{
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
}

Reconciliation Matcher::run(const std::vector<std::size_t>& withdrawals)
{
    Reconciliation result;
    collect(withdrawals, result);
    std::vector<bool> proposed(statement_.lines.size(), false);
    proposeUnique(result, proposed);
    offerChoices(result, proposed);
    findOverdue(result);
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

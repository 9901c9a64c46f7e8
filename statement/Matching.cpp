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

// A set of amounts in one table (open addressing), as quick to ask as the lines are many.
class AmountSet {
public:
    explicit AmountSet(std::size_t count)
    {
        std::size_t size = 16;
        while (size < count * 2)
            size *= 2;
        slots_.assign(size, kEmpty);
        mask_ = size - 1;
    }
    void insert(qint64 amount)
    {
        for (std::size_t i = slot(amount);; i = (i + 1) & mask_) {
            if (slots_[i] == amount)
                return;
            if (slots_[i] == kEmpty) {
                slots_[i] = amount;
                return;
            }
        }
    }
    bool contains(qint64 amount) const
    {
        for (std::size_t i = slot(amount);; i = (i + 1) & mask_) {
            if (slots_[i] == amount)
                return true;
            if (slots_[i] == kEmpty)
                return false;
        }
    }

private:
    static constexpr qint64 kEmpty = -1; // open amounts are above 0
    std::size_t slot(qint64 amount) const { return static_cast<std::size_t>((static_cast<quint64>(amount) * 0x9E3779B97F4A7C15ULL) >> 20) & mask_; }
    std::vector<qint64> slots_;
    std::size_t mask_ = 0;
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
    // Indexes the open lines whose amount one of the `count` amounts is.
    template <class AmountAt>
    void indexLines(std::size_t count, AmountAt amountAt);

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

template <class AmountAt>
void Matcher::indexLines(std::size_t count, AmountAt amountAt)
{
    AmountSet amounts(count);
    for (std::size_t i = 0; i < count; ++i)
        amounts.insert(amountAt(i));
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (amounts.contains(lines_[i].open))
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
    // The withdrawals a transfer file takes first, in the statement's order; the others
    // meet the index in the order of amount and day, so that one pass over both finds
    // every line whose amount and day fit.
    struct Pending {
        qint64 amount;
        int day;
        std::size_t span;
        QString words; // the key of its words (a QHash moves its values as it grows)
    };
    std::vector<Pending> pending;
    pending.reserve(withdrawals.size());
    spans_.reserve(withdrawals.size());
    for (const std::size_t w : withdrawals) {
        if (auto file = fileProposal(w)) {
            result.proposed.push_back(std::move(*file));
            continue;
        }
        const StatementLine& debit = statement_.lines[w];
        pending.push_back({debit.yen * kScale, days_.index(debit.date), spans_.size(), keys_.key(statementWords(debit))});
        spans_.push_back({w, 0, 0, 0});
    }
    indexLines(pending.size(), [&](std::size_t i) { return pending[i].amount; });
    std::sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) { return a.amount != b.amount ? a.amount < b.amount : a.day < b.day; });
    std::size_t from = 0;
    for (const Pending& p : pending) {
        while (from < index_.size() && (index_[from].amount < p.amount || (index_[from].amount == p.amount && index_[from].day < p.day - sources_.dayWindow)))
            ++from;
        Span& span = spans_[p.span];
        span.begin = span.end = candidates_.size();
        for (std::size_t i = from; i < index_.size() && index_[i].amount == p.amount && index_[i].day <= p.day + sources_.dayWindow; ++i) {
            const std::vector<QString>& keys = payeeKeys(index_[i].line);
            const bool named = std::any_of(keys.begin(), keys.end(), [&](const QString& k) { return keyMatches(p.words, k); });
            candidates_.push_back({index_[i].line, named});
            span.named += named ? 1 : 0;
        }
        span.end = candidates_.size();
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

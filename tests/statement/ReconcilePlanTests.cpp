#include "ReconcilePlan.h"

#include <gtest/gtest.h>

using namespace statement;

namespace {

constexpr qint64 kYen = 10000;

// Four withdrawals: one proposed, two ambiguous (one whose words named no payee), one
// without a line; three open lines.
MatchedStatement matched()
{
    MatchedStatement m;
    auto debit = [](int day, qint64 yen, const char* words) {
        StatementLine line;
        line.date = QDate(2026, 12, day);
        line.yen = yen;
        line.memo = QString::fromUtf8(words);
        return line;
    };
    m.statement.lines = {debit(8, 1000, "ﾃﾞﾝｷ"), debit(10, 2000, "ﾌﾘｺﾐ ﾔﾇｼ"), debit(10, 3000, "ﾐﾅﾐ"), debit(15, 40, "ﾃｽｳﾘﾖｳ")};
    m.keys = {"k0", "k1", "k2", "k3"};
    m.lines = {{4, QDate(2026, 12, 8), QStringLiteral("電気"), 1000 * kYen}, {7, QDate(2026, 12, 10), QStringLiteral("家賃"), 2000 * kYen},
        {9, QDate(2026, 12, 10), QStringLiteral("南商事"), 3000 * kYen}};
    m.reconciliation.proposed = {{0, {{0, 1000 * kYen}}, -1, 0}};
    m.reconciliation.ambiguous = {{1, {1}, false}, {2, {2, 1}, true}};
    m.reconciliation.unmatched = {3};
    return m;
}

std::vector<int> rows(const ReconcilePlan& plan)
{
    std::vector<int> out;
    for (const PlannedPayment& p : plan.payments)
        out.push_back(p.row);
    return out;
}

} // namespace

TEST(ReconcilePlan, DecisionsBecomePaymentsEntriesAndWhatIsRemembered)
{
    const MatchedStatement m = matched();
    // As the dialog opens: the proposal only; the line-less withdrawal is left.
    const ReconcilePlan defaults = planOf(m, Decisions::defaults(m.reconciliation));
    EXPECT_EQ(rows(defaults), std::vector<int>({4}));
    EXPECT_EQ(defaults.payments.front().amount, ledger::Amount::fromUnits(1000 * kYen));
    ASSERT_EQ(defaults.settled.size(), 2u);
    EXPECT_EQ(defaults.settled[0].key, "k0");
    EXPECT_EQ(defaults.settled[0].how, Settlement::Matched);
    EXPECT_EQ(defaults.settled[1].key, "k3");
    EXPECT_EQ(defaults.settled[1].how, Settlement::Left);
    EXPECT_TRUE(defaults.entries.empty());
    EXPECT_TRUE(defaults.names.empty());

    // Everything decided: the proposal unticked is neither paid nor remembered; the unnamed
    // choice remembers the statement's words for its payee; the added withdrawal becomes an
    // entry of its day.
    Decisions all{{false}, {0, 0}, {true}};
    const ReconcilePlan plan = planOf(m, all);
    EXPECT_EQ(rows(plan), std::vector<int>({7, 9}));
    ASSERT_EQ(plan.names.size(), 1u);
    EXPECT_EQ(plan.names[0].payee, "家賃");
    EXPECT_EQ(plan.names[0].statementName, "ﾌﾘｺﾐ ﾔﾇｼ");
    ASSERT_EQ(plan.entries.size(), 1u);
    EXPECT_EQ(plan.entries[0].date, QDate(2026, 12, 15));
    EXPECT_EQ(plan.entries[0].payee, "ﾃｽｳﾘﾖｳ");
    EXPECT_EQ(plan.entries[0].amount, *ledger::Amount::fromYen(40));
    ASSERT_EQ(plan.settled.size(), 3u);
    EXPECT_EQ(plan.settled[2].how, Settlement::Added);
    EXPECT_TRUE(plan.twice.isEmpty());

    // One line chosen for two withdrawals is named and the plan is not to be applied.
    Decisions twice{{true}, {0, 1}, {false}};
    EXPECT_EQ(planOf(m, twice).twice, QStringList({"12/10 家賃 2,000 円"}));
}

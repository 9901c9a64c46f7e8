#include "Matching.h"
#include "NameKey.h"
#include "Session.h"
#include "Sql.h"
#include "StatementStore.h"
#include "TempDataDir.h"

#include <gtest/gtest.h>

using namespace statement;

namespace {

constexpr qint64 kYen = 10000;

StatementLine debit(const QDate& date, qint64 yen, const QString& words, const QString& reference = {})
{
    StatementLine line;
    line.date = date;
    line.yen = yen;
    line.memo = words;
    line.reference = reference;
    return line;
}

std::vector<std::size_t> all(const Statement& s)
{
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < s.lines.size(); ++i)
        out.push_back(i);
    return out;
}

} // namespace

TEST(NameKey, WritingsOfOneHolderGiveOneKey)
{
    const std::vector<std::pair<QString, QString>> same = {
        {QStringLiteral("ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ(ｶ"), QStringLiteral("株式会社　トウキョウデンリョク")},
        {QStringLiteral("ｶ)ﾐﾅﾐ ｼﾖｳｼﾞ"), QStringLiteral("ミナミショウジ（カ")},
        {QStringLiteral("ｶ)ﾐﾅﾐ ｼﾖｳｼﾞ"), QStringLiteral("ﾐﾅﾐｼｮｳｼﾞ")},
        {QStringLiteral("NTT ﾋｶﾞｼﾆﾎﾝ"), QStringLiteral("ｎｔｔ　ひがしにほん")},
        {QStringLiteral("ﾘ-ｽ ｾﾝﾀ-"), QStringLiteral("リース・センター")},
    };
    for (const auto& [a, b] : same)
        EXPECT_EQ(nameKey(a), nameKey(b)) << a.toStdString() << " / " << b.toStdString();
    EXPECT_NE(nameKey(QStringLiteral("ﾐﾅﾐｼﾖｳｼﾞ")), nameKey(QStringLiteral("ｷﾀｼﾖｳｼﾞ")));
    EXPECT_TRUE(keyMatches(nameKey(QStringLiteral("ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ")), nameKey(QStringLiteral("ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ"))));
    EXPECT_FALSE(keyMatches(nameKey(QStringLiteral("ｶﾞｽ")), nameKey(QStringLiteral("ｶ"))));
}

TEST(Matching, EachRuleDecidesWhatIsProposed)
{
    // 2026-12-08 is a Tuesday; 12-12 and 12-13 are a weekend.
    const std::vector<OpenLine> lines = {
        {0, QDate(2026, 12, 8), QStringLiteral("東京電力"), 88000 * kYen},
        {1, QDate(2026, 12, 10), QStringLiteral("南商事"), 50000 * kYen},
        {2, QDate(2026, 12, 10), QStringLiteral("北商事"), 50000 * kYen},
        {3, QDate(2026, 12, 11), QStringLiteral("リース"), 30000 * kYen},
        {4, QDate(2026, 12, 1), QStringLiteral("家賃"), 200000 * kYen},
        {5, QDate(2026, 12, 28), QStringLiteral("電話"), 9000 * kYen},
    };
    MatchSources sources;
    sources.accountNames = {{QStringLiteral("東京電力"), QStringLiteral("ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ(ｶ")}, {QStringLiteral("南商事"), QStringLiteral("ｶ)ﾐﾅﾐｼﾖｳｼﾞ")},
        {QStringLiteral("北商事"), QStringLiteral("ｶ)ｷﾀｼﾖｳｼﾞ")}};
    sources.statementNames = {{QStringLiteral("リース"), {QStringLiteral("ﾘ-ｽｾﾝﾀ-")}}};
    Statement s;
    s.from = QDate(2026, 12, 1);
    s.to = QDate(2026, 12, 24);
    s.lines = {
        debit(QDate(2026, 12, 11), 88000, QStringLiteral("ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ")), // 3 business days late: proposed
        debit(QDate(2026, 12, 10), 50000, QStringLiteral("ﾌﾘｺﾐ ﾐﾅﾐｼﾖｳｼﾞ")),        // named: proposed to 南 only
        debit(QDate(2026, 12, 14), 30000, QStringLiteral("ﾘ-ｽｾﾝﾀ-")),            // a name used before, Monday
        debit(QDate(2026, 12, 2), 200000, QStringLiteral("ﾌﾘｺﾐ ﾔﾇｼ")),          // amount and day fit, name unknown
        debit(QDate(2026, 12, 15), 12345, QStringLiteral("ｶ-ﾄﾞ")),              // no line
        debit(QDate(2026, 12, 21), 88000, QStringLiteral("ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ")),       // too late for line 0
    };
    const Reconciliation r = matchStatement(s, all(s), lines, sources);
    ASSERT_EQ(r.proposed.size(), 3u);
    EXPECT_EQ(r.proposed[0].withdrawal, 0u);
    EXPECT_EQ(r.proposed[0].pays.front().line, 0u);
    EXPECT_EQ(r.proposed[0].pays.front().amount, 88000 * kYen);
    EXPECT_EQ(r.proposed[1].pays.front().line, 1u);
    EXPECT_EQ(r.proposed[2].pays.front().line, 3u);
    ASSERT_EQ(r.ambiguous.size(), 1u);
    EXPECT_EQ(r.ambiguous[0].withdrawal, 3u);
    EXPECT_FALSE(r.ambiguous[0].nameKnown);
    EXPECT_EQ(r.ambiguous[0].choices, std::vector<std::size_t>({4}));
    EXPECT_EQ(r.unmatched, std::vector<std::size_t>({4, 5}));
    // 北商事 is past its window with no withdrawal; the telephone's day is still to come.
    EXPECT_EQ(r.overdue, std::vector<std::size_t>({2}));

    // A shorter window leaves the late electricity debit without its line.
    sources.dayWindow = 2;
    const Reconciliation narrow = matchStatement(s, {0}, lines, sources);
    EXPECT_TRUE(narrow.proposed.empty());
    EXPECT_EQ(narrow.unmatched, std::vector<std::size_t>({0}));
}

TEST(Matching, TwoEqualLinesForTwoEqualDebitsAreAmbiguous)
{
    const std::vector<OpenLine> lines = {
        {0, QDate(2026, 12, 8), QStringLiteral("南商事"), 1000 * kYen}, {1, QDate(2026, 12, 9), QStringLiteral("南商事"), 1000 * kYen}};
    MatchSources sources;
    sources.accountNames = {{QStringLiteral("南商事"), QStringLiteral("ﾐﾅﾐｼﾖｳｼﾞ")}};
    Statement s;
    s.from = s.to = QDate(2026, 12, 9);
    s.lines = {debit(QDate(2026, 12, 9), 1000, QStringLiteral("ﾐﾅﾐｼﾖｳｼﾞ")), debit(QDate(2026, 12, 9), 1000, QStringLiteral("ﾐﾅﾐｼﾖｳｼﾞ"))};
    const Reconciliation r = matchStatement(s, all(s), lines, sources);
    EXPECT_TRUE(r.proposed.empty());
    ASSERT_EQ(r.ambiguous.size(), 2u);
    EXPECT_TRUE(r.ambiguous[0].nameKnown);
    EXPECT_EQ(r.ambiguous[0].choices, std::vector<std::size_t>({0, 1}));
}

TEST(Matching, LumpSumOfATransferFileMatchesItsLines)
{
    const QDate day(2026, 12, 25);
    const std::vector<OpenLine> lines = {
        {0, day, QStringLiteral("南商事"), 100000 * kYen},
        {1, day, QStringLiteral("北商事"), 50000 * kYen},
        {2, day, QStringLiteral("西商事"), 50000 * kYen},
    };
    MatchSources sources;
    banking::TransferRecord file{day, QDateTime(), QStringLiteral("振込_20261225.txt"),
        {{QStringLiteral("南商事"), 100000, day}, {QStringLiteral("北商事"), 50000, day}, {QStringLiteral("東商事"), 1000, day}}};
    sources.transferFiles = {file};
    Statement s;
    s.from = s.to = day;
    // The total 151,000 yen and 3 fees of 440 yen debited together.
    s.lines = {debit(day, 151000 + 3 * 440, QStringLiteral("ｿｳｺﾞｳﾌﾘｺﾐ"))};
    const Reconciliation r = matchStatement(s, all(s), lines, sources);
    ASSERT_EQ(r.proposed.size(), 1u);
    EXPECT_EQ(r.proposed[0].file, 0);
    EXPECT_EQ(r.proposed[0].feeYen, 1320);
    ASSERT_EQ(r.proposed[0].pays.size(), 2u) << "東商事 has no open line: already paid";
    EXPECT_EQ(r.proposed[0].pays[0].line, 0u);
    EXPECT_EQ(r.proposed[0].pays[1].line, 1u);
    EXPECT_EQ(r.proposed[0].pays[1].amount, 50000 * kYen);
    // More than the fees allow is no longer that file's debit.
    s.lines = {debit(day, 151000 + 3 * 1001, QStringLiteral("ｿｳｺﾞｳﾌﾘｺﾐ"))};
    EXPECT_TRUE(matchStatement(s, all(s), lines, sources).proposed.empty());
}

TEST(StatementStore, KeepsLayoutsNamesSettledLinesAndTheWindow)
{
    TempDataDir dir;
    Statement s;
    s.lines = {debit(QDate(2026, 12, 8), 1000, QStringLiteral("A")), debit(QDate(2026, 12, 8), 1000, QStringLiteral("A")),
        debit(QDate(2026, 12, 9), 1000, QStringLiteral("A"), QStringLiteral("55"))};
    const std::vector<QString> keys = lineKeys(s);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_NE(keys[0], keys[1]) << "two equal lines stay two";
    EXPECT_EQ(lineKeys(s), keys) << "the same file gives the same keys";
    {
        auto session = store::Session::open(dir.path());
        StatementStore store(session->mainDb());
        EXPECT_EQ(store.dayWindow(), 3);
        store.setDayWindow(5);
        const QStringList titles{QStringLiteral("日付"), QStringLiteral("摘要")};
        EXPECT_FALSE(store.csvColumns(titles));
        store.saveCsvColumns(titles, {0, 2, 3, 1, -1});
        store.settle({{keys[0], QDate(2026, 12, 8), 1000, Settlement::Matched}, {keys[2], QDate(2026, 12, 9), 1000, Settlement::Left}},
            {{QStringLiteral("南商事"), QStringLiteral("ﾐﾅﾐ")}}, QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    }
    auto session = store::Session::open(dir.path());
    StatementStore store(session->mainDb());
    EXPECT_EQ(store.dayWindow(), 5);
    EXPECT_EQ(store.csvColumns({QStringLiteral("日付"), QStringLiteral("摘要")}), (CsvColumns{0, 2, 3, 1, -1}));
    EXPECT_EQ(store.settledKeys(QDate(2026, 12, 1), QDate(2026, 12, 31)), (QSet<QString>{keys[0], keys[2]}));
    EXPECT_TRUE(store.settledKeys(QDate(2026, 12, 9), QDate(2026, 12, 31)).contains(keys[2]));
    EXPECT_FALSE(store.settledKeys(QDate(2026, 12, 9), QDate(2026, 12, 31)).contains(keys[0]));
    EXPECT_EQ(store.payeeNames().value(QStringLiteral("南商事")), QStringList{QStringLiteral("ﾐﾅﾐ")});
    EXPECT_EQ(store::scalar(session->mainDb(), QStringLiteral("SELECT 処理 FROM 明細消込 WHERE 照合キー = ?"), {keys[2]}).toString(), QStringLiteral("見送り"));
    store.forget({{keys[0], QDate(2026, 12, 8), 1000, Settlement::Matched}});
    EXPECT_EQ(store.settledKeys(QDate(2026, 12, 1), QDate(2026, 12, 31)), (QSet<QString>{keys[2]}));
}

TEST(StatementStore, ABookOfAnEarlierVersionGetsTheTablesWhenOpened)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        for (const char* table : {"明細CSV列", "明細名義", "明細消込", "明細照合設定"})
            store::exec(session->mainDb(), QStringLiteral("DROP TABLE %1").arg(QString::fromUtf8(table)));
    }
    auto session = store::Session::open(dir.path());
    StatementStore store(session->mainDb());
    EXPECT_EQ(store.dayWindow(), StatementStore::kDefaultDayWindow);
    store.settle({{QStringLiteral("k"), QDate(2026, 12, 8), 1, Settlement::Left}}, {{QStringLiteral("家賃"), QStringLiteral("ﾔﾇｼ")}}, QDateTime());
    EXPECT_EQ(store.settledKeys(QDate(2026, 12, 1), QDate(2026, 12, 31)).size(), 1);
    EXPECT_EQ(store.payeeNames().size(), 1);
}

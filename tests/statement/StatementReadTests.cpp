#include "CsvStatement.h"
#include "StatementWriter.h"
#include "TextCodec.h"
#include "ZenginStatement.h"

#include <gtest/gtest.h>

using namespace statement;
using namespace statement_test;

namespace {

const QDate kLimit(2027, 12, 31);

Account december()
{
    return {"081201", "081231",
        {{"081208", 2, 88000, QString(), QStringLiteral("ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ"), 101},
            {"081210", 1, 500000, QStringLiteral("ｶ)ﾐﾅﾐｼﾖｳｼﾞ"), QString(), 102},
            {"081225", 2, 1234567, QStringLiteral("ｿｳｺﾞｳﾌﾘｺﾐ"), QString(), 103}}};
}

} // namespace

TEST(ZenginStatement, ReadsEveryRecordKindWithAndWithoutLineEnds)
{
    for (const bool lineEnds : {true, false}) {
        SCOPED_TRACE(lineEnds ? "CR LF" : "no line ends");
        const ReadResult read = readZenginStatement(statementFile({december()}, lineEnds), kLimit);
        ASSERT_TRUE(read.ok()) << read.error.text().toStdString();
        const Statement& s = *read.statement;
        EXPECT_EQ(s.from, QDate(2026, 12, 1));
        EXPECT_EQ(s.to, QDate(2026, 12, 31));
        ASSERT_EQ(s.lines.size(), 3u);
        const StatementLine& bill = s.lines[0];
        EXPECT_EQ(bill.record, 2);
        EXPECT_EQ(bill.account, QStringLiteral("0005-123-2-7654321"));
        EXPECT_EQ(bill.date, QDate(2026, 12, 8));
        EXPECT_EQ(bill.direction, Direction::Withdrawal);
        EXPECT_EQ(bill.yen, 88000);
        EXPECT_EQ(bill.memo, QStringLiteral("ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ"));
        EXPECT_EQ(bill.reference, QStringLiteral("101"));
        EXPECT_EQ(s.lines[1].direction, Direction::Deposit);
        EXPECT_EQ(s.lines[1].name, QStringLiteral("ｶ)ﾐﾅﾐｼﾖｳｼﾞ"));
        EXPECT_EQ(s.lines[2].yen, 1234567);
    }
    // A last record without its CR LF, an end-of-file byte, and two accounts in one file.
    QByteArray bytes = statementFile({december(), {"081201", "081231", {{"081215", 2, 300, QString(), QStringLiteral("ﾃｽｳﾘﾖｳ"), 7}}}}, true);
    bytes.chop(2);
    bytes += '\x1A';
    const ReadResult read = readZenginStatement(bytes, kLimit);
    ASSERT_TRUE(read.ok()) << read.error.text().toStdString();
    EXPECT_EQ(read.statement->lines.size(), 4u);
    EXPECT_EQ(read.statement->lines.back().record, 7);
}

TEST(ZenginStatement, EraDatesOnBothSidesOfTheChangeOfEra)
{
    const Account account{"310425", "010510",
        {{"310430", 2, 100, QStringLiteral("A"), QString(), 1}, {"010501", 2, 200, QStringLiteral("B"), QString(), 2},
            {"010507", 2, 300, QStringLiteral("C"), QString(), 3}}};
    const ReadResult read = readZenginStatement(statementFile({account}, false), kLimit);
    ASSERT_TRUE(read.ok()) << read.error.text().toStdString();
    EXPECT_EQ(read.statement->from, QDate(2019, 4, 25));
    EXPECT_EQ(read.statement->to, QDate(2019, 5, 10));
    EXPECT_EQ(read.statement->lines[0].date, QDate(2019, 4, 30));
    EXPECT_EQ(read.statement->lines[1].date, QDate(2019, 5, 1));
    EXPECT_EQ(read.statement->lines[2].date, QDate(2019, 5, 7));
}

TEST(ZenginStatement, BrokenFilesAreRefusedWithThePlaceNamed)
{
    const std::vector<QByteArray> good = records({december()});
    struct Case {
        const char* what;
        std::function<QByteArray()> bytes;
        int record;
        QString field;
    };
    auto changed = [&](std::size_t record, int offset, const QByteArray& with, bool lineEnds = false) {
        std::vector<QByteArray> r = good;
        r[record].replace(offset, with.size(), with);
        return join(r, lineEnds);
    };
    const std::vector<Case> cases = {
        {"amount with a letter", [&] { return changed(1, 30, "12A"); }, 2, QStringLiteral("取引金額")},
        {"day no era holds", [&] { return changed(3, 9, "080231"); }, 4, QStringLiteral("勘定日")},
        {"in/out flag 3", [&] { return changed(2, 21, "3"); }, 3, QStringLiteral("入払区分")},
        {"not 入出金取引明細", [&] { return changed(0, 1, "01"); }, 1, QStringLiteral("種別コード")},
        {"EBCDIC", [&] { return changed(0, 3, "1"); }, 1, QStringLiteral("コード区分")},
        {"full-width byte in a name", [&] { return changed(2, 81, "\x83\x41"); }, 3, QStringLiteral("振込依頼人名")},
        {"trailer count", [&] { return changed(4, 20, "000009"); }, 5, QStringLiteral("出金件数")},
        {"trailer total", [&] { return changed(4, 26, "0000000000001"); }, 5, QStringLiteral("出金額合計")},
        {"data before header", [&] { std::vector<QByteArray> r = good; std::swap(r[0], r[1]); return join(r, false); }, 1, QStringLiteral("データ区分")},
        {"missing CR LF", [&] { QByteArray b = join(good, true); b.remove(202 * 2 + 200, 2); b += "\r\n"; return b; }, 3, QStringLiteral("改行")},
        {"no end record", [&] { std::vector<QByteArray> r = good; r.pop_back(); return join(r, false); }, 5, QString()},
        {"a record after the end", [&] { std::vector<QByteArray> r = good; r.push_back(good[1]); return join(r, false); }, 7, QString()},
        {"short file", [&] { return join(good, false).chopped(7); }, 0, QString()},
    };
    for (const Case& c : cases) {
        const ReadResult read = readZenginStatement(c.bytes(), kLimit);
        EXPECT_FALSE(read.ok()) << c.what;
        EXPECT_EQ(read.error.record, c.record) << c.what << ": " << read.error.text().toStdString();
        EXPECT_EQ(read.error.field, c.field) << c.what << ": " << read.error.text().toStdString();
        EXPECT_FALSE(read.error.reason.isEmpty()) << c.what;
    }
}

TEST(CsvStatement, ReadsBanksLayoutsInUtf8AndCp932)
{
    struct Layout {
        const char* what;
        QString text;
        CsvColumns columns;
        bool cp932;
    };
    const std::vector<Layout> layouts = {
        {"date, out, in, description",
            QStringLiteral("日付,出金,入金,摘要\r\n2026/12/08,\"88,000\",,ﾃﾞﾝｷﾘﾖｳ\r\n2026/12/10,,500000,ｶ)ﾐﾅﾐｼﾖｳｼﾞ\r\n"), {0, 1, 2, 3, -1}, false},
        {"reference first, era days, 円, CP932",
            QStringLiteral("照会番号,取引日,摘要,お預入れ,お引出し,残高\n101,令和8年12月8日,電気料　東京電力,,88000円,1\n102,R8.12.10,\"ミナミ商事, 振込\",500000円,,2\n\n"),
            {1, 4, 3, 2, 0}, true},
        {"compact days and a title row only",
            QStringLiteral("\xEF\xBB\xBF"
                           "取引日,内容,支払,預り\n20261208,ﾃﾞﾝｷﾘﾖｳ,88000,\n20261210,ﾐﾅﾐ,,500000"),
            {0, 2, 3, 1, -1}, false},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.what);
        const QByteArray bytes = layout.cp932 ? *exchange::cp932::encode(layout.text) : layout.text.toUtf8();
        const ReadResult read = readCsvStatement(bytes, layout.columns);
        ASSERT_TRUE(read.ok()) << read.error.text().toStdString();
        const Statement& s = *read.statement;
        ASSERT_EQ(s.lines.size(), 2u);
        EXPECT_EQ(s.from, QDate(2026, 12, 8));
        EXPECT_EQ(s.to, QDate(2026, 12, 10));
        EXPECT_EQ(s.lines[0].direction, Direction::Withdrawal);
        EXPECT_EQ(s.lines[0].yen, 88000);
        EXPECT_EQ(s.lines[0].record, 2);
        EXPECT_EQ(s.lines[1].direction, Direction::Deposit);
        EXPECT_EQ(s.lines[1].yen, 500000);
        EXPECT_FALSE(s.lines[1].name.isEmpty());
        EXPECT_EQ(s.lines[0].reference, layout.columns.reference >= 0 ? QStringLiteral("101") : QString());
    }
    EXPECT_EQ(csvTitles(QByteArray("\xEF\xBB\xBF" "a, b ,c\n1,2,3")), (QStringList{"a", "b", "c"}));
}

TEST(CsvStatement, BrokenFilesAreRefusedWithThePlaceNamed)
{
    const CsvColumns columns{0, 1, 2, 3, -1};
    struct Case {
        const char* what;
        QByteArray bytes;
        int record;
        QString field;
    };
    const std::vector<Case> cases = {
        {"bad day", "d,o,i,t\n2026/12/08,1,,a\n2026/13/01,1,,b\n", 3, QStringLiteral("日付")},
        {"letters in the amount", "d,o,i,t\n2026/12/08,1x,,a\n", 2, QStringLiteral("出金")},
        {"negative deposit", "d,o,i,t\n2026/12/08,,-5,a\n", 2, QStringLiteral("入金")},
        {"both amounts", "d,o,i,t\n2026/12/08,1,1,a\n", 2, QStringLiteral("出金")},
        {"no amount", "d,o,i,t\n2026/12/08,,,a\n", 2, QStringLiteral("出金")},
        {"quote left open", "d,o,i,t\n2026/12/08,1,,\"a\n2026/12/09,1,,b\n", 2, QString()},
        {"neither UTF-8 nor CP932", "d,o,i,t\n2026/12/08,1,,\x85\x40\n", 0, QString()},
    };
    for (const Case& c : cases) {
        const ReadResult read = readCsvStatement(c.bytes, columns);
        EXPECT_FALSE(read.ok()) << c.what;
        EXPECT_EQ(read.error.record, c.record) << c.what << ": " << read.error.text().toStdString();
        EXPECT_EQ(read.error.field, c.field) << c.what;
    }
}

TEST(ZenginStatement, ProgressClimbsToTheWholeFile)
{
    Account many{"081201", "081231", {}};
    for (int i = 0; i < 9000; ++i)
        many.entries.push_back({"081208", 2, 100 + i, QString(), QStringLiteral("ﾃｽﾄ"), i + 1});
    std::vector<int> told;
    const ReadResult read = readZenginStatement(statementFile({many}, false), kLimit, [&](int percent) { told.push_back(percent); });
    ASSERT_TRUE(read.ok()) << read.error.text().toStdString();
    ASSERT_GE(told.size(), 3u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.front(), 0);
    EXPECT_EQ(told.back(), 100);
}

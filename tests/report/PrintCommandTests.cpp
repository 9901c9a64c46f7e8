#include "PrintCommand.h"
#include "ReportTestSupport.h"
#include "Session.h"
#include "TempDataDir.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

// A sheet in the order the grid shows it: used lines, blank lines, a line with amounts but
// no payee, an emptied payee cell, a payee without a date.
void fillSheet(SQLite::Database& work)
{
    addSheetLine(work, 1, "15", "O'Brien 商会", 30000, 0, 30000);
    addSheetLine(work, 2, {}, {}, 0, 0, 0);
    addSheetLine(work, 3, "03", {}, 5000, 0, 35000);
    addSheetLine(work, 4, "01", "東京電力", 0, 12000, 18000);
    addSheetLine(work, 5, "20", "", 100, 0, 18100);
    addSheetLine(work, 6, {}, "日付なし", 0, 0, 0);
    addSheetLine(work, 7, {}, {}, 0, 0, 0);
}

QStringList payees(const std::vector<PrintRow>& rows)
{
    QStringList out;
    for (const auto& row : rows)
        out << row.支払先名;
    return out;
}

} // namespace

TEST(PrintCommand, CopiesTheLinesWithAPayeeInSheetOrderAndRefillsOnEveryPrint)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& work = session->workDb();
    fillSheet(work);
    // What the previous print left behind must not come back.
    store::exec(work, "INSERT INTO InpWork印刷 (行番号, 支払先名, 予定額) VALUES (9, '先月の行', 10000)");

    const auto rows = collectPrintRows(work);
    EXPECT_EQ(payees(rows), QStringList({"O'Brien 商会", "東京電力", "日付なし"}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].表示日付, "15");
    EXPECT_EQ(rows[0].予定額, yen(30000));
    EXPECT_EQ(rows[1].支払額, yen(12000));
    EXPECT_EQ(rows[1].残高, yen(18000));
    EXPECT_EQ(rows[2].表示日付, "");
    EXPECT_EQ(rows[0].日付, QDate(2005, 11, 15)) << "the weekday's date comes along";
    EXPECT_FALSE(rows[2].日付.isValid());
    // The print table holds exactly the copied lines, every column carried over.
    EXPECT_EQ(store::scalar(work, "SELECT count(*) FROM InpWork印刷").toLongLong(), 3);
    EXPECT_EQ(store::scalar(work, "SELECT 日付 FROM InpWork印刷 WHERE 支払先名 = '東京電力'").toString(), "2005-11-01");
    EXPECT_EQ(store::scalar(work, "SELECT 行番号 FROM InpWork印刷 ORDER BY rowid DESC LIMIT 1").toLongLong(), 6);

    // A second print with no change gives the same lines, none twice.
    const auto again = collectPrintRows(work);
    EXPECT_EQ(payees(again), payees(rows));
    EXPECT_EQ(store::scalar(work, "SELECT count(*) FROM InpWork印刷").toLongLong(), 3);
    const ReportHeader header{QDate(2005, 11, 1), "2005年11月", yen(1), yen(2), yen(3), yen(4)};
    EXPECT_EQ(describe(layoutReport(header, rows, 255)), describe(layoutReport(header, again, 255)));

    // The sheet is left as it was.
    EXPECT_EQ(store::scalar(work, "SELECT count(*) FROM InpWork").toLongLong(), 7);
}

TEST(PrintCommand, PrintsTheSheetEvenWhenThePrintTableCannotBeRefilled)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& work = session->workDb();
    fillSheet(work);
    store::exec(work, "INSERT INTO InpWork印刷 (行番号, 支払先名) VALUES (9, '先月の行')");

    // Filling fails after the table was emptied: the emptying is undone with it, and the
    // report still shows the sheet, not the stale table.
    store::exec(work, "CREATE TRIGGER refuse BEFORE INSERT ON InpWork印刷 BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(fillPrintTable(work));
    EXPECT_EQ(store::scalar(work, "SELECT 支払先名 FROM InpWork印刷").toString(), "先月の行");
    EXPECT_EQ(payees(collectPrintRows(work)), QStringList({"O'Brien 商会", "東京電力", "日付なし"}));

    // Without the print table at all.
    store::exec(work, "DROP TABLE InpWork印刷");
    EXPECT_EQ(payees(collectPrintRows(work)), QStringList({"O'Brien 商会", "東京電力", "日付なし"}));
}

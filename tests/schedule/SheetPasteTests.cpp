#include "SheetColumns.h"
#include "SheetPaste.h"

#include <gtest/gtest.h>

using namespace schedule;

TEST(SheetPaste, SpreadsheetBlocksAreReadAndWrittenWithQuotedCellsAndLandOnTheVisibleColumns)
{
    // A spreadsheet's block: CRLF lines, a quoted cell with a tab, a line break and quotes.
    const auto block = parseCellBlock("5\t\"A\tB\nC \"\"D\"\"\"\t1,200\r\n\t\t\r\n");
    ASSERT_EQ(block.size(), 2u);
    EXPECT_EQ(block[0], (QStringList{"5", "A\tB\nC \"D\"", "1,200"}));
    EXPECT_EQ(block[1], (QStringList{"", "", ""}));
    EXPECT_EQ(parseCellBlock(formatCellBlock(block)), block);

    // From the payee column the third value lands on the balance; the fourth has no column,
    // and a line under the last one has no line.
    const PastePlan plan = planPaste({{"a", "1", "2", "3"}}, kSheetLines - 1, kCol支払先名, {kCol表示日付, kCol支払先名, kCol予定額, kCol支払額}, kSheetLines);
    ASSERT_EQ(plan.cells.size(), 3u);
    EXPECT_EQ(plan.cells[2].column, kCol支払額);
    ASSERT_EQ(plan.refused.size(), 1u);
    EXPECT_EQ(plan.refused[0].cell.text, "3");
    EXPECT_EQ(planPaste({{"x"}, {"y"}}, kSheetLines - 1, kCol表示日付, {kCol表示日付}, kSheetLines).refused.size(), 1u);

    EXPECT_EQ(amountAsTyped(" ￥1,234円 "), "1,234");
    EXPECT_EQ(amountAsTyped("-¥500"), "-500");
}

#include "MonthController.h"
#include "SheetColumns.h"
#include "SheetPaste.h"
#include "StoredLines.h"

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

qint64 rowIdOf(SQLite::Database& work, int lineNumber)
{
    return store::scalar(work, "SELECT rowid FROM InpWork WHERE 行番号 = ?", {lineNumber}).toLongLong();
}

// A block pasted with its top-left value on the day cell of a sheet line.
std::vector<PasteCell> onSheet(SQLite::Database& work, const QString& text, int line, int column = kCol表示日付)
{
    const PastePlan plan = planPaste(parseCellBlock(text), line - 1, column, {kCol表示日付, kCol支払先名, kCol予定額, kCol支払額, kCol残高}, kSheetLines);
    std::vector<PasteCell> cells = plan.cells;
    for (PasteCell& cell : cells)
        cell.rowId = rowIdOf(work, cell.row + 1);
    return cells;
}

} // namespace

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

TEST(SheetEditHistory, APasteChecksEachValueAsTypedAndIsOneStepThatUndoAndRedoWalkTogetherWithEdits)
{
    Files f;
    storeLine(f.main, "2005-02-10", 1, "二月", yen(700), yen(0), yen(700));
    storeLine(f.main, "2005-03-05", 1, "三月", yen(100), yen(0), yen(800));
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 3, 1));
    month.load();
    const std::string loaded = sheetLines(f.work, 5);
    EXPECT_FALSE(month.canUndo());

    // Three lines from a spreadsheet onto line 2: amounts with currency marks go in, a
    // letter in an amount, a day March lacks and a value on the balance are refused.
    const auto outcome = month.paste(onSheet(f.work, "7\t電気\t¥5,000\t4800\n32\t水道\tabc\t\t999\n9\t家賃\t99999999999999999\t1\n", 2));
    EXPECT_EQ(sheetLines(f.work, 5), "05 三月 100/0 800, 07 電気 5000/4800 1000, - 水道 0/0 -, 09 家賃 0/1 999, - - 0/0 -");
    std::vector<std::pair<QString, PasteRefusal>> refused;
    for (const RefusedValue& r : outcome.refused)
        refused.emplace_back(r.cell.text, r.why);
    EXPECT_EQ(refused, (std::vector<std::pair<QString, PasteRefusal>>{
                           {"32", PasteRefusal::NoSuchDay}, {"abc", PasteRefusal::NotAnAmount}, {"999", PasteRefusal::Computed}, {"99999999999999999", PasteRefusal::OutOfRange}}));
    EXPECT_EQ(outcome.payees, (QStringList{"電気", "水道", "家賃"}));
    EXPECT_EQ(month.figures().予定額月計, Amount::fromYen(5100));
    EXPECT_TRUE(month.hasUnsavedChanges());

    // A typed carry-over and a typed value are steps of their own.
    month.setCarry(Amount::fromYen(1000));
    const qint64 line5 = rowIdOf(f.work, 5);
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = 'typed' WHERE rowid = ?", {line5});
    month.cellAccepted(line5, kCol支払先名);
    const std::string typed = sheetLines(f.work, 5);

    ASSERT_TRUE(month.undo());
    EXPECT_EQ(sheetLines(f.work, 5), "05 三月 100/0 1100, 07 電気 5000/4800 1300, - 水道 0/0 -, 09 家賃 0/1 1299, - - 0/0 -");
    ASSERT_TRUE(month.undo());
    EXPECT_EQ(month.figures().繰越額, Amount::fromYen(700));
    ASSERT_TRUE(month.undo());
    EXPECT_EQ(sheetLines(f.work, 5), loaded);
    EXPECT_EQ(month.figures().予定額月計, Amount::fromYen(100));
    EXPECT_FALSE(month.hasUnsavedChanges()) << "undone back to the loaded month";
    EXPECT_FALSE(month.undo());

    ASSERT_TRUE(month.redo());
    ASSERT_TRUE(month.redo());
    ASSERT_TRUE(month.redo());
    EXPECT_FALSE(month.redo());
    EXPECT_EQ(sheetLines(f.work, 5), typed);
    EXPECT_TRUE(month.hasUnsavedChanges());

    // A registered sheet is the new starting point; nothing before it comes back.
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = NULL WHERE rowid IN (?, ?)", {line5, rowIdOf(f.work, 3)});
    EXPECT_EQ(month.save().kind, SaveResult::Kind::Saved);
    EXPECT_FALSE(month.canUndo());
}

TEST(SheetEditHistory, RepeatingLastMonthAndInsertedLinesUndoButAStoredLineDeletionStartsAfresh)
{
    Files f;
    storeLine(f.main, "2005-01-10", 1, "電気", yen(5000), yen(4800), yen(200));
    storeLine(f.main, "2005-02-03", 1, "既存", yen(10), yen(0), yen(190));
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 2, 1));
    month.load();
    const std::string loaded = sheetLines(f.work, 4);

    ASSERT_EQ(month.copyPreviousMonth().kind, CopyOutcome::Copied);
    EXPECT_EQ(month.insertLine(1), InsertOutcome::Inserted);
    EXPECT_EQ(sheetLines(f.work, 4), "- - 0/0 -, 03 既存 10/0 210, 10 電気 5000/0 5210, - - 0/0 -");
    ASSERT_TRUE(month.undo());
    ASSERT_TRUE(month.undo());
    EXPECT_EQ(sheetLines(f.work, 4), loaded);
    EXPECT_FALSE(month.hasUnsavedChanges());

    // The stored line leaves the book at once: the lines typed before stay, but cannot be
    // undone into a state that holds it again.
    ASSERT_TRUE(month.redo());
    EXPECT_TRUE(month.deleteLine(rowIdOf(f.work, 1)));
    EXPECT_FALSE(month.canUndo());
    EXPECT_FALSE(month.canRedo());
    EXPECT_TRUE(month.hasUnsavedChanges());
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表 WHERE 日付 >= '2005-02-01'"), "0");
}

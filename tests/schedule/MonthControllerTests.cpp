#include "MonthController.h"
#include "MonthSheet.h"
#include "SheetColumns.h"
#include "StoredLines.h"

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

TEST(MonthController, ClearKeepsTheStoredCarryOverATypedOneMovesTheSheetAndOnlyEditsMarkIt)
{
    Files f;
    storeLine(f.main, "2005-02-10", 1, "二月", yen(700), yen(0), yen(700));
    storeLine(f.main, "2005-03-05", 1, "三月", yen(100), yen(0), yen(800));
    MonthController month(*f.session);
    std::vector<bool> marks;
    QObject::connect(&month, &MonthController::modifiedChanged, [&](bool on) { marks.push_back(on); });

    // After clearing, a save continues the chain from the month's stored carry-over.
    month.setMonth(QDate(2005, 3, 20));
    month.clear();
    EXPECT_EQ(month.figures().繰越額, Amount::fromYen(700));
    EXPECT_FALSE(month.hasUnsavedChanges());

    EXPECT_EQ(month.load(), 1);
    EXPECT_EQ(sheetLines(f.work, 2), "05 三月 100/0 800, - - 0/0 0");
    const qint64 line2 = store::scalar(f.work, "SELECT rowid FROM InpWork WHERE 行番号 = 2").toLongLong();
    store::exec(f.work, "UPDATE InpWork SET 表示日付 = '31', 支払先名 = 'x', 支払額 = ? WHERE rowid = ?", {yen(50), line2});
    EXPECT_EQ(month.cellAccepted(line2, kCol表示日付), CellOutcome::Done);
    EXPECT_EQ(sheetLines(f.work, 2), "05 三月 100/0 800, 31 x 0/50 750");
    EXPECT_EQ(marks, std::vector<bool>{true});
    // A typed carry-over moves every balance at once.
    month.setCarry(Amount::fromYen(1000));
    EXPECT_EQ(sheetLines(f.work, 2), "05 三月 100/0 1100, 31 x 0/50 1050");

    // A day the month does not have is refused and leaves the line without a date.
    store::exec(f.work, "UPDATE InpWork SET 表示日付 = '32' WHERE rowid = ?", {line2});
    EXPECT_EQ(month.cellAccepted(line2, kCol表示日付), CellOutcome::DayRefused);
    EXPECT_EQ(sheetLines(f.work, 2), "05 三月 100/0 1100, - x 0/50 -");

    // A save or a load leaves nothing unsaved; more stored lines than the sheet holds are counted.
    store::exec(f.work, "UPDATE InpWork SET 表示日付 = '06', 日付 = '2005-03-06' WHERE rowid = ?", {line2});
    EXPECT_EQ(month.save().kind, SaveResult::Kind::Saved);
    EXPECT_FALSE(month.hasUnsavedChanges());
    for (int i = 0; i < kSheetLines; ++i)
        storeLine(f.main, "2005-03-28", 10 + i, QString("n%1").arg(i), yen(1), yen(0), yen(0));
    EXPECT_EQ(month.load(), kSheetLines + 2);
    EXPECT_EQ(marks, (std::vector<bool>{true, false}));
}

TEST(MonthController, RepeatingLastMonthFillsTheEmptyLinesAfterTheSheetInDayOrderOrNothing)
{
    Files f;
    storeLine(f.main, "2005-01-31", 2, "家賃", yen(80000), yen(80000), yen(0));
    storeLine(f.main, "2005-01-10", 1, "電気", yen(5000), yen(4800), yen(0));
    storeLine(f.main, "2005-01-29", 3, "保険", QVariant(), yen(0), yen(0));
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 2, 1));
    month.load();
    store::exec(f.work, "UPDATE InpWork SET 表示日付 = '03', 日付 = '2005-02-03', 支払先名 = '既存' WHERE 行番号 = 2");

    const CopyOutcome copied = month.copyPreviousMonth();
    EXPECT_EQ(copied.kind, CopyOutcome::Copied);
    EXPECT_EQ(copied.lines, 3);
    EXPECT_TRUE(month.hasUnsavedChanges());
    EXPECT_EQ(sheetLines(f.work, 6), "- - 0/0 -, 03 既存 0/0 0, 10 電気 5000/0 5000, 28 保険 0/0 5000, 28 家賃 80000/0 85000, - - 0/0 -");
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表 WHERE 日付 >= '2005-02-01'"), "0");

    // March has no stored line before it; a sheet too full takes none.
    month.setMonth(QDate(2005, 4, 1));
    month.load();
    EXPECT_EQ(month.copyPreviousMonth().kind, CopyOutcome::NothingStored);
    month.setMonth(QDate(2005, 2, 1));
    month.load();
    store::exec(f.work, "UPDATE InpWork SET 支払先名 = 'full' WHERE 行番号 = ?", {kSheetLines - 1});
    const CopyOutcome full = month.copyPreviousMonth();
    EXPECT_EQ(full.kind, CopyOutcome::NoRoom);
    EXPECT_EQ(full.lines, 2);
    EXPECT_EQ(row(f.work, "SELECT count(*) FROM InpWork WHERE 支払先名 IS NOT NULL"), "1");
}

// Spreadsheet habits under a real keyboard: a key no amount holds refused at once, an
// arrow leaving an editor at its edge, a block copied and pasted with Shift+arrows,
// Ctrl+C and Ctrl+V, and the paste undone and redone with Ctrl+Z and Ctrl+Y.
#include "ProgramUnderX.h"
#include "RealInputSeeds.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

using layout::Column;

TEST(SpreadsheetHabits, RefusedKeysArrowsAtTheEdgeCopyPasteUndoAndRedoUnderARealKeyboard)
{
    TempDataDir data;
    realinput::seedSettings(data);
    ProgramUnderX program(data.path());
    ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString() << " " << program.screenshot(QStringLiteral("start")).toStdString();
    ASSERT_TRUE(realinput::loadMonth(program, QStringLiteral("200601")));

    // A letter in an amount is refused at once with a box; the digits around it land.
    Input first;
    first.click(layout::cell(0, Column::Day)).keys({"3", "<Tab>", "Alpha", "<Tab>", "100", "<Tab>", "50", "<Tab>", "4", "<Tab>", "Bravo", "<Tab>", "1a"});
    ASSERT_TRUE(program.send(first));
    const auto refused = program.waitForDialog(QStringLiteral("入力注意"));
    ASSERT_TRUE(refused) << program.screenshot(QStringLiteral("habits-refused")).toStdString();
    ASSERT_TRUE(program.answer(*refused, QStringLiteral("Return")));
    ASSERT_TRUE(program.waitForMainFocus());

    // Back in the editor: "2", Enter; then the payee cell of line 2 edited with F2, the
    // caret walked to its start and one more Left leaves for the day, typed over with 9.
    Input second;
    second.keys({"2", "<Return>"}).click(layout::cell(1, Column::Payee));
    second.keys({"<F2>", "<Left>", "<Left>", "<Left>", "<Left>", "<Left>", "<Left>", "9", "<Return>"});
    // Lines 1 and 2 from day to 支払額 copied and pasted on line 4, then undone and redone
    // and undone again: the paste is one step.
    second.click(layout::cell(0, Column::Day)).keys({"<shift+Right>", "<shift+Right>", "<shift+Right>", "<shift+Down>", "<ctrl+c>"});
    second.click(layout::cell(3, Column::Day)).keys({"<ctrl+v>", "<ctrl+z>", "<ctrl+y>"});
    ASSERT_TRUE(program.send(second));
    ASSERT_TRUE(program.registerMonth()) << program.screenshot(QStringLiteral("habits-pasted")).toStdString();
    const std::vector<realinput::Line> pasted{
        {1, "2006-01-03", "Alpha", 100, 50},
        {2, "2006-01-09", "Bravo", 12, 0},
        {4, "2006-01-03", "Alpha", 100, 50},
        {5, "2006-01-09", "Bravo", 12, 0},
    };
    EXPECT_EQ(realinput::storedLines(data, "2006-01").toStdString(), realinput::describe(pasted).toStdString()) << program.screenshot(QStringLiteral("habits-pasted")).toStdString();

    // After the save nothing is left to undo: Ctrl+Z changes nothing that a save would store.
    // The sheet shows the month as stored, by date, so the lines are numbered in that order.
    Input after;
    after.click(layout::cell(6, Column::Day)).keys({"7", "<Return>", "<ctrl+z>", "<ctrl+z>"});
    ASSERT_TRUE(program.send(after));
    ASSERT_TRUE(program.registerMonth()) << program.screenshot(QStringLiteral("habits-undone")).toStdString();
    const std::vector<realinput::Line> byDate{
        {1, "2006-01-03", "Alpha", 100, 50},
        {2, "2006-01-03", "Alpha", 100, 50},
        {3, "2006-01-09", "Bravo", 12, 0},
        {4, "2006-01-09", "Bravo", 12, 0},
    };
    EXPECT_EQ(realinput::storedLines(data, "2006-01").toStdString(), realinput::describe(byDate).toStdString()) << program.screenshot(QStringLiteral("habits-undone")).toStdString();
}

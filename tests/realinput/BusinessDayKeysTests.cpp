// 前営業日へ under a real keyboard: Ctrl+Shift+← on lines selected with Shift+↓ moves the
// days that fall on bank holidays, Ctrl+Z and Ctrl+Y undo and redo the move as one step.
#include "ProgramUnderX.h"
#include "RealInputSeeds.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

using layout::Column;

TEST(BusinessDayKeys, CtrlShiftLeftMovesTheSelectedLinesOffBankHolidaysAsOneUndoStep)
{
    TempDataDir data;
    realinput::seedSettings(data);
    ProgramUnderX program(data.path());
    ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString() << " " << program.screenshot(QStringLiteral("start")).toStdString();
    ASSERT_TRUE(realinput::loadMonth(program, QStringLiteral("200601")));

    // 2006/01/09 is 成人の日 and 01/14 a Saturday; 01/10 is a business day.
    Input typed;
    typed.click(layout::cell(0, Column::Day)).keys({"9", "<Tab>", "Alpha", "<Tab>", "100", "<Return>"});
    typed.click(layout::cell(1, Column::Day)).keys({"14", "<Tab>", "Bravo", "<Tab>", "200", "<Return>"});
    typed.click(layout::cell(2, Column::Day)).keys({"10", "<Tab>", "Charlie", "<Tab>", "300", "<Return>"});
    // The three lines selected from the payee column; the move, undone, then done again.
    typed.click(layout::cell(0, Column::Payee)).keys({"<shift+Down>", "<shift+Down>", "<ctrl+shift+Left>", "<ctrl+z>", "<ctrl+y>"});
    ASSERT_TRUE(program.send(typed));
    ASSERT_TRUE(program.registerMonth()) << program.screenshot(QStringLiteral("business-days")).toStdString();
    const std::vector<realinput::Line> moved{
        {1, "2006-01-06", "Alpha", 100, 0},
        {2, "2006-01-13", "Bravo", 200, 0},
        {3, "2006-01-10", "Charlie", 300, 0},
    };
    EXPECT_EQ(realinput::storedLines(data, "2006-01").toStdString(), realinput::describe(moved).toStdString()) << program.screenshot(QStringLiteral("business-days")).toStdString();
}

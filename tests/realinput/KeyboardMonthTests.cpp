// A month typed from the keyboard as in a spreadsheet (Tab, Enter, arrows, full-width
// digits), registered, and the next month continuing from its closing balance.
#include "ProgramUnderX.h"
#include "RealInputSeeds.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

using layout::Column;


TEST(KeyboardMonth, TypedWithTabEnterArrowsAndFullWidthDigitsItIsStoredAndCarriedIntoTheNextMonth)
{
    TempDataDir data;
    realinput::seedSettings(data);
    ProgramUnderX program(data.path());
    ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString() << " " << program.screenshot(QStringLiteral("start")).toStdString();
    ASSERT_TRUE(realinput::loadMonth(program, QStringLiteral("200601")));

    // The first line's day: a click on its payee cell, then the left arrow. Tab from 支払額
    // passes over the balance to the next line's day; Enter moves down a line.
    Input typed;
    typed.click(layout::cell(0, Column::Payee));
    typed.keys({"<Left>", "5", "<Tab>", "Alpha", "<Tab>", "１２０００", "<Tab>", "12000", "<Tab>"});
    typed.keys({"20", "<Tab>", "Bravo", "<Tab>", "3000", "<Return>"});
    typed.keys({"<Left>", "<Left>", "25", "<Tab>", "Charlie", "<Tab>", "6000", "<Tab>", "４５００", "<Return>"});
    ASSERT_TRUE(program.send(typed));
    ASSERT_TRUE(program.registerMonth()) << program.screenshot(QStringLiteral("keyboard-january")).toStdString();

    const std::vector<realinput::Line> january{
        {1, "2006-01-05", "Alpha", 12000, 12000},
        {2, "2006-01-20", "Bravo", 3000, 0}, // an amount not typed is 0
        {3, "2006-01-25", "Charlie", 6000, 4500},
    };
    const QString stored = realinput::storedLines(data, "2006-01");
    EXPECT_EQ(stored.toStdString(), realinput::describe(january).toStdString()) << program.screenshot(QStringLiteral("keyboard-january")).toStdString();

    // The next month by Alt+Right; a line typed there is stored on the carried-over balance.
    Input february;
    february.key(QStringLiteral("alt+Right")).click(layout::cell(0, Column::Payee));
    february.keys({"<Left>", "１０", "<Tab>", "Delta", "<Tab>", "500", "<Tab>", "200", "<Return>"});
    ASSERT_TRUE(program.send(february));
    ASSERT_TRUE(program.registerMonth()) << program.screenshot(QStringLiteral("keyboard-february")).toStdString();
    EXPECT_EQ(realinput::storedLines(data, "2006-02").toStdString(), realinput::describe({{1, "2006-02-10", "Delta", 500, 200}}).toStdString());
    const auto januaryEnd = realinput::storedBalance(data, QStringLiteral("2006-01-25"), QStringLiteral("Charlie"));
    EXPECT_EQ(januaryEnd, std::optional<qint64>(3000 + 6000 - 4500));
    EXPECT_EQ(realinput::storedBalance(data, QStringLiteral("2006-02-10"), QStringLiteral("Delta")), std::optional<qint64>(4500 + 500 - 200))
        << "February starts from January's closing balance";
}

// Typing right after a click on the cell that is already current: every key lands in
// that cell, at user speed and faster, in every column that takes typing.
#include "ProgramUnderX.h"
#include "SheetLayout.h"
#include "RealInputSeeds.h"

#include <gtest/gtest.h>

using layout::Column;

namespace {

struct FirstKeyCase {
    const char* name;
    Column column;
    // Two edits in one session: one typed as fast as xdotool can, one at a typist's pace.
    int fastRow;
    const char* fastText;
    int steadyRow;
    const char* steadyText;
};

// The key that moves from the clicked neighbour onto the cell.
const char* stepOnto(Column column)
{
    return column == Column::Day ? "Left" : "Right";
}

Column neighbour(Column column)
{
    return column == Column::Day ? Column::Payee : static_cast<Column>(static_cast<int>(column) - 1);
}

class FirstKey : public ::testing::TestWithParam<FirstKeyCase> {};

// Makes the cell current by the keyboard (a click on its neighbour, then an arrow), clicks
// it once and types at once, all in one burst of real input, then Enter.
Input clickCurrentCellAndType(int row, Column column, const char* text, int delayMs)
{
    Input input;
    input.click(layout::cell(row, neighbour(column))).key(QString::fromUtf8(stepOnto(column)));
    input.click(layout::cell(row, column)).type(QString::fromUtf8(text), delayMs).key(QStringLiteral("Return"));
    return input;
}

} // namespace

TEST_P(FirstKey, KeysTypedRightAfterClickingTheCurrentCellLandInThatCell)
{
    const FirstKeyCase& c = GetParam();
    TempDataDir data;
    realinput::seedJanuary2006(data);
    ProgramUnderX program(data.path());
    ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString() << " " << program.screenshot(QStringLiteral("start")).toStdString();

    ASSERT_TRUE(realinput::loadMonth(program, QStringLiteral("200601")));
    ASSERT_TRUE(program.send(clickCurrentCellAndType(c.fastRow, c.column, c.fastText, 0)));
    ASSERT_TRUE(program.send(clickCurrentCellAndType(c.steadyRow, c.column, c.steadyText, 40)));
    ASSERT_TRUE(program.registerMonth()) << program.screenshot(QString::fromUtf8(c.name)).toStdString();

    std::vector<realinput::Line> expected = realinput::january2006();
    realinput::typeInto(expected[c.fastRow], c.column, QString::fromUtf8(c.fastText));
    realinput::typeInto(expected[c.steadyRow], c.column, QString::fromUtf8(c.steadyText));
    const QString stored = realinput::storedLines(data, "2006-01");
    if (stored != realinput::describe(expected))
        program.screenshot(QString::fromUtf8(c.name));
    EXPECT_EQ(stored.toStdString(), realinput::describe(expected).toStdString());
}

INSTANTIATE_TEST_SUITE_P(EveryColumn, FirstKey,
    ::testing::Values(FirstKeyCase{"day", Column::Day, 2, "27", 4, "12"}, FirstKeyCase{"payee", Column::Payee, 1, "Zulu", 3, "Yankee"},
        FirstKeyCase{"scheduled", Column::Scheduled, 0, "97531", 6, "4321"}, FirstKeyCase{"paid", Column::Paid, 2, "15", 7, "12000"}),
    [](const ::testing::TestParamInfo<FirstKeyCase>& info) { return std::string(info.param.name); });

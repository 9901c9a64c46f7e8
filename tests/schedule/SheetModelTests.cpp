#include "AmountColor.h"
#include "SheetColumns.h"
#include "SheetModel.h"

#include <QColor>

#include <gtest/gtest.h>

#include <limits>

using namespace schedule;
using ledger::Amount;

TEST(SheetModel, DaysShowTwoDigitsAmountsShowTheirFractionNegativeOnesAreRedAndEveryAmountCarriesItsFullFigure)
{
    SheetLines lines = blankSheet();
    lines[0] = {.day = "07", .payee = "A", .scheduled = Amount::fromUnits(10000), .paid = Amount::fromUnits(-12340000), .balance = Amount::fromUnits(std::numeric_limits<qint64>::max())};
    lines[1] = {.day = "31", .scheduled = Amount::fromUnits(15000), .paid = Amount::fromUnits(-1)};
    std::vector<std::pair<int, QVariant>> edits;
    SheetModel model(lines, [&](int row, int column, const QVariant& value) {
        edits.emplace_back(row * 100 + column, value);
        return true;
    });
    const auto shown = [&](int row, int column, int role = Qt::DisplayRole) { return model.data(model.index(row, column), role); };

    EXPECT_EQ(shown(0, kCol表示日付).toString(), "07");
    EXPECT_EQ(shown(0, kCol行番号).toLongLong(), 1);
    EXPECT_EQ(shown(1, kCol予定額).toString(), "1.5") << "a fraction from an older file is shown, never rounded";
    EXPECT_EQ(shown(1, kCol予定額, Qt::EditRole).toString(), "1.5");
    EXPECT_EQ(shown(2, kCol予定額).toString(), "") << "zero shows blank";
    EXPECT_EQ(shown(0, kCol支払額, Qt::ForegroundRole).value<QColor>(), negativeAmountColor());
    EXPECT_EQ(shown(1, kCol支払額, Qt::ForegroundRole).value<QColor>(), negativeAmountColor()) << "-0.0001 is below zero";
    EXPECT_FALSE(shown(0, kCol予定額, Qt::ForegroundRole).isValid());
    EXPECT_EQ(shown(0, kCol残高, Qt::ToolTipRole).toString(), "922,337,203,685,477.5807");
    EXPECT_EQ(shown(0, kCol支払額, Qt::ToolTipRole).toString(), "-1,234");
    EXPECT_FALSE(shown(0, kCol支払先名, Qt::ToolTipRole).isValid());

    // Only the typed columns take values, and every value goes to the controller.
    EXPECT_FALSE(model.flags(model.index(0, kCol残高)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, kCol支払額)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.setData(model.index(3, kCol予定額), "12"));
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].first, 3 * 100 + kCol予定額);
    EXPECT_EQ(edits[0].second.toString(), "12");
    EXPECT_TRUE(model.setHeaderData(kCol残高, Qt::Horizontal, "総　額"));
    EXPECT_EQ(model.headerData(kCol残高, Qt::Horizontal).toString(), "総　額");
}

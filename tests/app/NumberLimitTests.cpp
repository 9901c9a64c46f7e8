#include "AmountField.h"
#include "GridEditing.h"
#include "GridView.h"
#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <limits>

TEST(NumberLimits, AmountsAtThe64BitEdgeAreExactWhereTheyFitAndRefusedWhereTheyDoNot)
{
    using schedule::kCol予定額;
    using schedule::kCol残高;
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2005, 3, 1)));
    schedule::SheetModel& sheet = w.sheet();
    const qint64 max = std::numeric_limits<qint64>::max();

    struct Typed {
        const char* text;
        std::optional<qint64> units; // nothing: refused, the cell keeps its value
    };
    const Typed typed[] = {
        {"922,337,203,685,477", 922'337'203'685'477LL * 10000},
        {"922337203685477.5807", std::nullopt}, // whole yen only: a fraction is refused
        {"922,337,203,685,478", std::nullopt},
        {"-922,337,203,685,477", -922'337'203'685'477LL * 10000},
        {"-922337203685477.5809", std::nullopt},
        {"0.0001", std::nullopt},
        {"-0.99", std::nullopt},
        {"-12.0", -120'000},
        {"１，０００", 10'000'000},
        {"1e3", std::nullopt},
        {"0.00001", std::nullopt},
    };
    int row = 0;
    for (const Typed& t : typed) {
        w.put(row, kCol予定額, "123");
        sheet.setData(sheet.index(row, kCol予定額), QString::fromUtf8(t.text));
        EXPECT_EQ(sheet.value(row, kCol予定額).toLongLong(), t.units.value_or(1'230'000)) << t.text;
        EXPECT_EQ(sheet.value(row, kCol予定額).typeId(), QMetaType::LongLong) << t.text << ": never floating point";
        ++row;
    }
    std::printf("[ limits ] %d typed amounts at and past the 64-bit edge\n", row);

    // A balance that would pass the edge is not wrapped into a wrong number.
    for (int r = 0; r < row; ++r)
        w.put(r, kCol予定額, "");
    w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromUnits(max - 5));
    w.put(0, schedule::kCol支払先名, "端");
    w.put(0, schedule::kCol表示日付, "1");
    w.grid()->setCurrentCell(0, kCol予定額);
    sheet.setData(sheet.index(0, kCol予定額), "1");
    const auto balance = ledger::Amount::fromVariant(sheet.value(0, kCol残高));
    EXPECT_TRUE(!balance || balance->units() >= max - 5) << "wrapped to " << balance->units();
}

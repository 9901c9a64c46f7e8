#include "AmountField.h"
#include "FrmQuorel1.h"
#include "GridEditing.h"
#include "GridView.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QPushButton>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <limits>

TEST(NumberLimits, AmountsAtThe64BitEdgeAreExactWhereTheyFitAndRefusedWhereTheyDoNot)
{
    TempDataDir dir;
    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    FrmQuorel1& window = *started.window;
    window.findChild<YearMonthEdit*>("Dt年月")->setFromText("20050301");
    window.findChild<QPushButton*>("cmd読込")->click();
    auto& sheet = *window.findChild<store::WorkTableModel*>("datInp");
    const qint64 max = std::numeric_limits<qint64>::max();

    struct Typed {
        const char* text;
        std::optional<qint64> units; // nothing: refused, the cell keeps its value
    };
    const Typed typed[] = {
        {"922,337,203,685,477", 922'337'203'685'477LL * 10000},
        {"922337203685477.5807", max},
        {"922,337,203,685,478", std::nullopt},
        {"-922,337,203,685,477", -922'337'203'685'477LL * 10000},
        {"-922337203685477.5809", std::nullopt},
        {"0.0001", 1},
        {"-0.99", -9'900},
        {"１，０００", 10'000'000},
        {"1e3", std::nullopt},
        {"0.00001", std::nullopt},
    };
    int row = 0;
    for (const Typed& t : typed) {
        sheet.setValue(row, 5, qlonglong(123));
        sheet.setData(sheet.index(row, 5), QString::fromUtf8(t.text));
        EXPECT_EQ(sheet.value(row, 5).toLongLong(), t.units.value_or(123)) << t.text;
        EXPECT_EQ(sheet.value(row, 5).typeId(), QMetaType::LongLong) << t.text << ": never floating point";
        ++row;
    }
    std::printf("[ limits ] %d typed amounts at and past the 64-bit edge\n", row);

    // A balance that would pass the edge is not wrapped into a wrong number.
    auto* carry = window.findChild<AmountField*>("num繰越額");
    carry->setAmount(store::Amount::fromUnits(max - 5));
    sheet.setData(sheet.index(0, 5), "");
    for (int r = 0; r < row; ++r)
        sheet.setValue(r, 5, qlonglong(0));
    sheet.commit();
    auto* grid = window.findChild<GridView*>("GridInp");
    grid->setCurrentCell(0, 5);
    sheet.setData(sheet.index(0, 5), "1");
    const auto balance = store::Amount::fromVariant(sheet.value(0, 7));
    EXPECT_TRUE(!balance || balance->units() >= max - 5) << "wrapped to " << balance->units();
}

TEST(NumberLimits, RandomDaysComposeOnlyRealDatesOfTheShownMonth)
{
    auto* random = QRandomGenerator::global();
    int tried = 0;
    for (int i = 0; i < 5000; ++i) {
        const QDate month(1900 + random->bounded(200), 1 + random->bounded(12), 1);
        const int day = random->bounded(-40, 45);
        const bool wide = random->bounded(2) == 1;
        QString text = QString::number(day);
        if (wide) {
            for (QChar& c : text)
                if (c.isDigit())
                    c = QChar(c.unicode() - '0' + 0xFF10);
        }
        const auto composed = schedule::composeDay(month, text);
        if (day >= 1 && day <= month.daysInMonth()) {
            ASSERT_TRUE(composed.has_value()) << text.toStdString();
            EXPECT_EQ(*composed, QDate(month.year(), month.month(), day));
        } else {
            EXPECT_FALSE(composed.has_value()) << text.toStdString() << " in " << month.toString().toStdString();
        }
        ++tried;
    }
    for (const char* junk : {"", "abc", "1a", "٣", "--1", "0x1f"})
        EXPECT_FALSE(schedule::composeDay(QDate(2005, 4, 1), QString::fromUtf8(junk)).has_value()) << junk;
    std::printf("[ limits ] %d random days composed\n", tried);
}

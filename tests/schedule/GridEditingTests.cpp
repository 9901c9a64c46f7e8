#include "GridEditing.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace schedule;

TEST(GridEditing, DaysGiveDatesOfTheShownMonthAndTheSaveProgressMovesInTenths)
{
    const QDate april(2005, 4, 20);
    EXPECT_EQ(composeDay(april, "30"), QDate(2005, 4, 30));
    EXPECT_EQ(composeDay(april, " ７ "), QDate(2005, 4, 7));
    EXPECT_EQ(composeDay(april, "5.4"), QDate(2005, 4, 5));
    for (const char* refused : {"31", "0", "-5", "100", "abc", "", "1e400", "1a", "٣", "--1", "0x1f"})
        EXPECT_FALSE(composeDay(april, QString::fromUtf8(refused))) << refused;
    EXPECT_FALSE(composeDay(QDate(), "5"));
    EXPECT_FALSE(composeDay(QDate(2005, 2, 1), "29"));
    EXPECT_EQ(composeDay(QDate(2005, 2, 1), "7"), QDate(2005, 2, 7));
    EXPECT_EQ(composeDay(QDate(2004, 2, 1), "29"), QDate(2004, 2, 29));

    SaveProgress month(200); // a step of 22: 10 more at 22, 44, … 198
    QList<int> seen;
    for (int c = 1; c <= 200; ++c)
        seen << month.advance(c);
    EXPECT_EQ(seen.count(0), 21);
    EXPECT_EQ(seen.mid(21, 2), (QList<int>{10, 10}));
    EXPECT_EQ(seen.last(), 90);
    SaveProgress few(4); // 4 / 9 rounds to 0, which counts as 1; never past 100
    for (int c = 1; c <= 12; ++c)
        few.advance(c);
    EXPECT_EQ(few.percent(), 100);
    EXPECT_EQ(SaveProgress(14).step(), 2);
    EXPECT_EQ(SaveProgress(0).advance(1), 0);
}

TEST(GridEditing, RandomDaysComposeOnlyRealDatesOfTheShownMonth)
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
        const auto composed = composeDay(month, text);
        if (day >= 1 && day <= month.daysInMonth()) {
            ASSERT_TRUE(composed.has_value()) << text.toStdString();
            EXPECT_EQ(*composed, QDate(month.year(), month.month(), day));
        } else {
            EXPECT_FALSE(composed.has_value()) << text.toStdString() << " in " << month.toString().toStdString();
        }
        ++tried;
    }
    std::printf("[ limits ] %d random days composed\n", tried);
}

#include "GridEditing.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace schedule;

TEST(GridEditing, DaysGiveDatesOfTheShownMonth)
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
}

TEST(GridEditing, DatesCopiedFromASpreadsheetGiveTheirDayInTheShownMonthOnly)
{
    const QDate march(2027, 3, 1);
    for (const char* written : {"2027/03/08", "2027-03-08", "2027/3/8", "3/8", "03/08", "3-8", "２０２７／０３／０８", "2027年3月8日", "3月8日",
             " 2027 / 3 / 8 "})
        EXPECT_EQ(composeDay(march, QString::fromUtf8(written)), QDate(2027, 3, 8)) << written;
    EXPECT_EQ(composeDay(march, "2027/03/31"), QDate(2027, 3, 31));
    // Another month or year, a day the month lacks, mixed or partial separators.
    for (const char* refused : {"2027/04/08", "2026/03/08", "4/8", "2027/03/32", "2027/03/00", "2027/3-8", "3月8", "2027/03", "27/3/8",
             "2027/03/08/01", "3/8/2027"})
        EXPECT_FALSE(composeDay(march, QString::fromUtf8(refused))) << refused;
    EXPECT_FALSE(composeDay(QDate(2027, 2, 1), "2027/02/29"));
    EXPECT_EQ(composeDay(QDate(2028, 2, 1), "2028/02/29"), QDate(2028, 2, 29));
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

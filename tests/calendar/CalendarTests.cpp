#include "Calendar.h"

#include <gtest/gtest.h>

#include <random>

using namespace calendar;

TEST(DateTexts, ReadBackWhatTheyWriteAndStoredTextsSortLikeDates)
{
    EXPECT_EQ(toSlashText(QDate(5, 1, 2)), QStringLiteral("0005/01/02"));
    EXPECT_EQ(toSlashText(QDate()), QString());
    EXPECT_EQ(toStoredText(QDate(2005, 3, 1)), QStringLiteral("2005-03-01"));
    EXPECT_EQ(fromStoredText(QStringLiteral("2005-3-1")), QDate(2005, 3, 1));
    EXPECT_FALSE(fromStoredText(QStringLiteral("2005-02-30")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("05-03-01")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("2005-03-01-")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("2005-+3-01")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("2005/03/01")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("20050301")).isValid());

    std::mt19937 random(2099);
    std::uniform_int_distribution<qint64> days(QDate(1868, 9, 8).toJulianDay(), QDate(2099, 12, 31).toJulianDay());
    for (int i = 0; i < 2000; ++i) {
        const QDate a = QDate::fromJulianDay(days(random));
        const QDate b = QDate::fromJulianDay(days(random));
        ASSERT_EQ(toSlashText(a), toStoredText(a).replace(u'-', u'/'));
        ASSERT_EQ(fromStoredText(toStoredText(a)), a);
        ASSERT_EQ(a < b, toStoredText(a) < toStoredText(b));
    }
}

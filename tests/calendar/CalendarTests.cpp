#include "Calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace calendar;

TEST(AddDate, MonthStepsKeepTheDayOrTakeTheMonthEnd)
{
    const QString back = AddDate(QDate(2005, 3, 31), QStringLiteral("m"), -1);
    EXPECT_EQ(back, QStringLiteral("2005/02/28"));
    EXPECT_EQ(AddDate(back, QStringLiteral("m"), 1), QStringLiteral("2005/03/28")); // the day stays at 28
    EXPECT_EQ(AddDate(QStringLiteral("2004/03/31"), QStringLiteral("m"), -1), QStringLiteral("2004/02/29"));
    EXPECT_EQ(AddDate(QStringLiteral("2005/12/15"), QStringLiteral("m"), 1), QStringLiteral("2006/01/15"));
    EXPECT_EQ(AddDate(QStringLiteral("2005-01-31"), QStringLiteral("M"), -1), QStringLiteral("2004/12/31"));
    EXPECT_EQ(AddDate(QStringLiteral("2005/5/1"), QStringLiteral("m"), 24), QStringLiteral("2007/05/01"));
    EXPECT_EQ(AddDate(QStringLiteral("2005/01/31"), QStringLiteral("q"), 1), QStringLiteral("2005/04/30"));
    EXPECT_EQ(AddDate(QStringLiteral("2004/02/29"), QStringLiteral("yyyy"), 1), QStringLiteral("2005/02/28"));
    EXPECT_EQ(AddDate(QStringLiteral("2004/02/28"), QStringLiteral("d"), 1), QStringLiteral("2004/02/29"));
    EXPECT_EQ(AddDate(QStringLiteral("2005/12/31"), QStringLiteral("d"), 1), QStringLiteral("2006/01/01"));
    EXPECT_EQ(AddDate(QStringLiteral("2005/12/31"), QStringLiteral("ww"), -1), QStringLiteral("2005/12/24"));
}

TEST(AddDate, MonthStepsAgreeWithCountingMonths)
{
    std::mt19937 random(1868);
    std::uniform_int_distribution<qint64> days(QDate(1868, 9, 8).toJulianDay(), QDate(2099, 12, 31).toJulianDay());
    std::uniform_int_distribution<int> counts(-400, 400);
    for (int i = 0; i < 2000; ++i) {
        const QDate start = QDate::fromJulianDay(days(random));
        const int count = counts(random);
        const int months = start.year() * 12 + (start.month() - 1) + count;
        const int year = months / 12;
        const int month = months % 12 + 1;
        const int day = std::min(start.day(), QDate(year, month, 1).daysInMonth());
        ASSERT_EQ(AddDate(toSlashText(start), QStringLiteral("m"), count), toSlashText(QDate(year, month, day)))
            << start.toString(Qt::ISODate).toStdString() << " " << count;
    }
}

TEST(AddDate, EmptyOrUnusableInputGivesTheEmptyText)
{
    EXPECT_EQ(AddDate(QVariant(), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QString(), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QDate(), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QStringLiteral("2005/13/01"), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QStringLiteral("2005/02/30"), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QStringLiteral("20050301"), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QStringLiteral("2005/03/01"), QStringLiteral("x"), 1), QString());
    EXPECT_EQ(AddDate(QDate(9999, 12, 1), QStringLiteral("m"), 1), QString());
    EXPECT_EQ(AddDate(QDate(1, 1, 1), QStringLiteral("d"), -1), QString());
    EXPECT_EQ(AddDate(QDate(2005, 3, 1), QStringLiteral("yyyy"), INT_MAX), QString());
    EXPECT_EQ(AddDate(QDate(2005, 3, 1), QStringLiteral("q"), INT_MIN), QString());
    EXPECT_EQ(AddDate(QDate(2005, 3, 1), QStringLiteral("ww"), INT_MAX), QString());
}

TEST(GetMonthDays, FollowsTheGregorianLeapRule)
{
    EXPECT_EQ(GetMonthDays(QStringLiteral("1900/02/01")), 28);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2000/02/10")), 29);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2004/02/29")), 29);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2100/02/01")), 28);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2005/04/10")), 30);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2005/12/01")), 31);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2005-01-15")), 31);
    EXPECT_EQ(GetMonthDays(QString()), 0);
    EXPECT_EQ(GetMonthDays(QStringLiteral("")), 0);
    // Texts that are no date: the month is read from its place in "yyyy/mm/dd".
    EXPECT_EQ(GetMonthDays(QStringLiteral("2005/13/01")), 30);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2005/00/10")), 30);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2004/02/30")), 29);
    EXPECT_EQ(GetMonthDays(QStringLiteral("1900/02/30")), 28);
    EXPECT_EQ(GetMonthDays(QStringLiteral("2005/11/31")), 30);
    EXPECT_EQ(GetMonthDays(QStringLiteral("x")), 30);
}

TEST(GetMonthRange, GivesFirstAndLastDayOrLeavesTheOutputs)
{
    QString first = QStringLiteral("keep");
    QString last = QStringLiteral("keep");
    EXPECT_FALSE(GetMonthRange(QString(), first, last));
    EXPECT_FALSE(GetMonthRange(QVariant(), first, last));
    EXPECT_FALSE(GetMonthRange(QStringLiteral("2005/13/01"), first, last));
    EXPECT_EQ(first, QStringLiteral("keep"));
    EXPECT_EQ(last, QStringLiteral("keep"));

    ASSERT_TRUE(GetMonthRange(QStringLiteral("2004/02/15"), first, last));
    EXPECT_EQ(first, QStringLiteral("2004/02/01"));
    EXPECT_EQ(last, QStringLiteral("2004/02/29"));
    ASSERT_TRUE(GetMonthRange(QDate(1900, 2, 10), first, last));
    EXPECT_EQ(last, QStringLiteral("1900/02/28"));
    ASSERT_TRUE(GetMonthRange(QDate(2005, 4, 30), first, last));
    EXPECT_EQ(first, QStringLiteral("2005/04/01"));
    EXPECT_EQ(last, QStringLiteral("2005/04/30"));
    ASSERT_TRUE(GetMonthRange(QStringLiteral("2005-12-31"), first, last));
    EXPECT_EQ(first, QStringLiteral("2005/12/01"));
    EXPECT_EQ(last, QStringLiteral("2005/12/31"));
}

TEST(DateTexts, ReadBackWhatTheyWriteAndStoredTextsSortLikeDates)
{
    EXPECT_EQ(toSlashText(QDate(5, 1, 2)), QStringLiteral("0005/01/02"));
    EXPECT_EQ(toSlashText(QDate()), QString());
    EXPECT_EQ(toStoredText(QDate(2005, 3, 1)), QStringLiteral("2005-03-01"));
    EXPECT_EQ(fromSlashText(QStringLiteral("2005/3/1")), QDate(2005, 3, 1));
    EXPECT_FALSE(fromSlashText(QStringLiteral("2005/02/30")).isValid());
    EXPECT_FALSE(fromSlashText(QStringLiteral("2005-03-01")).isValid());
    EXPECT_FALSE(fromSlashText(QStringLiteral("05/03/01")).isValid());
    EXPECT_FALSE(fromSlashText(QStringLiteral("2005/03/01/")).isValid());
    EXPECT_FALSE(fromSlashText(QStringLiteral("2005/+3/01")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("2005/03/01")).isValid());
    EXPECT_FALSE(fromStoredText(QStringLiteral("20050301")).isValid());

    std::mt19937 random(2099);
    std::uniform_int_distribution<qint64> days(QDate(1868, 9, 8).toJulianDay(), QDate(2099, 12, 31).toJulianDay());
    for (int i = 0; i < 2000; ++i) {
        const QDate a = QDate::fromJulianDay(days(random));
        const QDate b = QDate::fromJulianDay(days(random));
        ASSERT_EQ(fromSlashText(toSlashText(a)), a);
        ASSERT_EQ(fromStoredText(toStoredText(a)), a);
        ASSERT_EQ(a < b, toStoredText(a) < toStoredText(b));
    }
}

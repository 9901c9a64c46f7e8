#include "EraCalendar.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

using namespace calendar;

namespace {

std::string show(const std::optional<YearMonth>& value)
{
    return value ? std::to_string(value->year) + "/" + std::to_string(value->month) : std::string("refused");
}

} // namespace

TEST(FormatYearMonth, WesternAndEraTextsAroundEraChanges)
{
    EXPECT_EQ(formatYearMonth(QDate(2005, 11, 3), false), QStringLiteral("2005年11月"));
    EXPECT_EQ(formatYearMonth(QDate(1868, 9, 8), false), QStringLiteral("1868年09月"));
    EXPECT_EQ(formatYearMonth(QDate(), false), QString());
    EXPECT_EQ(formatYearMonth(QDate(), true), QString());

    const std::vector<std::pair<QDate, QString>> cases = {
        {QDate(2005, 11, 1), QStringLiteral("平成 17年11月")},
        {QDate(1868, 9, 8), QStringLiteral("明治 01年09月")},
        {QDate(1912, 7, 29), QStringLiteral("明治 45年07月")},
        {QDate(1912, 7, 30), QStringLiteral("大正 01年07月")},
        {QDate(1926, 12, 24), QStringLiteral("大正 15年12月")},
        {QDate(1926, 12, 25), QStringLiteral("昭和 01年12月")},
        {QDate(1989, 1, 7), QStringLiteral("昭和 64年01月")},
        {QDate(1989, 1, 8), QStringLiteral("平成 01年01月")},
        {QDate(2019, 4, 30), QStringLiteral("平成 31年04月")},
        {QDate(2019, 5, 1), QStringLiteral("令和 01年05月")},
        {QDate(2099, 12, 31), QStringLiteral("令和 81年12月")},
    };
    for (const auto& [date, text] : cases)
        EXPECT_EQ(formatYearMonth(date, true), text) << date.toString(Qt::ISODate).toStdString();
}

TEST(ParseYearMonth, ReadsWesternForms)
{
    const std::vector<std::pair<QString, YearMonth>> cases = {
        {QStringLiteral("200511"), {2005, 11}},
        {QStringLiteral("2005/11"), {2005, 11}},
        {QStringLiteral("2005-11"), {2005, 11}},
        {QStringLiteral("2005.11"), {2005, 11}},
        {QStringLiteral("2005/1"), {2005, 1}},
        {QStringLiteral("2005年11月"), {2005, 11}},
        {QStringLiteral("2005年1月"), {2005, 1}},
        {QStringLiteral("2005年11"), {2005, 11}},
        {QStringLiteral("２００５／１１"), {2005, 11}},
        {QStringLiteral("２０２６・１２"), {2026, 12}}, // Mozc writes ・ for a slash
        {QStringLiteral("2026･12"), {2026, 12}},
        {QStringLiteral("2026・12・31"), {2026, 12}},
        {QStringLiteral("２００５年１１月"), {2005, 11}},
        {QStringLiteral(" 2005 / 11 "), {2005, 11}},
        {QStringLiteral("2005\u3000年\u300011\u3000月"), {2005, 11}},
        {QStringLiteral("2005\u221211"), {2005, 11}},
        {QStringLiteral("2005ー11"), {2005, 11}},
        {QStringLiteral("20051130"), {2005, 11}},
        {QStringLiteral("2005/11/30"), {2005, 11}},
        {QStringLiteral("2005年11月15日"), {2005, 11}},
        {QStringLiteral("1868/09"), {1868, 9}},
        {QStringLiteral("2099/12"), {2099, 12}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(show(parseYearMonth(text)), show(expected)) << text.toStdString();
}

TEST(ParseYearMonth, ReadsEraFormsThroughTheCalendar)
{
    const std::vector<std::pair<QString, YearMonth>> cases = {
        {QStringLiteral("平成17年11月"), {2005, 11}},
        {QStringLiteral("平成 17年11月"), {2005, 11}},
        {QStringLiteral("令和元年5月"), {2019, 5}},
        {QStringLiteral("令和 01年05月"), {2019, 5}},
        {QStringLiteral("H17/11"), {2005, 11}},
        {QStringLiteral("h17.11"), {2005, 11}},
        {QStringLiteral("Ｈ１７．１１"), {2005, 11}},
        {QStringLiteral("Ｈ１７・１１"), {2005, 11}},
        {QStringLiteral("H1711"), {2005, 11}},
        {QStringLiteral("R1.5"), {2019, 5}},
        {QStringLiteral("r2-1"), {2020, 1}},
        {QStringLiteral("S64/1"), {1989, 1}},
        {QStringLiteral("昭和 64年01月"), {1989, 1}},
        {QStringLiteral("平成 01年01月"), {1989, 1}},
        {QStringLiteral("H31/4"), {2019, 4}},
        {QStringLiteral("T1/7"), {1912, 7}},
        {QStringLiteral("M45/7"), {1912, 7}},
        {QStringLiteral("大正15年12月"), {1926, 12}},
        {QStringLiteral("S1/12"), {1926, 12}},
        {QStringLiteral("M1/9"), {1868, 9}},
        {QStringLiteral("㍻17年11月"), {2005, 11}},
        {QStringLiteral("平成17年11月15日"), {2005, 11}},
        {QStringLiteral("R81/12"), {2099, 12}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(show(parseYearMonth(text)), show(expected)) << text.toStdString();
}

TEST(ParseYearMonth, RefusesWhatIsNoYearMonthOfTheRange)
{
    const QString refused[] = {
        QString(), QStringLiteral("   "), QStringLiteral("abc"), QStringLiteral("2005/13"), QStringLiteral("2005/0"),
        QStringLiteral("200513"), QStringLiteral("200500"), QStringLiteral("20055"), QStringLiteral("05/11"),
        QStringLiteral("2005//11"), QStringLiteral("2005/11/"), QStringLiteral("2005/11-01"), QStringLiteral("2005/11/31"),
        QStringLiteral("2005年11月x"), QStringLiteral("1868/08"), QStringLiteral("2100/01"), QStringLiteral("1800/01"),
        QStringLiteral("0000/01"),
        // Era years in which no day of the month belongs to the era.
        QStringLiteral("H32/1"), QStringLiteral("平成31年5月"), QStringLiteral("R1/4"), QStringLiteral("S64/2"),
        QStringLiteral("S65/1"), QStringLiteral("T1/6"), QStringLiteral("M1/8"), QStringLiteral("H0/5"),
        QStringLiteral("R82/1"), QStringLiteral("X17/11"), QStringLiteral("平成"), QStringLiteral("平成17"),
        QStringLiteral("H17/13"), QStringLiteral("H170"), QStringLiteral("平成元/"),
        // Digits of other scripts are not read as numbers.
        QStringLiteral("\u0662\u0660\u0660\u0665/11"),
    };
    for (const QString& text : refused)
        EXPECT_EQ(show(parseYearMonth(text)), "refused") << text.toStdString();
}

TEST(ParseYearMonth, ReadsBackEveryDisplayedMonth)
{
    // First and last day of every month (era changes fall inside months) and random days.
    std::vector<QDate> dates;
    for (QDate month(1868, 10, 1); month <= QDate(2099, 12, 1); month = month.addMonths(1)) {
        dates.push_back(month);
        dates.emplace_back(month.year(), month.month(), month.daysInMonth());
    }
    std::mt19937 random(1989);
    std::uniform_int_distribution<qint64> days(QDate(1868, 10, 1).toJulianDay(), QDate(2099, 12, 31).toJulianDay());
    for (int i = 0; i < 1000; ++i)
        dates.push_back(QDate::fromJulianDay(days(random)));
    dates.push_back(QDate(1868, 9, 8));

    for (const QDate& date : dates) {
        const std::optional<YearMonth> expected = YearMonth{date.year(), date.month()};
        for (bool era : {false, true}) {
            const QString text = formatYearMonth(date, era);
            ASSERT_EQ(show(parseYearMonth(text)), show(expected)) << text.toStdString();
            ASSERT_FALSE(text.contains(u'元')) << text.toStdString();
        }
    }
}

TEST(DateFromEraDigits, LatestEraHoldingTheDayUpToTheLimit)
{
    const QDate limit(2027, 12, 31);
    struct Case {
        int year, month, day;
        QDate expected;
    };
    const std::vector<Case> cases = {
        {31, 4, 30, QDate(2019, 4, 30)}, // 令和31年 is after the limit: 平成
        {1, 5, 1, QDate(2019, 5, 1)},    // the first day of 令和
        {1, 4, 30, QDate(1989, 4, 30)},  // 令和 starts in May: 平成元年
        {8, 12, 8, QDate(2026, 12, 8)},
        {30, 1, 15, QDate(2018, 1, 15)},
        {64, 1, 7, QDate(1989, 1, 7)},   // the last day of 昭和
        {64, 1, 8, QDate()},             // no era holds 64年1月8日 after 昭和
        {8, 2, 30, QDate()},
        {0, 1, 1, QDate()},
        {8, 13, 1, QDate()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dateFromEraDigits(c.year, c.month, c.day, limit), c.expected) << c.year << "/" << c.month << "/" << c.day;
    // The limit decides between eras: on 2019-04-30 "010501" cannot be 令和 yet.
    EXPECT_EQ(dateFromEraDigits(1, 5, 1, QDate(2019, 4, 30)), QDate(1989, 5, 1));
}

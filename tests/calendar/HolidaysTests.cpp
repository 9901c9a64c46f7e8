#include "Holidays.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace calendar;
using namespace Qt::Literals::StringLiterals;

namespace {

using Cases = std::vector<std::pair<QDate, QString>>;

void expectNames(const Cases& cases)
{
    for (const auto& [date, name] : cases)
        EXPECT_EQ(holidayName(date), name) << date.toString(Qt::ISODate).toStdString();
}

} // namespace

TEST(Holidays, FixedDaysHoldFromTheirFirstYearUnderTheNameOfTheYear)
{
    expectNames({
        {QDate(1948, 5, 5), QString()}, {QDate(1948, 9, 23), u"秋分の日"_s}, {QDate(1948, 11, 23), u"勤労感謝の日"_s},
        {QDate(1949, 1, 1), u"元日"_s}, {QDate(1949, 1, 15), u"成人の日"_s},
        {QDate(1965, 9, 15), QString()}, {QDate(1966, 9, 15), u"敬老の日"_s},
        {QDate(1965, 10, 10), QString()}, {QDate(1966, 10, 10), u"体育の日"_s},
        {QDate(1966, 2, 11), QString()}, {QDate(1967, 2, 11), u"建国記念の日"_s},
        {QDate(1988, 4, 29), u"天皇誕生日"_s}, {QDate(1989, 4, 29), u"みどりの日"_s},
        {QDate(2006, 4, 29), u"みどりの日"_s}, {QDate(2007, 4, 29), u"昭和の日"_s}, {QDate(2007, 5, 4), u"みどりの日"_s},
        {QDate(1988, 12, 23), QString()}, {QDate(1989, 12, 23), u"天皇誕生日"_s}, {QDate(2018, 12, 23), u"天皇誕生日"_s},
        {QDate(2019, 12, 23), QString()}, {QDate(2019, 2, 23), QString()}, {QDate(2020, 2, 23), u"天皇誕生日"_s},
        {QDate(1995, 7, 20), QString()}, {QDate(1996, 7, 20), u"海の日"_s}, {QDate(2002, 7, 20), u"海の日"_s},
        {QDate(2015, 8, 11), QString()}, {QDate(2016, 8, 11), u"山の日"_s},
        {QDate(2019, 10, 14), u"体育の日"_s}, {QDate(2022, 10, 10), u"スポーツの日"_s},
        {QDate(2024, 11, 3), u"文化の日"_s}, {QDate(2024, 5, 3), u"憲法記念日"_s}, {QDate(2024, 5, 5), u"こどもの日"_s},
    });
}

TEST(Holidays, MondayHolidaysFrom2000And2003)
{
    expectNames({
        {QDate(1999, 1, 15), u"成人の日"_s}, {QDate(2000, 1, 15), QString()}, {QDate(2000, 1, 10), u"成人の日"_s},
        {QDate(1999, 10, 10), u"体育の日"_s}, {QDate(2000, 10, 10), QString()}, {QDate(2000, 10, 9), u"体育の日"_s},
        {QDate(2003, 7, 20), QString()}, {QDate(2003, 7, 21), u"海の日"_s},
        {QDate(2002, 9, 15), u"敬老の日"_s}, {QDate(2004, 9, 15), QString()}, {QDate(2004, 9, 20), u"敬老の日"_s},
    });
}

TEST(Holidays, OneOffDaysAndTheDaysMovedFor2020And2021)
{
    expectNames({
        {QDate(1959, 4, 10), u"皇太子明仁親王の結婚の儀"_s}, {QDate(1989, 2, 24), u"昭和天皇の大喪の礼"_s},
        {QDate(1990, 11, 12), u"即位礼正殿の儀"_s}, {QDate(1993, 6, 9), u"皇太子徳仁親王の結婚の儀"_s},
        {QDate(2019, 4, 30), u"国民の休日"_s}, {QDate(2019, 5, 1), u"天皇の即位の日"_s}, {QDate(2019, 5, 2), u"国民の休日"_s},
        {QDate(2019, 5, 6), u"振替休日"_s}, {QDate(2019, 10, 22), u"即位礼正殿の儀"_s}, {QDate(2019, 10, 21), QString()},
        {QDate(2020, 7, 20), QString()}, {QDate(2020, 7, 23), u"海の日"_s}, {QDate(2020, 7, 24), u"スポーツの日"_s},
        {QDate(2020, 8, 10), u"山の日"_s}, {QDate(2020, 8, 11), QString()}, {QDate(2020, 10, 12), QString()},
        {QDate(2021, 7, 19), QString()}, {QDate(2021, 7, 22), u"海の日"_s}, {QDate(2021, 7, 23), u"スポーツの日"_s},
        {QDate(2021, 8, 8), u"山の日"_s}, {QDate(2021, 8, 9), u"振替休日"_s}, {QDate(2021, 8, 11), QString()},
        {QDate(2021, 10, 11), QString()}, {QDate(2022, 7, 18), u"海の日"_s}, {QDate(2022, 8, 11), u"山の日"_s},
    });
}

TEST(Holidays, SubstituteDaysFrom1973AndTheirLongerReachFrom2007)
{
    expectNames({
        {QDate(1973, 2, 12), QString()}, // 2/11 on a Sunday before the rule
        {QDate(1973, 4, 30), u"振替休日"_s}, {QDate(1973, 9, 24), u"振替休日"_s},
        {QDate(1987, 5, 4), u"振替休日"_s}, {QDate(1992, 5, 4), u"振替休日"_s},
        {QDate(2008, 5, 6), u"振替休日"_s}, {QDate(2009, 5, 6), u"振替休日"_s}, {QDate(2020, 5, 6), u"振替休日"_s},
        {QDate(2018, 12, 24), u"振替休日"_s}, {QDate(2020, 2, 24), u"振替休日"_s},
        {QDate(2019, 11, 25), QString()}, // a holiday on a Saturday gives no day
    });
}

TEST(Holidays, CitizensHolidaysBetweenTwoHolidays)
{
    // 5/4 from 1988 to 2006: a Sunday stays a Sunday, a Monday is the Sunday 5/3's substitute.
    expectNames({{QDate(1985, 5, 4), QString()}, {QDate(1986, 5, 4), QString()}, {QDate(1997, 5, 4), QString()}, {QDate(2003, 5, 4), QString()}});
    for (int year = 1988; year <= 2006; ++year) {
        const QDate may4(year, 5, 4);
        if (may4.dayOfWeek() != 7) {
            EXPECT_EQ(holidayName(may4), may4.dayOfWeek() == 1 ? u"振替休日"_s : u"国民の休日"_s) << year;
        }
    }
    // The September day between 敬老の日 and 秋分の日: the years with five days off in a row.
    const std::set<int> published = {2009, 2015, 2026, 2032, 2037, 2043, 2049, 2054, 2060, 2071, 2077, 2088, 2094, 2099};
    std::set<int> found;
    for (int year = 2003; year <= 2099; ++year) {
        for (const Holiday& holiday : holidaysOfYear(year)) {
            if (holiday.name == u"国民の休日"_s && holiday.date.month() == 9) {
                EXPECT_EQ(holidayName(holiday.date.addDays(1)), u"秋分の日"_s) << year;
                found.insert(year);
            }
        }
    }
    EXPECT_EQ(found, published);
}

TEST(Holidays, EquinoxDaysMatchThePublishedTablesFrom1948To2099)
{
    // The published dates, by the year's remainder after division by 4: {last year, day}.
    const std::vector<std::pair<int, int>> spring[4] = {
        {{1956, 21}, {2088, 20}, {2096, 19}}, {{1989, 21}, {2097, 20}}, {{2022, 21}, {2098, 20}}, {{2055, 21}, {2099, 20}}};
    const std::vector<std::pair<int, int>> autumn[4] = {
        {{2008, 23}, {2096, 22}}, {{2041, 23}, {2097, 22}}, {{1946, 24}, {2074, 23}, {2098, 22}}, {{1979, 24}, {2099, 23}}};
    const auto dayOf = [](const std::vector<std::pair<int, int>>& ranges, int year) {
        for (const auto& [last, day] : ranges) {
            if (year <= last)
                return day;
        }
        return 0;
    };
    for (int year = 1949; year <= 2099; ++year) {
        EXPECT_EQ(holidayName(QDate(year, 3, dayOf(spring[year % 4], year))), u"春分の日"_s) << year;
        EXPECT_EQ(holidayName(QDate(year, 9, dayOf(autumn[year % 4], year))), u"秋分の日"_s) << year;
    }
}

TEST(Holidays, YearCountsMatchThePublishedListsAndTheTable)
{
    const std::vector<std::pair<int, int>> counts = {{1948, 3}, {1955, 9}, {1959, 10}, {1966, 11}, {1967, 12}, {1973, 14}, {1989, 17},
        {1990, 19}, {2009, 17}, {2019, 22}, {2020, 18}, {2021, 17}, {2026, 18}};
    for (const auto& [year, count] : counts)
        EXPECT_EQ(holidaysOfYear(year).size(), count) << year;
    EXPECT_TRUE(holidaysOfYear(kFirstHolidayYear - 1).isEmpty());
    EXPECT_TRUE(holidaysOfYear(kLastHolidayYear + 1).isEmpty());
    EXPECT_EQ(holidayName(QDate(kLastHolidayYear + 1, 1, 1)), QString());
    EXPECT_EQ(holidayName(QDate()), QString());

    // The table answers every day of every year exactly as the rules compute it.
    for (int year = kFirstHolidayYear; year <= kLastHolidayYear; ++year) {
        QList<Holiday> fromTable;
        for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1)) {
            if (isPublicHoliday(day))
                fromTable.append({day, holidayName(day)});
        }
        ASSERT_EQ(fromTable, holidaysOfYear(year)) << year;
    }
}

TEST(BankDays, HolidaysWeekendsAndTheYearEndCloseTheBanks)
{
    const std::vector<std::pair<QDate, bool>> cases = {
        {QDate(2024, 12, 27), false}, {QDate(2024, 12, 28), true}, {QDate(2024, 12, 29), true}, {QDate(2024, 12, 30), false},
        {QDate(2024, 12, 31), true}, {QDate(2025, 1, 1), true}, {QDate(2025, 1, 2), true}, {QDate(2025, 1, 3), true},
        {QDate(2025, 1, 6), false}, {QDate(2025, 1, 13), true}, {QDate(2025, 2, 24), true}, {QDate(2019, 4, 30), true},
        {QDate(1900, 12, 31), true}, {QDate(2200, 1, 2), true}, {QDate(2200, 1, 6), false}, {QDate(), false},
    };
    for (const auto& [date, closed] : cases)
        EXPECT_EQ(isBankHoliday(date), closed) << date.toString(Qt::ISODate).toStdString();
}

TEST(BankDays, BusinessDaysAndTheShiftPolicies)
{
    struct Case {
        QDate date, before, after;
    };
    const std::vector<Case> cases = {
        {QDate(2024, 12, 28), QDate(2024, 12, 27), QDate(2024, 12, 30)},
        {QDate(2024, 12, 31), QDate(2024, 12, 30), QDate(2025, 1, 6)},
        {QDate(2019, 5, 1), QDate(2019, 4, 26), QDate(2019, 5, 7)},
        {QDate(2025, 3, 20), QDate(2025, 3, 19), QDate(2025, 3, 21)},
        {QDate(2025, 3, 19), QDate(2025, 3, 19), QDate(2025, 3, 19)},
    };
    for (const Case& c : cases) {
        const std::string at = c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(previousBusinessDay(c.date), c.before) << at;
        EXPECT_EQ(nextBusinessDay(c.date), c.after) << at;
        EXPECT_EQ(shiftOffBankHoliday(c.date, HolidayShift::前営業日), c.before) << at;
        EXPECT_EQ(shiftOffBankHoliday(c.date, HolidayShift::翌営業日), c.after) << at;
        EXPECT_EQ(shiftOffBankHoliday(c.date, HolidayShift::そのまま), c.date) << at;
    }
    EXPECT_FALSE(nextBusinessDay(QDate()).isValid());
    EXPECT_FALSE(previousBusinessDay(QDate()).isValid());
}

TEST(BankDays, WeekdayLetters)
{
    QString week;
    for (QDate day(2024, 1, 1); day <= QDate(2024, 1, 7); day = day.addDays(1))
        week += weekdayLetter(day);
    EXPECT_EQ(week, u"月火水木金土日"_s);
    EXPECT_EQ(weekdayLetter(QDate()), QString());
}

TEST(Holidays, TheBankHolidaysOfAMonthAreOneBitADay)
{
    // May 2025: Golden Week with 振替休日 on the 6th, and the weekends.
    quint32 may = 0;
    for (int day : {3, 4, 5, 6, 10, 11, 17, 18, 24, 25, 31})
        may |= quint32(1) << (day - 1);
    EXPECT_EQ(calendar::bankHolidaysOfMonth(QDate(2025, 5, 20)), may);
    EXPECT_EQ(calendar::bankHolidaysOfMonth(QDate()), 0u);
    // Every month the holidays cover and the years around them, day by day.
    for (QDate month(1947, 1, 1); month.year() <= 2151; month = month.addMonths(1)) {
        const quint32 days = calendar::bankHolidaysOfMonth(month);
        for (int day = 1; day <= 31; ++day) {
            const bool holiday = day <= month.daysInMonth() && calendar::isBankHoliday(QDate(month.year(), month.month(), day));
            ASSERT_EQ((days >> (day - 1) & 1) != 0, holiday) << month.toString("yyyy-MM").toStdString() << " day " << day;
        }
    }
}

#include "Holidays.h"

#include <array>
#include <cstdint>
#include <vector>

namespace calendar {

namespace {

enum class Name : std::uint8_t {
    none,
    元日,
    成人の日,
    建国記念の日,
    天皇誕生日,
    春分の日,
    昭和の日,
    みどりの日,
    憲法記念日,
    こどもの日,
    海の日,
    山の日,
    敬老の日,
    秋分の日,
    体育の日,
    スポーツの日,
    文化の日,
    勤労感謝の日,
    振替休日,
    国民の休日,
    皇太子明仁親王の結婚の儀,
    昭和天皇の大喪の礼,
    即位礼正殿の儀,
    皇太子徳仁親王の結婚の儀,
    天皇の即位の日,
};

QString nameText(Name name)
{
    switch (name) {
    case Name::none: return {};
    case Name::元日: return QStringLiteral("元日");
    case Name::成人の日: return QStringLiteral("成人の日");
    case Name::建国記念の日: return QStringLiteral("建国記念の日");
    case Name::天皇誕生日: return QStringLiteral("天皇誕生日");
    case Name::春分の日: return QStringLiteral("春分の日");
    case Name::昭和の日: return QStringLiteral("昭和の日");
    case Name::みどりの日: return QStringLiteral("みどりの日");
    case Name::憲法記念日: return QStringLiteral("憲法記念日");
    case Name::こどもの日: return QStringLiteral("こどもの日");
    case Name::海の日: return QStringLiteral("海の日");
    case Name::山の日: return QStringLiteral("山の日");
    case Name::敬老の日: return QStringLiteral("敬老の日");
    case Name::秋分の日: return QStringLiteral("秋分の日");
    case Name::体育の日: return QStringLiteral("体育の日");
    case Name::スポーツの日: return QStringLiteral("スポーツの日");
    case Name::文化の日: return QStringLiteral("文化の日");
    case Name::勤労感謝の日: return QStringLiteral("勤労感謝の日");
    case Name::振替休日: return QStringLiteral("振替休日");
    case Name::国民の休日: return QStringLiteral("国民の休日");
    case Name::皇太子明仁親王の結婚の儀: return QStringLiteral("皇太子明仁親王の結婚の儀");
    case Name::昭和天皇の大喪の礼: return QStringLiteral("昭和天皇の大喪の礼");
    case Name::即位礼正殿の儀: return QStringLiteral("即位礼正殿の儀");
    case Name::皇太子徳仁親王の結婚の儀: return QStringLiteral("皇太子徳仁親王の結婚の儀");
    case Name::天皇の即位の日: return QStringLiteral("天皇の即位の日");
    }
    return {};
}

enum class When : std::uint8_t {
    fixedDay,   // day: the day of the month
    monday,     // day: which Monday of the month (2 = the second)
    spring,     // the vernal equinox day
    autumn,     // the autumnal equinox day
};

struct Rule {
    Name name;
    int month;
    When when;
    int day;
    int firstYear;
    int lastYear;
};

constexpr int kOpen = 9999;

// The holidays of the law, each with the years it held on that day and under that name.
constexpr Rule kRules[] = {
    {Name::元日, 1, When::fixedDay, 1, 1948, kOpen},
    {Name::成人の日, 1, When::fixedDay, 15, 1948, 1999},
    {Name::成人の日, 1, When::monday, 2, 2000, kOpen},
    {Name::建国記念の日, 2, When::fixedDay, 11, 1967, kOpen},
    {Name::天皇誕生日, 2, When::fixedDay, 23, 2020, kOpen},
    {Name::春分の日, 3, When::spring, 0, 1948, kOpen},
    {Name::天皇誕生日, 4, When::fixedDay, 29, 1948, 1988},
    {Name::みどりの日, 4, When::fixedDay, 29, 1989, 2006},
    {Name::昭和の日, 4, When::fixedDay, 29, 2007, kOpen},
    {Name::憲法記念日, 5, When::fixedDay, 3, 1948, kOpen},
    {Name::みどりの日, 5, When::fixedDay, 4, 2007, kOpen},
    {Name::こどもの日, 5, When::fixedDay, 5, 1948, kOpen},
    {Name::海の日, 7, When::fixedDay, 20, 1996, 2002},
    {Name::海の日, 7, When::monday, 3, 2003, kOpen},
    {Name::山の日, 8, When::fixedDay, 11, 2016, kOpen},
    {Name::敬老の日, 9, When::fixedDay, 15, 1966, 2002},
    {Name::敬老の日, 9, When::monday, 3, 2003, kOpen},
    {Name::秋分の日, 9, When::autumn, 0, 1948, kOpen},
    {Name::体育の日, 10, When::fixedDay, 10, 1966, 1999},
    {Name::体育の日, 10, When::monday, 2, 2000, 2019},
    {Name::スポーツの日, 10, When::monday, 2, 2020, kOpen},
    {Name::文化の日, 11, When::fixedDay, 3, 1948, kOpen},
    {Name::勤労感謝の日, 11, When::fixedDay, 23, 1948, kOpen},
    {Name::天皇誕生日, 12, When::fixedDay, 23, 1989, 2018},
};

// Holidays that the law moved to another day for one year (the Tokyo Olympic and
// Paralympic Games); in that year the rule's own day is no holiday.
struct Moved {
    int year;
    Name name;
    int month;
    int day;
};

constexpr Moved kMoved[] = {
    {2020, Name::海の日, 7, 23},
    {2020, Name::スポーツの日, 7, 24},
    {2020, Name::山の日, 8, 10},
    {2021, Name::海の日, 7, 22},
    {2021, Name::スポーツの日, 7, 23},
    {2021, Name::山の日, 8, 8},
};

// Days that a law of their own made a holiday. The law of 2019 counts its two days as
// 国民の祝日 for 振替休日 and 国民の休日 (which made 2019-04-30 and 2019-05-02 holidays);
// the earlier laws made their day a plain 休日.
struct OneOff {
    int year;
    int month;
    int day;
    Name name;
    bool countsAsNationalHoliday;
};

constexpr OneOff kOneOffs[] = {
    {1959, 4, 10, Name::皇太子明仁親王の結婚の儀, false},
    {1989, 2, 24, Name::昭和天皇の大喪の礼, false},
    {1990, 11, 12, Name::即位礼正殿の儀, false},
    {1993, 6, 9, Name::皇太子徳仁親王の結婚の儀, false},
    {2019, 5, 1, Name::天皇の即位の日, true},
    {2019, 10, 22, Name::即位礼正殿の儀, true},
};

const qint64 kLawStart = QDate(1948, 7, 20).toJulianDay();
const qint64 kSubstituteStart = QDate(1973, 4, 12).toJulianDay();     // 振替休日 to the Monday
const qint64 kSubstituteToFreeDay = QDate(2007, 1, 1).toJulianDay(); // to the next day that is no holiday
const qint64 kCitizensStart = QDate(1985, 12, 27).toJulianDay();     // 国民の休日

// The day of March or September of the equinox by the published approximation
//   day = int(base + 0.242194 (year - 1980) - int((year - leapFrom) / 4)),
// worked in millionths so that no rounding of a binary fraction can move a day. The
// inner division truncates toward zero (as C++ does) also for the negative quotients
// before 1983, which the published tables of 1900-1979 need.
int equinoxDay(int year, bool spring)
{
    struct Range {
        int lastYear;
        qint64 springBase;
        qint64 autumnBase;
        int leapFrom;
    };
    static constexpr Range kRanges[] = {
        {1979, 20'835'700, 23'258'800, 1983},
        {2099, 20'843'100, 23'248'800, 1980},
        {2150, 21'851'000, 24'248'800, 1980},
    };
    for (const Range& range : kRanges) {
        if (year <= range.lastYear) {
            const qint64 base = spring ? range.springBase : range.autumnBase;
            const qint64 millionths = base + 242'194LL * (year - 1980) - 1'000'000LL * ((year - range.leapFrom) / 4);
            return static_cast<int>(millionths / 1'000'000);
        }
    }
    return 0;
}

QDate nthMonday(int year, int month, int n)
{
    const QDate first(year, month, 1);
    return first.addDays((8 - first.dayOfWeek()) % 7 + 7 * (n - 1));
}

// The holidays of one year, by day of the year (0 = January 1st).
struct YearDays {
    qint64 firstJd = 0;
    int days = 0;
    int firstDayOfWeek = 0; // 1 = Monday .. 7 = Sunday
    std::array<Name, 366> name{};
    std::array<bool, 366> national{}; // a 国民の祝日 for the two follow-on rules

    int dayOfWeek(int i) const { return (firstDayOfWeek - 1 + i) % 7 + 1; }

    void put(const QDate& date, Name holiday, bool isNational)
    {
        const qint64 jd = date.toJulianDay();
        if (jd < kLawStart)
            return;
        const auto i = static_cast<std::size_t>(jd - firstJd);
        name[i] = holiday;
        national[i] = isNational;
    }
};

bool movedThisYear(int year, Name name)
{
    for (const Moved& moved : kMoved) {
        if (moved.year == year && moved.name == name)
            return true;
    }
    return false;
}

YearDays computeYear(int year)
{
    YearDays y;
    const QDate first(year, 1, 1);
    y.firstJd = first.toJulianDay();
    y.days = first.daysInYear();
    y.firstDayOfWeek = first.dayOfWeek();
    if (year < kFirstHolidayYear || year > kLastHolidayYear)
        return y;

    for (const Rule& rule : kRules) {
        if (year < rule.firstYear || year > rule.lastYear || movedThisYear(year, rule.name))
            continue;
        QDate date;
        switch (rule.when) {
        case When::fixedDay: date = QDate(year, rule.month, rule.day); break;
        case When::monday: date = nthMonday(year, rule.month, rule.day); break;
        case When::spring: date = QDate(year, rule.month, equinoxDay(year, true)); break;
        case When::autumn: date = QDate(year, rule.month, equinoxDay(year, false)); break;
        }
        y.put(date, rule.name, true);
    }
    for (const Moved& moved : kMoved) {
        if (moved.year == year)
            y.put(QDate(year, moved.month, moved.day), moved.name, true);
    }
    for (const OneOff& day : kOneOffs) {
        if (day.year == year)
            y.put(QDate(year, day.month, day.day), day.name, day.countsAsNationalHoliday);
    }

    // 振替休日: a 国民の祝日 on a Sunday gives the Monday after it; from 2007 the first
    // day after it that is no 国民の祝日 (a Sunday 5/3 or 5/4 gives 5/6).
    for (int i = 0; i < y.days; ++i) {
        const qint64 jd = y.firstJd + i;
        if (!y.national[i] || y.dayOfWeek(i) != 7 || jd < kSubstituteStart)
            continue;
        int next = i + 1;
        if (jd >= kSubstituteToFreeDay) {
            while (next < y.days && y.national[next])
                ++next;
        }
        if (next < y.days && y.name[next] == Name::none)
            y.name[next] = Name::振替休日;
    }

    // 国民の休日: a day between two 国民の祝日 that is itself no holiday and no Sunday
    // (5/4 from 1988 to 2006; a Tuesday between 敬老の日 and 秋分の日; 2019-04-30, 05-02).
    for (int i = 1; i + 1 < y.days; ++i) {
        if (y.firstJd + i >= kCitizensStart && y.name[i] == Name::none && y.national[i - 1] && y.national[i + 1] && y.dayOfWeek(i) != 7)
            y.name[i] = Name::国民の休日;
    }
    return y;
}

// Banks close on 12/31, 1/2 and 1/3 beside the weekends and the public holidays.
bool isBankClosingDay(int month, int day, int dayOfWeek)
{
    return dayOfWeek >= 6 || (month == 12 && day == 31) || (month == 1 && (day == 2 || day == 3));
}

constexpr std::uint8_t kBankHolidayBit = 0x80;
constexpr std::uint8_t kNameMask = 0x7f;

// One byte for every day of the covered years: the holiday's Name and the bank bit.
struct Table {
    qint64 firstJd = QDate(kFirstHolidayYear, 1, 1).toJulianDay();
    std::vector<std::uint8_t> codes;

    Table()
    {
        codes.reserve(static_cast<std::size_t>(QDate(kLastHolidayYear, 12, 31).toJulianDay() - firstJd + 1));
        for (int year = kFirstHolidayYear; year <= kLastHolidayYear; ++year) {
            const YearDays y = computeYear(year);
            int month = 1;
            int day = 1;
            int monthLength = 31;
            for (int i = 0; i < y.days; ++i) {
                auto code = static_cast<std::uint8_t>(y.name[i]);
                if (code != 0 || isBankClosingDay(month, day, y.dayOfWeek(i)))
                    code |= kBankHolidayBit;
                codes.push_back(code);
                if (++day > monthLength && month < 12) {
                    day = 1;
                    monthLength = QDate(year, ++month, 1).daysInMonth();
                }
            }
        }
    }

    // The byte of a date, or -1 outside the covered years.
    int codeOf(const QDate& date) const
    {
        const qint64 i = date.toJulianDay() - firstJd;
        return i >= 0 && i < static_cast<qint64>(codes.size()) ? codes[static_cast<std::size_t>(i)] : -1;
    }
};

const Table& table()
{
    static const Table instance;
    return instance;
}

} // namespace

QString holidayName(const QDate& date)
{
    if (!date.isValid())
        return {};
    const int code = table().codeOf(date);
    return code < 0 ? QString() : nameText(static_cast<Name>(code & kNameMask));
}

bool isPublicHoliday(const QDate& date)
{
    if (!date.isValid())
        return false;
    const int code = table().codeOf(date);
    return code > 0 && (code & kNameMask) != 0;
}

QList<Holiday> holidaysOfYear(int year)
{
    QList<Holiday> holidays;
    if (year < kFirstHolidayYear || year > kLastHolidayYear)
        return holidays;
    const YearDays y = computeYear(year);
    for (int i = 0; i < y.days; ++i) {
        if (y.name[i] != Name::none)
            holidays.append({QDate::fromJulianDay(y.firstJd + i), nameText(y.name[i])});
    }
    return holidays;
}

bool isBankHoliday(const QDate& date)
{
    if (!date.isValid())
        return false;
    const int code = table().codeOf(date);
    if (code >= 0)
        return (code & kBankHolidayBit) != 0;
    return isBankClosingDay(date.month(), date.day(), date.dayOfWeek());
}

quint32 bankHolidaysOfMonth(const QDate& date)
{
    if (!date.isValid())
        return 0;
    const QDate first(date.year(), date.month(), 1);
    quint32 days = 0;
    for (int day = 0; day < first.daysInMonth(); ++day) {
        if (isBankHoliday(first.addDays(day)))
            days |= quint32(1) << day;
    }
    return days;
}

} // namespace calendar

#include "BusinessDays.h"

#include "Holidays.h"

#include <QStringList>

namespace schedule {

void setLineDate(SheetLine& line, const QDate& date)
{
    line.date = date;
    line.day = date.isValid() ? QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')) : QString();
}

BusinessDayOutcome moveToBusinessDays(SheetLines& sheet, const std::vector<int>& rows, calendar::HolidayShift shift)
{
    BusinessDayOutcome outcome;
    for (int row : rows) {
        if (row < 0 || row >= static_cast<int>(sheet.size()))
            continue;
        SheetLine& line = sheet[static_cast<std::size_t>(row)];
        if (!line.date.isValid() || !calendar::isBankHoliday(line.date))
            continue;
        const QDate moved = calendar::shiftOffBankHoliday(line.date, shift);
        const bool inMonth = moved.isValid() && moved.year() == line.date.year() && moved.month() == line.date.month();
        if (!inMonth || moved == line.date) {
            outcome.stuck.push_back({row, line.payee, line.date, line.date});
            continue;
        }
        outcome.moved.push_back({row, line.payee, line.date, moved});
        setLineDate(line, moved);
    }
    return outcome;
}

QString bankHolidayReason(const QDate& date)
{
    if (!calendar::isBankHoliday(date))
        return {};
    if (const QString name = calendar::holidayName(date); !name.isEmpty())
        return name;
    if (date.dayOfWeek() == 6)
        return QStringLiteral("土曜日");
    if (date.dayOfWeek() == 7)
        return QStringLiteral("日曜日");
    return QStringLiteral("年末年始");
}

QString describeDayMoves(const std::vector<DayMove>& moves, std::size_t named)
{
    QStringList texts;
    const auto day = [](const QDate& date) { return QStringLiteral("%1日").arg(date.day()); };
    for (std::size_t i = 0; i < moves.size() && i < named; ++i) {
        const DayMove& move = moves[i];
        const QString days = move.from == move.to ? day(move.from) : day(move.from) + QStringLiteral("→") + day(move.to);
        texts << QStringLiteral("%1行目 %2「%3」").arg(move.row + 1).arg(days, move.payee);
    }
    if (moves.size() > named)
        texts << QStringLiteral("ほか %1 行").arg(moves.size() - named);
    return texts.join(QStringLiteral("、"));
}

} // namespace schedule

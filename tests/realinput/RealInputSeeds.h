#pragma once

#include "SheetLayout.h"
#include "TempDataDir.h"

#include <QString>

#include <optional>
#include <vector>

class ProgramUnderX;

// The book the real-input tests start from and how they read it back.
namespace realinput {

// One stored line of 支払予定表 as the tests compare it (amounts in yen, balance left out:
// the program recomputes it).
struct Line {
    int lineNumber = 0;
    QString date; // YYYY-MM-DD
    QString payee;
    std::optional<qint64> scheduled;
    std::optional<qint64> paid;
};

// Eight stored lines in 2006年01月 with their payees in the payee list, Western years
// and no automatic payee registration.
std::vector<Line> january2006();
void seedJanuary2006(const TempDataDir& data);
void seedSettings(const TempDataDir& data);

// What typing text into a cell of the line does to it (a day within the line's month,
// a name, an amount in ASCII or full-width digits).
void typeInto(Line& line, layout::Column column, const QString& text);

// The lines as "#行番号 日付 支払先名 予定額 支払額", one a line ('-' for null).
QString describe(const std::vector<Line>& lines);
// The stored lines whose date starts with monthPrefix ("2006-01"), described the same way,
// in line-number order.
QString storedLines(const TempDataDir& data, const char* monthPrefix);
// The stored balance (yen) of the line with this date and payee; nothing when absent or null.
std::optional<qint64> storedBalance(const TempDataDir& data, const QString& date, const QString& payee);

// Types the month into the year-month field and loads it with Enter.
bool loadMonth(ProgramUnderX& program, const QString& yyyymm);

} // namespace realinput

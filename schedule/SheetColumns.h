#pragma once

#include <QString>

namespace schedule {

// The sheet InpWork always has this many lines after a reset or a load.
inline constexpr int kSheetLines = 200;

// The sheet's fields in order, which are also the month grid's columns (8 and 9 are
// hidden keepers of the stored original of a loaded line). The grid has one more column,
// the weekday of the line's date, shown beside the day: it is no field of the sheet.
enum SheetColumn : int {
    kCol行番号 = 0,
    kCol元行番号 = 1,
    kCol表示日付 = 2,
    kCol日付 = 3,
    kCol支払先名 = 4,
    kCol予定額 = 5,
    kCol支払額 = 6,
    kCol残高 = 7,
    kCol元日付 = 8,
    kCol元支払先名 = 9,
    kCol曜日 = 10,
};

// The sheet's field name of a column (the empty text for the weekday).
inline QString sheetField(int column)
{
    static const char* const names[] = {"行番号", "元行番号", "表示日付", "日付", "支払先名", "予定額", "支払額", "残高", "元日付", "元支払先名"};
    return column >= 0 && column <= kCol元支払先名 ? QString::fromUtf8(names[column]) : QString();
}

} // namespace schedule

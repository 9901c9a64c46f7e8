#include "BusinessDays.h"
#include "Holidays.h"
#include "MonthController.h"
#include "PreviousMonth.h"
#include "SheetColumns.h"
#include "SheetModel.h"
#include "StoredLines.h"
#include "Transaction.h"

#include <QColor>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace schedule;
using calendar::HolidayShift;
using ledger::Amount;
using ledger::PaymentRule;

namespace {

ledger::StoredLine storedOn(const QDate& date, const QString& payee, qint64 yen)
{
    ledger::StoredLine line;
    line.date = date;
    line.payee = payee;
    line.scheduled = Amount::fromYen(yen);
    line.paid = Amount::fromYen(1);
    return line;
}

// "day payee" of the lines that hold a payee, joined by ", ".
QString days(const SheetLines& sheet)
{
    QStringList shown;
    for (const SheetLine& line : sheet) {
        if (line.hasPayee())
            shown << line.day + ' ' + line.payee;
    }
    return shown.join(QStringLiteral(", "));
}

} // namespace

// May 2026: 5/3 (Sun, 憲法記念日) to 5/6 (振替休日) are bank holidays, 5/10 and 5/31 are
// Sundays, 5/29 is a Friday.
TEST(RepeatPreviousMonth, UsualDaysAndBankHolidaysDecideTheDaysAndWhatMovedIsNamed)
{
    const std::vector<ledger::StoredLine> april = {
        storedOn(QDate(2026, 4, 20), "電気", 100),     // usual day 6 and 翌営業日: 5/6 → 5/7
        storedOn(QDate(2026, 4, 10), "通信", 200),     // no rule: 5/10 → the book's setting
        storedOn(QDate(2026, 4, 30), "家賃", 300),     // 末日: 5/31 → 5/29 by the setting
        storedOn(QDate(2026, 4, 3), "手形", 400),      // そのまま: 5/3 stays
        storedOn(QDate(2026, 4, 15), "保険", 500),     // a business day: stays
        storedOn(QDate(2026, 4, 30), "月末払い", 600), // last month's day 30 is a Saturday in May
    };
    RepeatRules rules;
    rules.payees = {{"電気", PaymentRule{6, HolidayShift::翌営業日}}, {"家賃", PaymentRule{ledger::kMonthEnd, std::nullopt}},
        {"手形", PaymentRule{std::nullopt, HolidayShift::そのまま}}};

    SheetLines sheet = blankSheet();
    sheet[0].payee = "手入力";
    CopyOutcome outcome = repeatPreviousMonth(sheet, april, QDate(2026, 5, 20), rules);
    ASSERT_EQ(outcome.kind, CopyOutcome::Copied);
    EXPECT_EQ(outcome.lines, 6);
    EXPECT_EQ(days(sheet), " 手入力, 07 電気, 08 通信, 29 家賃, 03 手形, 15 保険, 29 月末払い");
    EXPECT_EQ(sheet[2].date, QDate(2026, 5, 8));
    EXPECT_EQ(sheet[2].scheduled, Amount::fromYen(200));
    EXPECT_EQ(sheet[2].paid, Amount()) << "nothing is paid yet";
    EXPECT_EQ(outcome.moved, (std::vector<DayMove>{{1, "電気", QDate(2026, 5, 6), QDate(2026, 5, 7)}, {2, "通信", QDate(2026, 5, 10), QDate(2026, 5, 8)},
                                 {3, "家賃", QDate(2026, 5, 31), QDate(2026, 5, 29)}, {6, "月末払い", QDate(2026, 5, 30), QDate(2026, 5, 29)}}));
    EXPECT_EQ(outcome.onHoliday, (std::vector<DayMove>{{4, "手形", QDate(2026, 5, 3), QDate(2026, 5, 3)}}));
    EXPECT_EQ(describeDayMoves(outcome.moved, 2), "2行目 6日→7日「電気」、3行目 10日→8日「通信」、ほか 2 行");
    EXPECT_EQ(describeDayMoves(outcome.onHoliday), "5行目 3日「手形」");

    // The book's setting decides for the payees whose rule does not say.
    sheet = blankSheet();
    rules.fallback = HolidayShift::翌営業日;
    outcome = repeatPreviousMonth(sheet, april, QDate(2026, 5, 1), rules);
    EXPECT_EQ(days(sheet), "07 電気, 11 通信, 29 家賃, 03 手形, 15 保険, 29 月末払い") << "翌営業日 from 5/31 and 5/30 would leave May";
    rules.fallback = HolidayShift::そのまま;
    sheet = blankSheet();
    outcome = repeatPreviousMonth(sheet, april, QDate(2026, 5, 1), rules);
    EXPECT_EQ(days(sheet), "07 電気, 10 通信, 31 家賃, 03 手形, 15 保険, 30 月末払い");
    EXPECT_EQ(outcome.onHoliday.size(), 4u);
}

TEST(MoveToBusinessDays, LinesOnBankHolidaysMoveWithinTheMonthOthersStay)
{
    SheetLines sheet = blankSheet();
    setLineDate(sheet[0], QDate(2026, 5, 6)); // 振替休日
    setLineDate(sheet[1], QDate(2026, 5, 7)); // a business day
    setLineDate(sheet[2], QDate(2026, 5, 31)); // Sunday, the month's last day
    sheet[3].payee = "日付なし";
    setLineDate(sheet[4], QDate(2026, 5, 3));
    sheet[4].payee = "手形";
    for (SheetLine& line : sheet)
        line.payee = line.payee.isEmpty() ? QStringLiteral("店") : line.payee;

    SheetLines forward = sheet;
    BusinessDayOutcome outcome = moveToBusinessDays(forward, {0, 1, 2, 3, 4, 500, -1}, HolidayShift::翌営業日);
    EXPECT_EQ(outcome.moved, (std::vector<DayMove>{{0, "店", QDate(2026, 5, 6), QDate(2026, 5, 7)}, {4, "手形", QDate(2026, 5, 3), QDate(2026, 5, 7)}}));
    EXPECT_EQ(outcome.stuck, (std::vector<DayMove>{{2, "店", QDate(2026, 5, 31), QDate(2026, 5, 31)}})) << "6/1 is another month";
    EXPECT_EQ(forward[0].day, "07");
    EXPECT_EQ(forward[2].day, "31");
    EXPECT_FALSE(forward[3].date.isValid());

    SheetLines back = sheet;
    outcome = moveToBusinessDays(back, {0, 2, 4}, HolidayShift::前営業日);
    EXPECT_EQ(QStringList({back[0].day, back[2].day, back[4].day}).join(' '), "01 29 01");
    EXPECT_TRUE(outcome.stuck.empty());

    // Why a day is a bank holiday, as the sheet's tooltip and the status line say it.
    EXPECT_EQ(bankHolidayReason(QDate(2026, 5, 6)), "振替休日");
    EXPECT_EQ(bankHolidayReason(QDate(2026, 5, 9)), "土曜日");
    EXPECT_EQ(bankHolidayReason(QDate(2026, 5, 10)), "日曜日");
    EXPECT_EQ(bankHolidayReason(QDate(2026, 12, 31)), "年末年始");
    EXPECT_EQ(bankHolidayReason(QDate(2026, 5, 7)), "");
}

TEST(SheetModel, TheWeekdayColumnShowsTheDatesDayColouredWithTheHolidayInItsTooltipAndTakesNoValue)
{
    SheetLines lines = blankSheet();
    setLineDate(lines[0], QDate(2026, 5, 8));  // Friday
    setLineDate(lines[1], QDate(2026, 5, 9));  // Saturday
    setLineDate(lines[2], QDate(2026, 5, 5));  // Tuesday, こどもの日
    setLineDate(lines[3], QDate(2026, 12, 31)); // Thursday, banks closed
    int edits = 0;
    SheetModel model(lines, [&](int, int, const QVariant&) { return ++edits > 0; });
    const auto shown = [&](int row, int column, int role = Qt::DisplayRole) { return model.data(model.index(row, column), role); };

    EXPECT_EQ(model.columnCount(), kCol曜日 + 1);
    EXPECT_EQ(QStringList({shown(0, kCol曜日).toString(), shown(1, kCol曜日).toString(), shown(2, kCol曜日).toString(), shown(3, kCol曜日).toString()}).join(""), "金土火木");
    EXPECT_EQ(shown(4, kCol曜日).toString(), "") << "no date, no weekday";
    EXPECT_FALSE(shown(0, kCol曜日, Qt::ForegroundRole).isValid());
    EXPECT_EQ(shown(1, kCol曜日, Qt::ForegroundRole).value<QColor>(), QColor(0x20, 0x50, 0xC8));
    EXPECT_EQ(shown(2, kCol曜日, Qt::ForegroundRole).value<QColor>(), QColor(0xD0, 0x20, 0x20));
    EXPECT_FALSE(shown(3, kCol曜日, Qt::ForegroundRole).isValid()) << "12/31 is no public holiday";
    EXPECT_EQ(shown(2, kCol曜日, Qt::ToolTipRole).toString(), "こどもの日（銀行休業日）");
    EXPECT_EQ(shown(3, kCol表示日付, Qt::ToolTipRole).toString(), "年末年始（銀行休業日）");
    EXPECT_TRUE(shown(3, kCol表示日付, Qt::BackgroundRole).isValid()) << "a bank holiday's line is marked";
    EXPECT_FALSE(shown(0, kCol表示日付, Qt::BackgroundRole).isValid());
    EXPECT_FALSE(shown(0, kCol曜日, Qt::ToolTipRole).toString().size());

    EXPECT_FALSE(model.flags(model.index(0, kCol曜日)) & Qt::ItemIsEditable);
    SheetLine line = lines[0];
    EXPECT_EQ(enterValue(line, kCol曜日, "月", QDate(2026, 5, 1)), CellRefusal::Computed);
    EXPECT_EQ(line, lines[0]);
    EXPECT_EQ(sheetField(kCol曜日), "") << "the weekday is no field of the sheet";
}

TEST(MonthController, RepeatReadsThePayeesRulesAndTheBooksSettingAndAMoveToABusinessDayIsOneUndoStep)
{
    monthtest::Files f;
    monthtest::storeLine(f.main, "2026-04-10", 1, "通信", monthtest::yen(200), monthtest::yen(0), monthtest::yen(200));
    monthtest::storeLine(f.main, "2026-04-20", 2, "電気", monthtest::yen(100), monthtest::yen(0), monthtest::yen(300));
    {
        store::Transaction tx(f.main);
        ledger::writePaymentRule(f.main, "電気", {6, std::nullopt});
        ledger::writeDefaultShift(f.main, HolidayShift::翌営業日);
        tx.commit();
    }
    MonthController month(*f.session);
    month.setMonth(QDate(2026, 5, 1));
    ASSERT_TRUE(month.load().loaded);
    const CopyOutcome copied = month.copyPreviousMonth();
    EXPECT_EQ(days(month.lines()), "11 通信, 07 電気");
    EXPECT_EQ(copied.moved.size(), 2u);
    EXPECT_EQ(month.undoStack()->count(), 1);

    // Typed onto holidays by hand, then moved: one step, undone as one.
    ASSERT_TRUE(month.editCell(0, kCol表示日付, "3"));
    ASSERT_TRUE(month.editCell(1, kCol表示日付, "5"));
    const BusinessDayOutcome moved = month.moveToBusinessDay({0, 1, 2}, false);
    EXPECT_EQ(moved.moved.size(), 2u);
    EXPECT_EQ(days(month.lines()), "01 通信, 01 電気");
    EXPECT_EQ(month.undoStack()->count(), 4);
    EXPECT_EQ(month.undoStack()->undoText(), "前営業日へ");
    EXPECT_EQ(QString::fromStdString(monthtest::sheetLines(f.work, 2)), "01 通信 200/0 500, 01 電気 100/0 600") << "the draft follows";
    month.undoStack()->undo();
    EXPECT_EQ(days(month.lines()), "03 通信, 05 電気");
    // Nothing on a holiday: no step.
    EXPECT_TRUE(month.moveToBusinessDay({0}, true).moved.size() == 1);
    EXPECT_TRUE(month.moveToBusinessDay({0}, true).moved.empty());
    EXPECT_EQ(month.undoStack()->count(), 4);
}

#include "MonthController.h"
#include "SheetColumns.h"
#include "SheetModel.h"
#include "StoredLines.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using ledger::Amount;

namespace {

// The first `count` lines as the controller holds them: "日 支払先 予定/支払 残高" in yen.
QString shown(const MonthController& month, int count)
{
    QStringList lines;
    const auto yenOf = [](const std::optional<Amount>& amount) { return amount ? QString::number(amount->units() / Amount::kScale) : QStringLiteral("-"); };
    for (int i = 0; i < count; ++i) {
        const SheetLine& line = month.lines()[static_cast<std::size_t>(i)];
        lines << QStringLiteral("%1 %2 %3/%4 %5").arg(line.day.isEmpty() ? QStringLiteral("-") : line.day, line.hasPayee() ? line.payee : QStringLiteral("-"),
            yenOf(line.scheduled), yenOf(line.paid), yenOf(line.balance));
    }
    return lines.join(QStringLiteral(", "));
}

bool type(MonthController& month, int row, int column, const QString& text)
{
    return month.model()->setData(month.model()->index(row, column), text);
}

// The draft the work file keeps, in the same form.
QString draft(SQLite::Database& work, int count)
{
    return QString::fromStdString(sheetLines(work, count));
}

} // namespace

TEST(MonthController, LoadShowsTheMonthAndItsOpeningAndEditsFollowTheBooksRuleInMemoryAndInTheDraft)
{
    Files f;
    storeLine(f.main, "2005-02-10", 1, "二月", yen(700), yen(0), yen(700));
    storeLine(f.main, "2005-03-05", 2, "三月b", yen(100), yen(0), yen(805));
    storeLine(f.main, "2005-03-05", 1, "三月a", yen(5), yen(0), yen(705));
    MonthController month(*f.session);
    QSignalSpy modified(&month, &MonthController::modifiedChanged);
    month.setMonth(QDate(2005, 3, 20));
    const LoadResult loaded = month.load();
    ASSERT_TRUE(loaded.loaded);
    EXPECT_EQ(loaded.stored, 2);
    EXPECT_EQ(shown(month, 3), "05 三月a 5/0 705, 05 三月b 100/0 805, - - 0/0 -");
    EXPECT_EQ(draft(f.work, 3), "05 三月a 5/0 705, 05 三月b 100/0 805, - - 0/0 -");
    EXPECT_EQ(month.figures().繰越額, Amount::fromYen(700));
    EXPECT_EQ(month.figures().累計, Amount::fromYen(805));

    // A day makes the date; a line with a date and a payee gets its balance in date order.
    EXPECT_TRUE(type(month, 2, kCol支払先名, "  新しい店　"));
    EXPECT_TRUE(type(month, 2, kCol表示日付, "1"));
    EXPECT_TRUE(type(month, 2, kCol支払額, "５０"));
    EXPECT_EQ(shown(month, 3), "05 三月a 5/0 655, 05 三月b 100/0 755, 01 新しい店 0/50 650");
    EXPECT_EQ(draft(f.work, 3), "05 三月a 5/0 655, 05 三月b 100/0 755, 01 新しい店 0/50 650");
    EXPECT_EQ(month.figures().支払額月計, Amount::fromYen(50));
    EXPECT_EQ(modified.size(), 1);

    // Refused values leave the cell as it was and say why.
    QSignalSpy refused(&month, &MonthController::cellRefused);
    EXPECT_FALSE(type(month, 2, kCol表示日付, "32"));
    EXPECT_FALSE(type(month, 2, kCol支払額, "1.5"));
    EXPECT_FALSE(type(month, 2, kCol予定額, "12x"));
    ASSERT_EQ(refused.size(), 3);
    EXPECT_EQ(refused[0][3].value<CellRefusal>(), CellRefusal::NoSuchDay);
    EXPECT_EQ(refused[1][3].value<CellRefusal>(), CellRefusal::Fraction);
    EXPECT_EQ(refused[2][3].value<CellRefusal>(), CellRefusal::NotAnAmount);
    EXPECT_EQ(shown(month, 3), "05 三月a 5/0 655, 05 三月b 100/0 755, 01 新しい店 0/50 650");
    // An emptied amount is 0; the typed carry-over moves every balance at once.
    EXPECT_TRUE(type(month, 2, kCol支払額, ""));
    month.setCarry(Amount::fromYen(1000));
    EXPECT_EQ(shown(month, 3), "05 三月a 5/0 1005, 05 三月b 100/0 1105, 01 新しい店 0/0 1000");
    EXPECT_EQ(month.model()->data(month.model()->index(2, kCol支払額)).toString(), "");
}

TEST(MonthController, EveryKindOfEditIsOneUndoStepAStoredLineDeletionWithTheBooksSide)
{
    Files f;
    storeLine(f.main, "2005-01-10", 1, "電気", yen(5000), yen(4800), yen(200));
    storeLine(f.main, "2005-02-03", 1, "既存", yen(1), yen(0), yen(201));
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 2, 1));
    month.load();
    QUndoStack& undo = *month.undoStack();

    const std::vector<PasteCell> block = {{1, kCol表示日付, "07"}, {1, kCol支払先名, "貼付"}, {1, kCol予定額, "¥1,000"}, {1, kCol支払額, "abc"}};
    const std::vector<RefusedValue> refusedPaste = month.paste(block);
    ASSERT_EQ(refusedPaste.size(), 1u);
    EXPECT_EQ(refusedPaste[0].why, CellRefusal::NotAnAmount);
    EXPECT_EQ(month.copyPreviousMonth().lines, 1);
    month.insertLine(0);
    month.setCarry(Amount::fromYen(50));
    EXPECT_EQ(undo.count(), 4);
    EXPECT_EQ(shown(month, 4), "- - 0/0 -, 03 既存 1/0 51, 07 貼付 1000/0 1051, 10 電気 5000/0 6051");

    const QString all = shown(month, 4);
    while (undo.canUndo())
        undo.undo();
    EXPECT_EQ(shown(month, 3), "03 既存 1/0 201, - - 0/0 -, - - 0/0 -");
    EXPECT_EQ(draft(f.work, 3), "03 既存 1/0 201, - - 0/0 -, - - 0/0 -");
    EXPECT_FALSE(month.hasUnsavedChanges());
    while (undo.canRedo())
        undo.redo();
    EXPECT_EQ(shown(month, 4), all);
    EXPECT_TRUE(month.hasUnsavedChanges());

    // A blank line's deletion is a step; so is a stored line's, which leaves the book at
    // once and comes back to it on undo.
    EXPECT_FALSE(month.deleteLine(0));
    EXPECT_EQ(undo.count(), 5);
    EXPECT_TRUE(month.deleteLine(0));
    EXPECT_EQ(undo.count(), 6);
    EXPECT_TRUE(month.hasUnsavedChanges()) << "the pasted and copied lines are still unregistered";
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表"), "1");
    EXPECT_EQ(shown(month, 2), "07 貼付 1000/0 1050, 10 電気 5000/0 6050");
    undo.undo();
    EXPECT_EQ(row(f.main, "SELECT group_concat(支払先名 || ' ' || (残高 / 10000)) FROM 支払予定表"), "電気 200,既存 201");
    EXPECT_EQ(shown(month, 2), "03 既存 1/0 51, 07 貼付 1000/0 1051");
    undo.redo();
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表"), "1");
    EXPECT_EQ(draft(f.work, 2), "07 貼付 1000/0 1050, 10 電気 5000/0 6050");
    // Every step undone: the sheet is the month as loaded, and the book holds it again.
    while (undo.canUndo())
        undo.undo();
    EXPECT_EQ(shown(month, 2), "03 既存 1/0 201, - - 0/0 -");
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表"), "2");
    EXPECT_FALSE(month.hasUnsavedChanges()) << "the book's side of a step is not an unregistered change";

    // A book that refuses the step's side leaves the sheet as it is, and the history goes.
    while (undo.index() < 6)
        undo.redo();
    QSignalSpy dropped(&month, &MonthController::historyDropped);
    f.session->refuseWrites(f.session->mainPath());
    undo.undo();
    f.session->allowWrites();
    EXPECT_EQ(dropped.size(), 1);
    EXPECT_EQ(shown(month, 2), "07 貼付 1000/0 1050, 10 電気 5000/0 6050");
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表"), "1");
    QCoreApplication::processEvents();
    EXPECT_EQ(undo.count(), 0);
    EXPECT_TRUE(month.hasUnsavedChanges());
}

TEST(MonthController, ASaveStoresTheSheetShowsTheMonthAsStoredAndRegistersOnlyTypedNamesStillOnIt)
{
    Files f;
    storeLine(f.main, "2005-03-20", 1, "後の店", yen(10), yen(0), yen(10));
    MonthController month(*f.session);
    QStringList registered;
    month.registerPayees = [&](SQLite::Database&, const QStringList& names) { registered << names; };
    month.setMonth(QDate(2005, 3, 1));
    month.load();
    for (const auto& [row, day, payee] : std::vector<std::tuple<int, const char*, const char*>>{{1, "09", "捨てる名"}, {2, "04", "残す名"}, {3, "04", "二つ目"}}) {
        type(month, row, kCol表示日付, day);
        type(month, row, kCol支払先名, payee);
        type(month, row, kCol予定額, "100");
    }
    type(month, 1, kCol支払先名, "残す名");
    const SaveResult saved = month.save();
    ASSERT_EQ(saved.kind, SaveResult::Kind::Saved);
    EXPECT_EQ(saved.monthLines, 4);
    EXPECT_EQ(registered, (QStringList{"残す名", "二つ目"})) << "a name typed and then replaced is not registered";
    // Read back in 日付, 行番号 order: the sheet is the month as stored.
    EXPECT_EQ(shown(month, 5), "04 残す名 100/0 100, 04 二つ目 100/0 200, 09 残す名 100/0 300, 20 後の店 10/0 310, - - 0/0 -");
    EXPECT_FALSE(month.hasUnsavedChanges());
    EXPECT_FALSE(month.undoStack()->canUndo());

    // Lines that cannot be stored, and figures past the largest amount, store nothing.
    type(month, 4, kCol予定額, "5");
    EXPECT_EQ(month.save().kind, SaveResult::Kind::Incomplete);
    type(month, 4, kCol予定額, "");
    type(month, 0, kCol予定額, "900000000000000");
    type(month, 1, kCol予定額, "900000000000000");
    const SaveResult overflow = month.save();
    EXPECT_EQ(overflow.kind, SaveResult::Kind::Overflow);
    EXPECT_EQ(overflow.lines, "2行目「二つ目」");
    EXPECT_EQ(row(f.main, "SELECT group_concat(予定額 / 10000) FROM 支払予定表"), "10,100,100,100");
}

TEST(MonthController, AClearedSheetAsksAboutTheMonthsStoredLinesAndANewLineNeverTakesTheirNumbers)
{
    Files f;
    for (int n = 1; n <= 5; ++n)
        storeLine(f.main, "2005-03-05", n, QStringLiteral("旧%1").arg(n), yen(1), yen(0), yen(n));
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 3, 1));
    month.load();
    month.clear();
    type(month, 0, kCol表示日付, "5");
    type(month, 0, kCol支払先名, "新");
    std::size_t asked = 0;
    EXPECT_EQ(month.save([&](const auto& offSheet) { asked = offSheet.size(); return OffSheetChoice::Cancel; }).kind, SaveResult::Kind::Cancelled);
    EXPECT_EQ(asked, 5u);
    EXPECT_EQ(row(f.main, "SELECT count(*) FROM 支払予定表"), "5");

    ASSERT_EQ(month.save([](const auto&) { return OffSheetChoice::Keep; }).monthLines, 6);
    EXPECT_EQ(row(f.main, "SELECT count(DISTINCT 行番号) FROM 支払予定表"), "6");
    EXPECT_EQ(shown(month, 7).count("旧"), 5) << "every stored line of the month is on the sheet again";

    month.clear();
    type(month, 0, kCol表示日付, "6");
    type(month, 0, kCol支払先名, "だけ");
    EXPECT_EQ(month.save([](const auto&) { return OffSheetChoice::Delete; }).monthLines, 1);
    EXPECT_EQ(shown(month, 2), "06 だけ 0/0 0, - - 0/0 -");
}

TEST(MonthController, TheDraftOfAnUnregisteredSheetComesBackInTheNextRunAndAFailedLoadChangesNothing)
{
    Files f;
    storeLine(f.main, "2005-02-10", 1, "二月", yen(700), yen(0), yen(700));
    storeLine(f.main, "2005-03-05", 1, "三月", yen(100), yen(0), yen(800));
    {
        MonthController month(*f.session);
        month.setMonth(QDate(2005, 3, 1));
        month.load();
        type(month, 1, kCol表示日付, "9");
        type(month, 1, kCol支払先名, "未登録");
        month.setCarry(Amount::fromYen(1));
    }
    MonthController next(*f.session);
    ASSERT_EQ(next.restoreDraft(), DraftOutcome::Restored);
    EXPECT_EQ(next.month(), QDate(2005, 3, 1));
    EXPECT_TRUE(next.hasUnsavedChanges());
    EXPECT_EQ(next.figures().繰越額, Amount::fromYen(1));
    EXPECT_EQ(shown(next, 2), "05 三月 100/0 101, 09 未登録 0/0 101");
    // Registered, the draft is clean: there is nothing to bring back.
    ASSERT_EQ(next.save().kind, SaveResult::Kind::Saved);
    EXPECT_EQ(MonthController(*f.session).restoreDraft(), DraftOutcome::None);

    // Another program holds the main file: the load gives up and the sheet stays as it was.
    SQLite::Database other(f.dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN EXCLUSIVE");
    next.setMonth(QDate(2005, 2, 1));
    const LoadResult busy = next.load();
    other.exec("ROLLBACK");
    EXPECT_FALSE(busy.loaded);
    EXPECT_EQ(busy.failure.kind, FileFailure::Busy);
    EXPECT_EQ(shown(next, 2), "05 三月 100/0 101, 09 未登録 0/0 101");
    EXPECT_EQ(draft(f.work, 2), "05 三月 100/0 101, 09 未登録 0/0 101");
    EXPECT_EQ(next.figures().繰越額, Amount::fromYen(1));
}

TEST(MonthController, EditsMadeWhileTheWorkFileIsBusyReachTheDraftAtTheNextWriteThatGoesThrough)
{
    Files f;
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 3, 1));
    month.load();
    QSignalSpy failed(&month, &MonthController::draftFailed);
    QSignalSpy behind(&month, &MonthController::draftBehindChanged);
    {
        SQLite::Database other(f.dir.workPath().toStdString(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN IMMEDIATE");
        type(month, 0, kCol支払先名, "NewA");
        type(month, 0, kCol予定額, "7000");
        other.exec("ROLLBACK");
    }
    EXPECT_TRUE(month.draftBehind());
    ASSERT_EQ(failed.size(), 1) << "told once while the file stays busy";
    EXPECT_TRUE(failed[0][1].toBool()) << "the cause is another program holding the file";
    EXPECT_EQ(draft(f.work, 1), "- - 0/0 -");
    // The next write that goes through writes the whole sheet, not only its own line.
    type(month, 1, kCol表示日付, "27");
    EXPECT_FALSE(month.draftBehind());
    EXPECT_EQ(draft(f.work, 2), "- NewA 7000/0 -, 27 - 0/0 -");
    ASSERT_EQ(behind.size(), 2);
    EXPECT_TRUE(behind[0][0].toBool());
    EXPECT_FALSE(behind[1][0].toBool());
    EXPECT_EQ(failed.size(), 1);
}

TEST(MonthController, TheNamesOfARestoredDraftThatTheBookDoesNotHoldAreRegisteredWithTheSheet)
{
    Files f;
    storeLine(f.main, "2005-03-05", 1, "三月", yen(100), yen(0), yen(100));
    storeLine(f.main, "2005-03-06", 2, "旧名", yen(100), yen(0), yen(200));
    {
        MonthController month(*f.session);
        month.setMonth(QDate(2005, 3, 1));
        month.load();
        type(month, 1, kCol支払先名, "新名");
        type(month, 2, kCol表示日付, "9");
        type(month, 2, kCol支払先名, "SigPayee");
        type(month, 2, kCol予定額, "100");
    }
    MonthController next(*f.session);
    QStringList registered;
    next.registerPayees = [&](SQLite::Database&, const QStringList& names) { registered << names; };
    ASSERT_EQ(next.restoreDraft(), DraftOutcome::Restored);
    EXPECT_EQ(next.typedNames(), (QStringList{"新名", "SigPayee"}));
    ASSERT_EQ(next.save().kind, SaveResult::Kind::Saved);
    EXPECT_EQ(registered, (QStringList{"新名", "SigPayee"})) << "the book's own name on its line is not typed";
}

TEST(MonthController, PaidMarksAddToTheLinesAndAFeeLineGoesAfterTheLastLineOnlyWhenOneIsFree)
{
    Files f;
    storeLine(f.main, "2005-03-25", 1, "家賃", yen(30000), yen(0), yen(30000));
    MonthController month(*f.session);
    month.setMonth(QDate(2005, 3, 1));
    ASSERT_TRUE(month.load().loaded);
    // A line typed further down: the fee line goes after it, not into the gap.
    EXPECT_TRUE(type(month, 3, kCol支払先名, "電気"));
    EXPECT_TRUE(type(month, 3, kCol表示日付, "26"));
    const AddedPayment fee{QDate(2005, 3, 25), QStringLiteral("振込手数料"), *Amount::fromYen(330)};
    EXPECT_EQ(month.markPaid({{0, *Amount::fromYen(30000)}}, {fee}), 2);
    EXPECT_EQ(shown(month, 5), "25 家賃 30000/30000 0, - - 0/0 -, - - 0/0 -, 26 電気 0/0 0, 25 振込手数料 330/330 0");
    EXPECT_EQ(month.undoStack()->count(), 3) << "the marks and the fee line are one step";

    // A sheet without an empty line at its end takes the marks and leaves the fee line out.
    EXPECT_TRUE(type(month, static_cast<int>(month.lines().size()) - 1, kCol支払先名, "最後"));
    EXPECT_EQ(month.markPaid({{0, *Amount::fromYen(1)}}, {fee}), 1);
    EXPECT_EQ(month.lines()[0].paid, Amount::fromYen(30001));
}

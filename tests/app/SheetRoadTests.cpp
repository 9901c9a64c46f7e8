#include "MainWindowHarness.h"

#include "FaultVfs.h"
#include "GridView.h"
#include "Msg.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace schedule;
using seed::StoredLine;

namespace {

QString text(messages::MsgId id, const QString& target)
{
    return messages::findMessage(id, target).text;
}

} // namespace

TEST(SheetRoad, EnterInTheYearMonthLoadsAndGoesToTheFirstEmptyDayAndAFullMonthIsNamed)
{
    MainWindowHarness w;
    std::vector<StoredLine> lines{StoredLine{QDate(2006, 1, 5), 1, "一月", 100, 0, 100}};
    for (int i = 0; i < kSheetLines + 5; ++i)
        lines.push_back(StoredLine{QDate(2006, 2, 1 + i % 28), i + 1, QStringLiteral("二月%1").arg(i), 1, 0, 0});
    seed::storeLines(w.dir(), lines);
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    YearMonthEdit* month = w.yearMonth();
    month->setFocus();
    month->selectAll();
    QTest::keyClicks(month, "200601");
    QTest::keyClick(month, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(w.grid()));
    EXPECT_EQ(w.grid()->currentIndex(), w.sheet().index(1, kCol表示日付));
    EXPECT_EQ(w.cell(0, kCol支払先名), "一月");

    // A month with more stored lines than the sheet holds says so as it loads.
    w.presenter.clear();
    w.click("cmdMonNext");
    ASSERT_EQ(w.presenter.shown().size(), 1u) << w.lastBox().toStdString() << " / " << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(w.presenter.shown()[0].text, text(messages::MsgId::入力_行数超過, QString::number(kSheetLines + 5)));
}

TEST(SheetRoad, AValueThatCannotBeWrittenStaysOnScreenAndIsNamed)
{
    FaultVfs vfs;
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2005, 3, 1)));
    ASSERT_TRUE(w.show());
    w.presenter.clear();
    vfs.failAt(1, true);
    w.type(2, kCol予定額, "12000", Qt::Key_Return);
    vfs.clear();
    QCoreApplication::processEvents();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.startsWith(text(messages::MsgId::入力_下書き失敗, ""))) << w.presenter.shown()[0].text.toStdString();
    EXPECT_EQ(w.cell(2, kCol予定額), "12,000");
    // Once the file takes writes again, registering keeps the typed value.
    w.type(2, kCol表示日付, "3");
    w.type(2, kCol支払先名, "kept");
    w.click("cmd登録", true);
    EXPECT_TRUE(w.storedLines().contains("kept")) << w.storedLines().toStdString();
}

TEST(SheetRoad, RepeatLastMonthFillsTheSheetAndSaysWhenThereIsNothingToRepeat)
{
    MainWindowHarness w;
    seed::storeLines(w.dir(), {StoredLine{QDate(2005, 1, 31), 1, "家賃", 80000, 80000, 0}});
    ASSERT_TRUE(w.startOn(QDate(2005, 2, 1)));
    ASSERT_TRUE(w.show());
    w.presenter.clear();
    w.click("cmd前月複写");
    EXPECT_TRUE(w.presenter.shown().empty());
    EXPECT_EQ(w.lines(1), "28 家賃 80,000");
    EXPECT_TRUE(w.window().windowTitle().startsWith("* "));
    w.presenter.pushAnswer(false); // leave the copy unsaved
    w.click("cmdMonNext");
    w.click("cmd前月複写");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].text, text(messages::MsgId::入力_前月なし, "2005年02月"));
}

TEST(SheetRoad, ACloseAskedForWhileTheSaveRunsWaitsAndStartsNoSecondSave)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2005, 2, 1)));
    ASSERT_TRUE(w.show());
    w.type(0, kCol表示日付, "3");
    w.type(0, kCol支払先名, "家賃");
    // The save's bar lets the window take what the window system sends meanwhile, such as
    // a click on the title bar's close button.
    QTimer::singleShot(0, &w.window(), [&] { QCoreApplication::postEvent(&w.window(), new QCloseEvent); });
    w.click("cmd登録", true);
    ASSERT_EQ(w.presenter.shown().size(), 1u) << w.lastBox().toStdString(); // 登録確認 only
    EXPECT_TRUE(w.window().isVisible());
    EXPECT_EQ(w.storedLines(), "02-03 #1 家賃 0");
}

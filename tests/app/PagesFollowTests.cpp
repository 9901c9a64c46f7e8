#include "MainWindowHarness.h"

#include "GridView.h"
#include "PayeeList.h"
#include "SchedulePage.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace schedule;
using seed::StoredLine;

namespace {

// Counts the rebuilds of the drop-down list (its table emptied) on a connection.
int countRebuild(unsigned, void* counter, void* statement, void*)
{
    if (QByteArray(sqlite3_sql(static_cast<sqlite3_stmt*>(statement))).startsWith("DELETE FROM w支払先名"))
        ++*static_cast<int*>(counter);
    return 0;
}

QStringList offered(MainWindowHarness& w)
{
    QStringList names;
    auto* list = w.find<WorkTableModel>("dat支払先名");
    for (int row = 0; row < list->storedRowCount(); ++row)
        names << list->value(row, 0).toString();
    return names;
}

} // namespace

TEST(PagesFollow, NamesRegisteredAnywhereAreOfferedAtOnceAndDeleteEverythingShowsTheEmptiedBook)
{
    MainWindowHarness w;
    const QDate month(2005, 4, 1);
    seed::storeLines(w.dir(), {StoredLine{QDate(2005, 4, 10), 1, "四月", 500, 0, 500}});
    seed::storePayees(w.dir(), {"四月"});
    seed::storeSettings(w.dir(), "和暦", 1, 0);
    ASSERT_TRUE(w.startOn(month));
    ASSERT_TRUE(w.show());
    EXPECT_EQ(offered(w), QStringList{"四月"});

    // Typed into the grid with automatic registration on.
    w.type(1, kCol支払先名, "typed");
    EXPECT_EQ(offered(w), (QStringList{"typed", "四月"}));
    // Registered on the payee page.
    w.showPage(MainWindowHarness::Payees);
    w.click("cmd支払先読込", true);
    store::exec(w.workDb(), "INSERT INTO w支払先マスタ (支払先名) VALUES ('added')");
    w.click("cmd支払先登録", true);
    EXPECT_EQ(offered(w), (QStringList{"added", "typed", "四月"}));

    // Delete everything: the sheet, the figures, the payees and the settings show it at once.
    w.showPage(MainWindowHarness::Settings);
    w.click("cmd一括削除7", true);
    EXPECT_EQ(w.storedLines(), "");
    EXPECT_TRUE(w.cell(0, kCol支払先名).isEmpty());
    EXPECT_EQ(w.figures(), " |  |  | ");
    EXPECT_TRUE(offered(w).isEmpty());
    EXPECT_FALSE(w.yearMonth()->eraPattern());
    EXPECT_EQ(store::scalar(w.workDb(), "SELECT count(*) FROM w支払先マスタ").toLongLong(), 0);
}

TEST(PagesFollow, NamesTypedOnASheetWhoseChangesAreDroppedAreNoLongerOffered)
{
    MainWindowHarness w;
    seed::storeLines(w.dir(), {StoredLine{QDate(2005, 4, 10), 1, "四月", 500, 0, 500}, StoredLine{QDate(2005, 5, 10), 1, "五月", 100, 0, 600}});
    seed::storePayees(w.dir(), {"四月"});
    seed::storeSettings(w.dir(), "西暦", 0, 0); // typed names stay out of the payee list
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    w.type(1, kCol支払先名, "捨てる名前");
    EXPECT_TRUE(offered(w).contains("捨てる名前"));

    // The next month with いいえ to keeping the changes: the payee list and the names of
    // the month shown are offered, the dropped name is not.
    w.click("cmdMonNext", false);
    EXPECT_EQ(w.cell(0, kCol支払先名), "五月");
    QStringList names = offered(w);
    names.sort();
    EXPECT_EQ(names, (QStringList{"五月", "四月"}));

    // The same for 読込 of the month shown.
    w.type(1, kCol支払先名, "また捨てる");
    EXPECT_TRUE(offered(w).contains("また捨てる"));
    w.click("cmd読込", false);
    EXPECT_FALSE(offered(w).contains("また捨てる"));
    EXPECT_EQ(w.storedPayees(), QStringList{"四月"});
}

TEST(PagesFollow, APastedBlockOfNamesAndATypedNameGoIntoTheListInPlaceWithoutRebuildingIt)
{
    MainWindowHarness w;
    QStringList payees;
    for (int i = 0; i < 3000; ++i)
        payees << QStringLiteral("取引先%1").arg(i * 7 % 3000, 4, 10, QChar('0'));
    seed::storePayees(w.dir(), payees);
    ASSERT_TRUE(w.startOn(QDate(2005, 4, 1)));
    ASSERT_TRUE(w.show());
    auto* list = w.find<WorkTableModel>("dat支払先名");
    ASSERT_EQ(list->storedRowCount(), 3000);
    int rebuilds = 0;
    sqlite3_trace_v2(w.workDb().getHandle(), SQLITE_TRACE_STMT, &countRebuild, &rebuilds);

    // 199 names down the payee column, one of them listed already and one twice, most
    // each beside another listed name.
    QStringList block;
    for (int i = 0; i < 199; ++i)
        block << QStringLiteral("取引先%1追加").arg(i * 37 % 3000, 4, 10, QChar('0'));
    block[10] = "取引先0100";
    block[20] = block[30];
    QGuiApplication::clipboard()->setText(block.join('\n') + '\n');
    w.grid()->setCurrentCell(0, kCol支払先名);
    QTest::keyClick(w.grid(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(w.cell(198, kCol支払先名), block[198]);
    EXPECT_EQ(rebuilds, 0);
    ASSERT_EQ(list->storedRowCount(), 3197);

    // One name typed on the last line and Enter: in at its place, announced alone.
    QSignalSpy inserted(list, &QAbstractItemModel::rowsInserted);
    w.type(199, kCol支払先名, "あたらしい名前", Qt::Key_Return);
    EXPECT_EQ(rebuilds, 0);
    ASSERT_EQ(inserted.count(), 1);
    sqlite3_trace_v2(w.workDb().getHandle(), 0, nullptr, nullptr);

    // What the list shows is what a rebuild from the file makes, in the same order.
    const QStringList shown = offered(w);
    EXPECT_EQ(shown.size(), 3198);
    EXPECT_EQ(shown.front(), "あたらしい名前");
    EXPECT_EQ(shown.at(inserted.at(0).at(1).toInt()), "あたらしい名前");
    payees::AddComb支払先名(w.session(), list, w.window().findChild<SchedulePage*>()->sheetPayees());
    EXPECT_EQ(offered(w), shown);
}

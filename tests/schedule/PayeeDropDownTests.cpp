#include "GridView.h"
#include "PayeeDropDown.h"
#include "PayeeList.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace payees;

namespace {

struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
};

QStringList listed(SQLite::Database& work)
{
    QStringList names;
    for (const store::Row& row : store::queryRows(work, "SELECT 支払先名 FROM w支払先名 ORDER BY rowid"))
        names << (row[0].isNull() ? QStringLiteral("<null>") : row[0].toString());
    return names;
}

int masterCount(SQLite::Database& main, const QString& name)
{
    return store::scalar(main, "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 = ?", {name}).toInt();
}

} // namespace

TEST(PayeeList, TheDropDownIsRebuiltFromTheMasterSortedWithDuplicatesAndOnlyOnRebuild)
{
    Files f;
    for (const char* name : {"山田商店", "B社", "O'Brien", "", "A社", "B社"})
        store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {QString::fromUtf8(name)});
    store::exec(f.work, "INSERT INTO w支払先名 (支払先名) VALUES ('left over')");
    store::WorkTableModel source;
    source.bind(&f.work, "w支払先名");
    source.refresh();
    ASSERT_EQ(source.rowCount(), 1);

    AddComb支払先名(*f.session, &source);
    const QStringList expected{"", "A社", "B社", "B社", "O'Brien", "山田商店"};
    EXPECT_EQ(listed(f.work), expected);
    ASSERT_EQ(source.rowCount(), 6);
    EXPECT_EQ(source.value(4, 0).toString(), "O'Brien");

    // A name registered later reaches the list with the next rebuild, in name order.
    EXPECT_TRUE(Add支払先(*f.session, "C社"));
    EXPECT_EQ(listed(f.work), expected);
    AddComb支払先名(*f.session, &source);
    EXPECT_EQ(listed(f.work), (QStringList{"", "A社", "B社", "B社", "C社", "O'Brien", "山田商店"}));
    EXPECT_EQ(source.rowCount(), 7);

    // An empty master gives an empty list.
    store::exec(f.main, "DELETE FROM 支払先マスタ");
    AddComb支払先名(*f.session, nullptr);
    EXPECT_TRUE(listed(f.work).isEmpty());
}

TEST(PayeeList, Add支払先RegistersAnExactNameOnceWhateverItHolds)
{
    Files f;
    EXPECT_TRUE(Add支払先(*f.session, "O'Brien's \"shop\""));
    EXPECT_FALSE(Add支払先(*f.session, "O'Brien's \"shop\""));
    EXPECT_EQ(masterCount(f.main, "O'Brien's \"shop\""), 1);
    // Another letter case, a trailing blank or full-width letters make another name.
    EXPECT_TRUE(Add支払先(*f.session, "o'brien's \"shop\""));
    EXPECT_TRUE(Add支払先(*f.session, "O'Brien's \"shop\" "));
    EXPECT_TRUE(Add支払先(*f.session, "ＡＢＣ"));
    EXPECT_TRUE(Add支払先(*f.session, "ABC"));
    // The empty text is a name like any other: once, as text rather than null.
    EXPECT_TRUE(Add支払先(*f.session, ""));
    EXPECT_FALSE(Add支払先(*f.session, ""));
    EXPECT_EQ(masterCount(f.main, ""), 1);
    EXPECT_EQ(store::scalar(f.main, "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 IS NULL").toInt(), 0);
    EXPECT_EQ(store::scalar(f.main, "SELECT count(*) FROM 支払先マスタ").toInt(), 6);
    // A name already there twice is not added a third time.
    store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES ('twice'), ('twice')");
    EXPECT_FALSE(Add支払先(*f.session, "twice"));
    EXPECT_EQ(masterCount(f.main, "twice"), 2);
}

namespace {

struct GridWithDropDown {
    Files f;
    store::WorkTableModel sheet;
    store::WorkTableModel names;
    GridView grid;
    std::vector<int> keys;

    GridWithDropDown()
    {
        for (const char* name : {"B社", "A社", "abc"})
            store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {QString::fromUtf8(name)});
        for (int i = 1; i <= 3; ++i)
            store::exec(f.work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)", {i, i});
        names.bind(&f.work, "w支払先名");
        AddComb支払先名(*f.session, &names);
        sheet.bind(&f.work, "InpWork");
        sheet.refresh();
        grid.setWorkModel(&sheet);
        grid.setupColumn(4, {.heading = "支払先名", .widthTwips = 4140, .dropDown = new schedule::PayeeDropDown(&names, &grid)});
        grid.keyDownHandler = [this](int& key, Qt::KeyboardModifiers) { keys.push_back(key); };
        grid.resize(900, 300);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
    }

    QComboBox* open(int row)
    {
        grid.setCurrentCell(row, 4);
        grid.edit(sheet.index(row, 4));
        return grid.findChild<QComboBox*>("DD支払先名");
    }

    void pressEnter(QComboBox* combo)
    {
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QApplication::processEvents(); // the delegate commits and closes after the key
        // The closed editor goes for good, so that the next one is found by name.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

} // namespace

TEST(PayeeDropDown, OffersTheListTakesAChosenOrTypedNameAsItIsAndPassesKeysToTheGrid)
{
    GridWithDropDown g;
    QComboBox* combo = g.open(0);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "A社");
    EXPECT_EQ(combo->itemText(2), "abc");
    EXPECT_EQ(combo->currentText(), "");

    // Choosing an entry puts its name into the cell.
    combo->setCurrentIndex(1);
    g.pressEnter(combo);
    EXPECT_EQ(g.sheet.value(0, 4).toString(), "B社");

    // A name that is not listed, or differs from a listed one only in case, stays as typed.
    combo = g.open(1);
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->clear();
    g.keys.clear();
    QTest::keyClicks(combo->lineEdit(), "ABC");
    EXPECT_EQ(g.keys.size(), 3u) << "keys typed in the drop-down reach the grid's handler";
    g.pressEnter(combo);
    EXPECT_EQ(g.sheet.value(1, 4).toString(), "ABC");
    EXPECT_EQ(g.keys.back(), int(Qt::Key_Return));

    // The editor opens on the cell's name.
    combo = g.open(0);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), "B社");
    g.pressEnter(combo);
    EXPECT_EQ(g.sheet.value(0, 4).toString(), "B社");

    // Opening and leaving the editor of a blank line leaves the line without payee.
    g.sheet.commit();
    combo = g.open(2);
    ASSERT_NE(combo, nullptr);
    g.pressEnter(combo);
    EXPECT_TRUE(g.sheet.value(2, 4).isNull());
    EXPECT_EQ(store::scalar(g.f.work, "SELECT count(*) FROM InpWork WHERE 支払先名 IS NOT NULL").toInt(), 2);

    // Emptying a name leaves the line without payee as well.
    combo = g.open(1);
    ASSERT_NE(combo, nullptr);
    combo->lineEdit()->clear();
    g.pressEnter(combo);
    EXPECT_TRUE(g.sheet.value(1, 4).isNull());
}

#include "GridView.h"
#include "PayeeDropDown.h"
#include "Session.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Both data files, made from the schema in a fresh folder and open.
struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& work = session->workDb();
};

} // namespace

TEST(PayeeDropDown, OffersTheListTakesAChosenOrTypedNameAsItIsAndPassesKeysToTheGrid)
{
    Files f;
    for (const char* name : {"A社", "B社", "abc"})
        store::exec(f.work, "INSERT INTO w支払先名 (支払先名) VALUES (?)", {QString::fromUtf8(name)});
    for (int i = 1; i <= 3; ++i)
        store::exec(f.work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)", {i, i});
    WorkTableModel names;
    names.bind(&f.work, "w支払先名");
    names.refresh();
    WorkTableModel sheet;
    sheet.bind(&f.work, "InpWork");
    sheet.refresh();
    GridView grid;
    grid.setWorkModel(&sheet);
    grid.setupColumn(4, {.heading = "支払先名", .widthTwips = 4140, .dropDown = new payees::PayeeDropDown(&names, &grid)});
    std::vector<int> keys;
    grid.keyDownHandler = [&](int& key, Qt::KeyboardModifiers) { keys.push_back(key); };
    grid.resize(900, 300);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const auto open = [&](int line) {
        grid.setCurrentCell(line, 4);
        grid.edit(sheet.index(line, 4));
        return grid.findChild<QComboBox*>("DD支払先名");
    };
    const auto enter = [&](QComboBox* combo) {
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QApplication::processEvents(); // the delegate commits and closes after the key
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    QComboBox* combo = open(0);
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(2), "abc");
    combo->setCurrentIndex(1);
    enter(combo);
    EXPECT_EQ(sheet.value(0, 4).toString(), "B社");

    // A name not listed, or differing from a listed one only in case, stays as typed.
    combo = open(1);
    keys.clear();
    QTest::keyClicks(combo->lineEdit(), "ABC");
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_A, Qt::Key_B, Qt::Key_C})) << "keys reach the grid's handler";
    enter(combo);
    EXPECT_EQ(sheet.value(1, 4).toString(), "ABC");

    // The editor opens on the cell's name; leaving a blank line's editor keeps it without
    // payee, and emptying a name leaves the line without payee.
    combo = open(0);
    EXPECT_EQ(combo->currentText(), "B社");
    enter(combo);
    enter(open(2));
    EXPECT_TRUE(sheet.value(2, 4).isNull());
    combo = open(1);
    combo->lineEdit()->clear();
    enter(combo);
    EXPECT_TRUE(sheet.value(1, 4).isNull());
    sheet.commit();
    EXPECT_EQ(store::scalar(f.work, "SELECT group_concat(coalesce(支払先名, '-')) FROM InpWork").toString(), "B社,-,-");
}

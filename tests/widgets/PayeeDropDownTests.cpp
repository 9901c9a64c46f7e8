#include "GridView.h"
#include "PayeeDropDown.h"
#include "Session.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QInputMethodEvent>
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

// A grid of two blank lines whose payee column offers the names given, its editor open on
// the first line.
struct EditingGrid {
    Files f;
    WorkTableModel names;
    WorkTableModel sheet;
    GridView grid;
    QComboBox* combo = nullptr;

    explicit EditingGrid(std::initializer_list<const char*> listed)
    {
        for (const char* name : listed)
            store::exec(f.work, "INSERT INTO w支払先名 (支払先名) VALUES (?)", {QString::fromUtf8(name)});
        for (int i = 1; i <= 2; ++i)
            store::exec(f.work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)", {i, i});
        names.bind(&f.work, "w支払先名");
        names.refresh();
        sheet.bind(&f.work, "InpWork");
        sheet.refresh();
        grid.setWorkModel(&sheet);
        grid.setupColumn(4, {.heading = "支払先名", .widthTwips = 4140, .dropDown = new payees::PayeeDropDown(&names, &grid)});
        grid.resize(900, 300);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentCell(0, 4);
        grid.edit(sheet.index(0, 4));
        combo = grid.findChild<QComboBox*>("DD支払先名");
    }
    QAbstractItemView* list() const { return combo->completer()->popup(); }
    QStringList offered() const
    {
        QStringList shown;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            shown << list()->model()->index(row, 0).data().toString();
        return shown;
    }
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

// The completion list offers the other names that begin with the text typed; a name typed
// in full (as an input method commits it) opens no list that would only repeat it.
TEST(PayeeDropDown, TheCompletionListOffersTheOtherNamesBeginningWithTheText)
{
    struct Case {
        const char* committed;
        QStringList offered; // empty: no list shows
    };
    const Case cases[] = {
        {"電", {QStringLiteral("電気"), QStringLiteral("電気料金")}},
        {"電気", {QStringLiteral("電気料金")}},
        {"電気料金", {}},
        {"水道", {}},
    };
    for (const Case& c : cases) {
        EditingGrid g({"電気", "電気料金", "ガス"});
        ASSERT_NE(g.combo, nullptr);
        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8(c.committed));
        QCoreApplication::sendEvent(g.combo->lineEdit(), &commit);
        const QStringList shown = g.list()->isVisible() ? g.offered() : QStringList();
        EXPECT_EQ(shown, c.offered) << c.committed << " offered " << shown.join(u'、').toStdString();
    }
}

// Enter in the completion list takes the entry chosen there, or the name as typed when none
// is chosen, and commits and moves down as Enter in the cell does.
TEST(PayeeDropDown, EnterInTheCompletionListCommitsTheCellAndMovesDown)
{
    struct Case {
        bool choose; // Down in the list first
        const char* stored;
    };
    const Case cases[] = {{false, "A"}, {true, "A社"}};
    for (const Case& c : cases) {
        EditingGrid g({"A社", "B社"});
        ASSERT_NE(g.combo, nullptr);
        QTest::keyClicks(g.combo->lineEdit(), "A");
        QAbstractItemView* list = g.list();
        ASSERT_TRUE(list->isVisible()) << "typing opens the completion list";
        if (c.choose)
            QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(g.sheet.value(0, 4).toString(), QString::fromUtf8(c.stored)) << (c.choose ? "chosen" : "typed");
        EXPECT_EQ(g.grid.currentRowIndex(), 1) << (c.choose ? "chosen" : "typed");
        EXPECT_FALSE(g.grid.isEditing());
    }
}

// The line changing under an open editor (the name it holds just committed) leaves the
// editor as the user has it; another name on the line is shown selected, as on opening.
TEST(PayeeDropDown, AnOpenEditorIsRefilledOnlyWhenItsLineHoldsAnotherName)
{
    EditingGrid g({"A社", "B社"});
    ASSERT_NE(g.combo, nullptr);
    g.combo->lineEdit()->setText("B社");
    g.combo->lineEdit()->setCursorPosition(1);
    g.sheet.setValue(0, 4, QString("B社"));
    emit g.sheet.dataChanged(g.sheet.index(0, 4), g.sheet.index(0, 4));
    EXPECT_EQ(g.combo->lineEdit()->cursorPosition(), 1);
    EXPECT_FALSE(g.combo->lineEdit()->hasSelectedText());

    g.sheet.setValue(0, 4, QString("A社"));
    emit g.sheet.dataChanged(g.sheet.index(0, 4), g.sheet.index(0, 4));
    EXPECT_EQ(g.combo->currentText(), "A社");
    EXPECT_EQ(g.combo->currentIndex(), 0);
    EXPECT_EQ(g.combo->lineEdit()->selectedText(), "A社");
}

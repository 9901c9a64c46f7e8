#include "Amount.h"
#include "GridView.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

using namespace store;

namespace {

struct GridFixture {
    TempDataDir dir;
    std::unique_ptr<Session> session = Session::open(dir.path());
    WorkTableModel model;
    GridView grid;

    GridFixture()
    {
        for (int i = 1; i <= 3; ++i)
            exec(session->workDb(), "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)", {i, i});
        model.bind(&session->workDb(), "InpWork");
        model.refresh();
        grid.setWorkModel(&model);
        grid.setupColumn(5, {.heading = "予定額", .amount = true, .alignment = Qt::AlignRight, .widthTwips = 1395});
        grid.resize(600, 300);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.setFocus();
    }
};

// Types into the grid as a user would: the first key opens the cell's editor, the rest
// go to whichever widget then has the focus.
void typeText(GridView& grid, const QString& text)
{
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &grid;
        QTest::keyClick(target, c.toLatin1());
    }
}

} // namespace

TEST(GridView, TypingRaisesTheNotificationsInOrderAndLeavingTheLineCommitsIt)
{
    GridFixture f;
    QStringList events;
    int acceptedWhileUnwritten = 0;
    QObject::connect(&f.grid, &GridView::cellAccepted, [&](int column) {
        events << QStringLiteral("accepted %1").arg(column);
        if (scalar(f.session->workDb(), "SELECT 支払先名 FROM InpWork WHERE 行番号 = 1").isNull())
            ++acceptedWhileUnwritten;
    });
    QObject::connect(&f.grid, &GridView::editingEnded, [&] { events << QStringLiteral("ended at %1,%2").arg(f.grid.currentRowIndex()).arg(f.grid.currentColumn()); });
    QObject::connect(&f.grid, &GridView::currentCellMoved, [&](int row, int column) { events << QStringLiteral("moved from %1,%2").arg(row).arg(column); });

    f.grid.setCurrentCell(0, 4);
    events.clear();
    typeText(f.grid, "Abc");
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit*>(editor));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits Enter through a queued call
    // Enter accepts, closes the editor and moves down, which commits the line it leaves.
    EXPECT_EQ(events, (QStringList{"accepted 4", "ended at 0,4", "moved from 0,4"}));
    EXPECT_EQ(acceptedWhileUnwritten, 1);
    EXPECT_EQ(f.model.value(0, 4).toString(), "Abc");
    EXPECT_EQ(f.grid.currentRowIndex(), 1);
    EXPECT_EQ(scalar(f.session->workDb(), "SELECT 支払先名 FROM InpWork WHERE 行番号 = 1").toString(), "Abc");
}

TEST(GridView, KeyDownHandlerSeesKeysOfTheGridAndItsEditorAndCanCancelThem)
{
    GridFixture f;
    QList<int> seen;
    f.grid.keyDownHandler = [&](int& key, Qt::KeyboardModifiers) {
        seen << key;
        if (key == Qt::Key_Return)
            key = 0;
    };
    f.grid.setCurrentCell(0, 5);
    QTest::keyClick(&f.grid, Qt::Key_Return);
    EXPECT_FALSE(f.grid.isEditing());
    typeText(f.grid, "12");
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, &f.grid);
    QTest::keyClick(editor, Qt::Key_Return); // cancelled: the editor stays open
    EXPECT_TRUE(f.grid.isEditing());
    EXPECT_TRUE(seen.contains(Qt::Key_Return));
    EXPECT_TRUE(seen.contains(Qt::Key_2));
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(f.model.value(0, 5).toLongLong(), 120'000);
}

TEST(GridView, JapaneseCommittedByTheInputMethodStartsEditingWithThatText)
{
    GridFixture f;
    f.grid.setCurrentCell(2, 4);
    QInputMethodEvent commit;
    commit.setCommitString("支払先あ");
    QCoreApplication::sendEvent(&f.grid, &commit);
    QWidget* editor = QApplication::focusWidget();
    auto* line = qobject_cast<QLineEdit*>(editor);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), "支払先あ");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    f.grid.commit();
    EXPECT_EQ(scalar(f.session->workDb(), "SELECT 支払先名 FROM InpWork WHERE 行番号 = 3").toString(), "支払先あ");
}

TEST(GridView, ATickInTheMiddleOfItsCellTogglesTheRowsCheckColumn)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    exec(session->workDb(), "INSERT INTO w支払先マスタ (支払先名) VALUES ('a'), ('b')");
    WorkTableModel model;
    model.bind(&session->workDb(), "w支払先マスタ");
    model.setColumnKind(0, WorkTableModel::ColumnKind::Check);
    model.refresh();
    GridView grid;
    grid.setWorkModel(&model);
    grid.setupColumn(0, {.widthTwips = 900, .dropDown = new CheckDelegate(&grid)});
    grid.resize(400, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const QRect cell = grid.visualRect(model.index(1, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(model.value(1, 0).toLongLong(), 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.topLeft() + QPoint(2, cell.height() / 2));
    EXPECT_EQ(model.value(1, 0).toLongLong(), 1) << "the cell's left edge is not the box";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(model.value(1, 0).toLongLong(), 0);
}

TEST(GridView, KeysTypedRightAfterAClickOnTheCurrentCellLandInThatCell)
{
    GridFixture f;
    exec(f.session->workDb(), "UPDATE InpWork SET 予定額 = ? WHERE 行番号 = 1", {qint64(30'000) * 10'000});
    exec(f.session->workDb(), "UPDATE InpWork SET 予定額 = ? WHERE 行番号 = 3", {qint64(90'000) * 10'000});
    f.model.refresh();
    f.grid.setCurrentCell(0, 5);
    const QPoint cell = f.grid.visualRect(f.model.index(0, 5)).center();

    // A click on the cell that is already current, then typing at once (well within the
    // double-click interval): no key is lost, none searches for a line.
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, cell);
    typeText(f.grid, "97531");
    EXPECT_EQ(f.grid.currentRowIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.model.value(0, 5).toLongLong(), qint64(97'531) * 10'000);
    EXPECT_EQ(f.model.value(2, 5).toLongLong(), qint64(90'000) * 10'000);

    // The grid has no type-to-find: a search never moves the current cell.
    f.grid.setCurrentCell(0, 5);
    f.grid.keyboardSearch(QStringLiteral("9"));
    EXPECT_EQ(f.grid.currentRowIndex(), 0);
}

TEST(GridView, TheFirstKeyIntoAGridWithoutCurrentCellStartsEditingTheFirstCell)
{
    GridFixture f;
    // The grid keeps the focus while its current cell is gone (as after the sheet is re-read).
    f.grid.setCurrentIndex({});
    ASSERT_TRUE(f.grid.hasFocus());
    typeText(f.grid, "42");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    f.grid.commit();
    EXPECT_EQ(scalar(f.session->workDb(), "SELECT 行番号 FROM InpWork WHERE rowid = 1").toLongLong(), 42);
}

namespace {

QInputMethodEvent preedit(const QString& text)
{
    return QInputMethodEvent(text, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(text.size()), 1)});
}

} // namespace

// A real input method sends a composition before its commit. The focus stays on the grid
// until the composition ends (moving it would make the input method drop the first keys),
// the editor shows the composition, and the committed text lands in the cell.
TEST(GridView, ACompositionStartingAnEditReachesTheCellWhole)
{
    GridFixture f;
    f.grid.setCurrentCell(1, 4);
    for (const QString& text : {QStringLiteral("ｄ"), QStringLiteral("で"), QStringLiteral("でんき"), QStringLiteral("電気")}) {
        QInputMethodEvent event = preedit(text);
        QCoreApplication::sendEvent(&f.grid, &event);
        ASSERT_TRUE(f.grid.isEditing());
        EXPECT_EQ(QApplication::focusWidget(), &f.grid) << text.toStdString();
    }
    auto* line = qobject_cast<QLineEdit*>(f.grid.indexWidget(f.grid.currentIndex()));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isEnabled());
    EXPECT_EQ(line->text(), ""); // the cell's old text gave way to the composition
    // The input method places its candidate window by the grid's answers: inside the cell.
    const QRect cursor = f.grid.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_TRUE(f.grid.visualRect(f.grid.currentIndex()).translated(f.grid.viewport()->pos()).intersects(cursor)) << cursor.x();

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("電気"));
    QCoreApplication::sendEvent(&f.grid, &commit);
    EXPECT_EQ(line->text(), "電気");
    QCoreApplication::processEvents(); // the editor takes the focus once the commit is delivered
    EXPECT_EQ(QApplication::focusWidget(), line);
    // Text that the input method hands to the grid while the editor is open is kept.
    QInputMethodEvent late;
    late.setCommitString(QStringLiteral("代"));
    QCoreApplication::sendEvent(&f.grid, &late);
    EXPECT_EQ(line->text(), "電気代");
    QTest::keyClick(line, Qt::Key_Return);
    f.grid.commit();
    EXPECT_EQ(scalar(f.session->workDb(), "SELECT 支払先名 FROM InpWork WHERE 行番号 = 2").toString(), "電気代");

    // A composition given up before its commit leaves an empty editor with the focus.
    f.grid.setCurrentCell(2, 4);
    QInputMethodEvent start = preedit(QStringLiteral("あ"));
    QCoreApplication::sendEvent(&f.grid, &start);
    QInputMethodEvent cancel;
    QCoreApplication::sendEvent(&f.grid, &cancel);
    QCoreApplication::processEvents();
    auto* second = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->text(), "");
}

namespace {

// The reason of the last focus-in event a widget got.
struct FocusReasonSpy : QObject {
    Qt::FocusReason reason = Qt::NoFocusReason;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            reason = static_cast<QFocusEvent*>(event)->reason();
        return false;
    }
};

} // namespace

// On a focus change Qt has the input method commit what it still holds as a composition
// and reset it, a pop-up's focus change excepted. IBus's plugin forgets its composition
// only after the commit that ends it has been delivered, and IBus commits again, on that
// reset, a composition its engine has not cleared yet. So the editor takes the focus only
// after the commit is delivered, and as a pop-up's focus change: the text lands once.
TEST(GridView, TheEditorTakesTheFocusAfterTheCommitWithoutTheInputMethodCommittingAgain)
{
    GridFixture f;
    f.grid.setCurrentCell(1, 4);
    QString held; // the composition as the plugin holds it
    for (const QString& text : {QStringLiteral("で"), QStringLiteral("でんき"), QStringLiteral("電気")}) {
        QInputMethodEvent event = preedit(text);
        QCoreApplication::sendEvent(&f.grid, &event);
        held = text;
    }
    auto* line = qobject_cast<QLineEdit*>(f.grid.indexWidget(f.grid.currentIndex()));
    ASSERT_NE(line, nullptr);
    FocusReasonSpy spy;
    line->installEventFilter(&spy);
    bool delivering = false;
    int movedWhileDelivering = 0;
    const auto plugin = QObject::connect(qApp, &QApplication::focusChanged, [&](QWidget* from, QWidget*) {
        if (!delivering || !from)
            return;
        ++movedWhileDelivering;
        QInputMethodEvent again; // what the plugin does with the composition it still holds
        again.setCommitString(held);
        QCoreApplication::sendEvent(from, &again);
    });
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("電気"));
    delivering = true;
    QCoreApplication::sendEvent(&f.grid, &commit);
    delivering = false;
    held.clear();
    QCoreApplication::processEvents();
    QObject::disconnect(plugin);
    EXPECT_EQ(movedWhileDelivering, 0);
    EXPECT_EQ(QApplication::focusWidget(), line);
    EXPECT_EQ(spy.reason, Qt::PopupFocusReason);
    EXPECT_EQ(line->text(), "電気");
}

TEST(GridView, AnAmountColumnShowsTheWidestAmountWholeAndAWiderColumnKeepsItsWidth)
{
    GridFixture f;
    // The style elides a cell's text that is wider than the cell inside its margins.
    const int margin = f.grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &f.grid) + 1;
    const int inside = f.grid.visualRect(f.model.index(0, 5)).width() - 2 * margin;
    for (const QString& text : {QStringLiteral("12,345,678,901"), QStringLiteral("922,337,203,685,477"), ledger::Amount::widestText()})
        EXPECT_EQ(f.grid.fontMetrics().elidedText(text, Qt::ElideRight, inside), text) << text.toStdString() << " in " << inside;

    f.grid.setupColumn(5, {.amount = true, .alignment = Qt::AlignRight, .widthTwips = 6000});
    EXPECT_EQ(f.grid.columnWidth(5), twipsToPixels(6000));
}

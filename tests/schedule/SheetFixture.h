#pragma once

// The schedule page on real data files, shown as a window so that focus, typing and
// editors behave as for the user.

#include "AmountField.h"
#include "GridView.h"
#include "Msg.h"
#include "SchedulePage.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace monthtest {

struct SheetFixture {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg{presenter};
    PageContext context{*session, msg};
    std::unique_ptr<schedule::SchedulePage> page;

    // Loads the month of `month` (its stored lines, as the user would see them).
    void start(const QDate& month)
    {
        page = std::make_unique<schedule::SchedulePage>(context);
        page->FormInit();
        page->Clear支払予定表();
        monthField()->setFromText(month.toString("yyyyMMdd"));
        page->Read支払予定();
        page->resize(900, 600);
        page->show();
        (void)QTest::qWaitForWindowExposed(page.get());
        page->activateWindow();
        (void)QTest::qWaitForWindowActive(page.get());
    }
    SQLite::Database& main() { return session->mainDb(); }
    SQLite::Database& work() { return session->workDb(); }
    GridView* grid() { return page->findChild<GridView*>("GridInp"); }
    store::WorkTableModel& sheet() { return *page->findChild<store::WorkTableModel*>("datInp"); }
    YearMonthEdit* monthField() { return page->findChild<YearMonthEdit*>("Dt年月"); }
    AmountField* field(const char* name) { return page->findChild<AmountField*>(QString::fromUtf8(name)); }
    QString shown(int row, int column) { return sheet().data(sheet().index(row, column)).toString(); }
    void click(const char* name) { QTest::mouseClick(page->findChild<QPushButton*>(QString::fromUtf8(name)), Qt::LeftButton); }
    // 予定額月計 | 支払額月計 as shown.
    QString totals() { return field("num予定額月計")->text() + " | " + field("num支払額月計")->text(); }

    // Types text into a cell as the user would: the first key opens the editor, the rest
    // go to whatever then has the focus, and `end` finishes the edit. Non-ASCII characters
    // are sent as key events that carry the text.
    void type(int row, int column, const QString& text, Qt::Key end = Qt::Key_Tab)
    {
        grid()->setFocus();
        grid()->setCurrentCell(row, column);
        for (QChar c : text) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid();
            if (c.unicode() < 0x80)
                QTest::keyClick(target, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        if (end != Qt::Key_unknown)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : grid(), end);
        QCoreApplication::processEvents();
    }
    // Empties a cell through its editor.
    void empty(int row, int column)
    {
        grid()->setFocus();
        grid()->setCurrentCell(row, column);
        QTest::keyClick(grid(), Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
};

} // namespace monthtest

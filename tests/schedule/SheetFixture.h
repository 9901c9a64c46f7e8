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
#include <QTest>

namespace monthtest {

struct SheetFixture {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg{presenter};
    PageContext context{*session, msg};
    std::unique_ptr<schedule::SchedulePage> page;

    void start(const QDate& month)
    {
        page = std::make_unique<schedule::SchedulePage>(context);
        page->FormInit();
        page->Clear支払予定表();
        load(month);
        page->show();
        (void)QTest::qWaitForWindowActive(page.get());
    }
    void load(const QDate& month)
    {
        page->findChild<YearMonthEdit*>("Dt年月")->setFromText(month.toString("yyyyMMdd"));
        page->Read支払予定();
    }
    SQLite::Database& main() { return session->mainDb(); }
    SQLite::Database& work() { return session->workDb(); }
    GridView* grid() { return page->findChild<GridView*>("GridInp"); }
    store::WorkTableModel& sheet() { return *page->findChild<store::WorkTableModel*>("datInp"); }
    QString shown(int row, int column) { return sheet().data(sheet().index(row, column)).toString(); }
    QString totals() { return page->findChild<AmountField*>("num予定額月計")->text() + " | " + page->findChild<AmountField*>("num支払額月計")->text(); }

    // Types ASCII text into a cell as the user would (the first key opens the editor) and
    // finishes with `end`; an empty text empties the cell.
    void type(int row, int column, const QString& text, Qt::Key end = Qt::Key_Tab)
    {
        grid()->setFocus();
        grid()->setCurrentCell(row, column);
        QTest::keyClick(grid(), Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        else
            QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), end);
        QCoreApplication::processEvents();
    }
};

} // namespace monthtest

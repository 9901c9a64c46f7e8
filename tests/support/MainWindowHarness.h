#pragma once

// The real main window on a data folder of the test's choosing, driven the way the user
// drives it: controls found by object name, clicks and typing through QTest, every box
// recorded and answered by the scripted presenter, figures and lines read as shown, and
// the main file read back.

#include "MainWindow.h"
#include "MainFileSeed.h"
#include "MessagePresenter.h"
#include "SheetModel.h"
#include "Startup.h"
#include "TempDataDir.h"

#include <QDate>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

class GridView;
class QTableView;
class YearMonthEdit;
namespace SQLite {
class Database;
}
namespace store {
class Session;
}

// Waits until what the start leaves for after the window shows (the day's backup and the
// check of the files, StartupCheck) is done; false when it is not done within seconds.
bool waitForStartupWork(MainWindow& window);

class MainWindowHarness {
public:
    // The pages of the main window's tab control, in their order.
    enum Page { Schedule = 0, Payees = 1, Settings = 2, CashFlow = 3 };

    // A fresh data folder of its own, or a folder the test has seeded (it must outlive
    // the harness). Neither starts the program.
    MainWindowHarness();
    explicit MainWindowHarness(TempDataDir& dir);
    ~MainWindowHarness();
    MainWindowHarness(const MainWindowHarness&) = delete;
    MainWindowHarness& operator=(const MainWindowHarness&) = delete;

    TempDataDir& dir() { return *dir_; }

    // Runs the start-up; true when the window came up (it is not shown yet).
    bool start();
    // start() on a month: sets the year-month field and loads it.
    bool startOn(const QDate& month);
    // Shows the window and waits until it is active and what the start leaves for after
    // the window shows is done.
    bool show();
    void showPage(Page page);
    // Closes the window as its title bar does; the files close with it.
    void close();

    StartupOutcome& outcome() { return started_; }
    MainWindow& window() { return *started_.window; }
    store::Session& session();
    SQLite::Database& mainDb();
    SQLite::Database& workDb();

    // The control of that object name; a test failure when there is none.
    template <class T = QWidget>
    T* find(const char* name)
    {
        T* found = started_.window ? started_.window->findChild<T*>(QString::fromUtf8(name)) : nullptr;
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }

    // Clicks a button as the mouse does (a button of a page not shown gets its click()).
    void click(const char* button);
    // Clicks with `answer` to every question the command raises; the record of boxes
    // starts empty.
    void click(const char* button, bool answer);
    // Title and text of the last box shown, or "" when none was.
    QString lastBox() const;

    // The schedule page.
    YearMonthEdit* yearMonth();
    GridView* grid();
    schedule::SheetModel& sheet();
    // Hands a value to a sheet cell as the grid's editor does when a typed value is accepted.
    bool put(int row, int column, const QString& text);
    // Sets the year-month field to the month and presses 読込.
    void loadMonth(const QDate& month);
    // A cell of the month grid as shown.
    QString cell(int row, int column);
    // "日付 支払先名 総額" of the first `count` grid lines, joined by " / ".
    QString lines(int count);
    // 繰越額 | 予定額月計 | 支払額月計 | 累計 as shown.
    QString figures();
    // Types into a cell of a grid as the user does: F2 opens the editor, its text is
    // selected and replaced key by key (Japanese included; an empty text empties the
    // cell), then `end` goes to the editor (Qt::Key_unknown leaves it open).
    void type(int row, int column, const QString& text, Qt::Key end = Qt::Key_Tab);
    void typeInto(const char* gridName, int row, int column, const QString& text, Qt::Key end = Qt::Key_Tab);
    // Japanese committed by the input method on a cell not being edited: the committed
    // text opens the editor with it; `end` then goes to the editor.
    void commitThroughInputMethod(int row, int column, const QString& text, Qt::Key end = Qt::Key_Tab);
    // A key pressed on a grid's cell, no editor open.
    void keyOn(const char* gridName, int row, int column, Qt::Key key);
    // Column `column` of every line of a grid, as shown.
    QStringList column(const char* gridName, int column);

    // The main file, as seed:: reads it.
    QString storedLines();
    QStringList storedPayees();

    messages::ScriptedMessagePresenter presenter;

private:
    std::optional<TempDataDir> own_;
    TempDataDir* dir_;
    StartupOutcome started_;
};

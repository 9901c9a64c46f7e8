#pragma once

// The busy book of the window benchmarks: 500,000 stored lines, 50,000 payees and 13
// backups (12 made here, the day's copy made at start), and the real main window on it,
// shown on the offscreen platform with a month of the book loaded; made once a run.
#include "BackupFolder.h"
#include "BareSqlite.h"
#include "MainWindow.h"
#include "SchedulePage.h"
#include "Session.h"
#include "Startup.h"
#include "StoredBook.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDateTime>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace busy {

inline constexpr int kLines = 500000;
inline constexpr int kPayees = 50000;
inline constexpr int kBackups = 12; // with the day's copy made at start, 13
inline const QDate kFirstDay(2000, 1, 1);
inline const QDate kMonth(2015, 6, 1);

inline QString payeeName(int i)
{
    return QStringLiteral("取引先%1").arg(i * 7919 % kPayees, 5, 10, QLatin1Char('0'));
}

// The book, the payee master and the backups.
struct Book {
    TempDataDir dir;

    Book()
    {
        auto session = store::Session::open(dir.path());
        sqlite3* db = session->mainDb().getHandle();
        bare::fillStoredBook(db, kFirstDay, kFirstDay.addDays(kLines / 6 - 1), kLines);
        bare::run(db, "BEGIN");
        {
            bare::Stmt insert(db, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)");
            for (int i = 0; i < kPayees; ++i) {
                insert.text(1, payeeName(i).toStdString());
                insert.done();
            }
        }
        bare::run(db, "COMMIT");
        const backup::BackupFolder folder(dir.path());
        const QDateTime made = QDateTime::currentDateTime().addDays(-30);
        for (int i = 0; i < kBackups; ++i) {
            if (!backup::makeBackup(session->mainDb(), folder, made.addSecs(i), backup::Reason::LineDelete).ok)
                std::abort();
        }
    }
};

inline Book& book()
{
    static Book instance;
    return instance;
}

// Runs the event loop until a timer posted now has fired: the window answers again.
inline void untilAnswered()
{
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    while (!fired)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

inline messages::ScriptedMessagePresenter presenter;
inline StartupOutcome started;

inline MainWindow& window()
{
    if (!started.window) {
        presenter.setDefaultAnswer(false);
        started = startQuorel1(book().dir.path(), presenter);
        if (!started.window)
            std::abort();
        started.window->resize(1100, 760);
        started.window->show();
        started.window->activateWindow();
        if (!QTest::qWaitForWindowActive(started.window.get()))
            std::abort();
        started.window->findChild<YearMonthEdit*>(QStringLiteral("Dt年月"))->setDate(kMonth);
        started.window->findChild<schedule::SchedulePage*>()->Read支払予定();
        // The day's copy is made on a thread of its own at start: waited for, so that
        // the settings page lists 13 backups.
        for (int wait = 0; wait < 600 && backup::BackupFolder(book().dir.path()).list().size() <= kBackups; ++wait)
            QTest::qWait(100);
        untilAnswered();
    }
    return *started.window;
}

inline QTabWidget* pages()
{
    return window().findChild<QTabWidget*>(QStringLiteral("SSTab1"));
}

// Makes the book and starts the window, printing how long that took.
inline void prepare()
{
    QElapsedTimer made;
    made.start();
    window();
    std::printf("book, backups and window made in %.1f s\n", static_cast<double>(made.elapsed()) / 1000);
}

} // namespace busy

#include "MainWindowHarness.h"

#include "StartupCheck.h"

#include "MainWindow.h"
#include "GridEditing.h"
#include "GridView.h"
#include "Session.h"
#include "SheetModel.h"
#include "YearMonthEdit.h"

#include "AmountField.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using schedule::kCol残高;
using schedule::kCol支払先名;
using schedule::kCol表示日付;

MainWindowHarness::MainWindowHarness()
    : own_(std::in_place)
    , dir_(&*own_)
{
}

MainWindowHarness::MainWindowHarness(TempDataDir& dir)
    : dir_(&dir)
{
}

MainWindowHarness::~MainWindowHarness()
{
    started_.window.reset(); // before the folder goes
}

bool MainWindowHarness::start()
{
    started_ = startQuorel1(dir_->path(), presenter);
    return started_.window != nullptr;
}

bool MainWindowHarness::startOn(const QDate& month)
{
    if (!start())
        return false;
    loadMonth(month);
    return true;
}

bool waitForStartupWork(MainWindow& window)
{
    return QTest::qWaitFor([&] {
        const auto* check = window.findChild<StartupCheck*>();
        return (!check || check->finished()) && !window.backups().dailyPending();
    }, 10000);
}

bool MainWindowHarness::show()
{
    window().show();
    window().activateWindow();
    return QTest::qWaitForWindowActive(&window()) && waitForStartupWork(window());
}

void MainWindowHarness::showPage(Page page)
{
    find<QTabWidget>("SSTab1")->setCurrentIndex(page);
}

void MainWindowHarness::close()
{
    window().close();
}

store::Session& MainWindowHarness::session()
{
    return window().session();
}

SQLite::Database& MainWindowHarness::mainDb()
{
    return session().mainDb();
}

SQLite::Database& MainWindowHarness::workDb()
{
    return session().workDb();
}

void MainWindowHarness::click(const char* button)
{
    auto* b = find<QPushButton>(button);
    if (!b)
        return;
    if (b->isVisible())
        QTest::mouseClick(b, Qt::LeftButton);
    else
        b->click();
}

void MainWindowHarness::click(const char* button, bool answer)
{
    presenter.clear();
    presenter.setDefaultAnswer(answer);
    click(button);
}

QString MainWindowHarness::lastBox() const
{
    if (presenter.shown().empty())
        return {};
    return presenter.shown().back().title + QStringLiteral(": ") + presenter.shown().back().text;
}

YearMonthEdit* MainWindowHarness::yearMonth()
{
    return find<YearMonthEdit>("Dt年月");
}

GridView* MainWindowHarness::grid()
{
    return find<GridView>("GridInp");
}

schedule::SheetModel& MainWindowHarness::sheet()
{
    return *find<schedule::SheetModel>("datInp");
}

bool MainWindowHarness::put(int row, int column, const QString& text)
{
    return sheet().setData(sheet().index(row, column), text);
}

void MainWindowHarness::loadMonth(const QDate& month)
{
    yearMonth()->setFromText(month.toString(QStringLiteral("yyyyMMdd")));
    click("cmd読込");
}

QString MainWindowHarness::cell(int row, int column)
{
    return sheet().data(sheet().index(row, column)).toString();
}

QString MainWindowHarness::lines(int count)
{
    QStringList shown;
    for (int r = 0; r < count; ++r)
        shown << cell(r, kCol表示日付) + ' ' + cell(r, kCol支払先名) + ' ' + cell(r, kCol残高);
    return shown.join(QStringLiteral(" / "));
}

QString MainWindowHarness::figures()
{
    QStringList shown;
    for (const char* name : {"num繰越額", "num予定額月計", "num支払額月計", "num累計"})
        shown << find<AmountField>(name)->text();
    return shown.join(QStringLiteral(" | "));
}

void MainWindowHarness::type(int row, int column, const QString& text, Qt::Key end)
{
    typeInto("GridInp", row, column, text, end);
}

void MainWindowHarness::typeInto(const char* gridName, int row, int column, const QString& text, Qt::Key end)
{
    auto* view = find<QTableView>(gridName);
    view->setFocus();
    view->setCurrentIndex(view->model()->index(row, column));
    QTest::keyClick(view, Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    if (end != Qt::Key_unknown)
        QTest::keyClick(QApplication::focusWidget(), end);
    QCoreApplication::processEvents();
}

void MainWindowHarness::commitThroughInputMethod(int row, int column, const QString& text, Qt::Key end)
{
    grid()->setFocus();
    grid()->setCurrentCell(row, column);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(grid(), &commit);
    if (end != Qt::Key_unknown)
        QTest::keyClick(QApplication::focusWidget(), end);
    QCoreApplication::processEvents();
}

void MainWindowHarness::keyOn(const char* gridName, int row, int column, Qt::Key key)
{
    auto* view = find<QTableView>(gridName);
    view->setFocus();
    view->setCurrentIndex(view->model()->index(row, column));
    QTest::keyClick(view, key);
}

QStringList MainWindowHarness::column(const char* gridName, int column)
{
    auto* model = find<QTableView>(gridName)->model();
    QStringList shown;
    for (int r = 0; r < model->rowCount(); ++r)
        shown << model->data(model->index(r, column)).toString();
    return shown;
}

QString MainWindowHarness::storedLines()
{
    return seed::storedLines(mainDb());
}

QStringList MainWindowHarness::storedPayees()
{
    return seed::storedPayees(mainDb());
}

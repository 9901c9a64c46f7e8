// The window's answer with 50,000 payees on a book of 500,000 stored lines: a block of 200
// new names pasted down the sheet's payee column, a new name typed and Enter, and the
// settings page shown with 13 backups of the book (whose summaries and checks are read
// again each time). Each is timed until the event loop answers again (a timer posted after
// the command fires), on the real main window on the offscreen platform. Targets: the
// paste, the Enter and the settings page within one 16.7 ms frame, the keys of a name
// within a frame each on average. Beside each, a bare Qt window on files of its own does
// the least that shows and keeps the same names: a QTableView over the sheet's cells, the
// changed lines written to the draft table, the new names put into a sorted list and its
// table, or a list of the backup files; its ratio is printed for comparison (the program
// also checks each value, keeps the undo step, the balances and the figures).

#include "BareSqlite.h"
#include "BackupFolder.h"
#include "GridView.h"
#include "JapaneseCollation.h"
#include "MainWindow.h"
#include "RatioReporter.h"
#include "SchedulePage.h"
#include "Session.h"
#include "SheetColumns.h"
#include "Startup.h"
#include "StoredBook.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int kLines = 500000;
constexpr int kPayees = 50000;
constexpr int kBackups = 12; // with the day's copy made at start, 13
constexpr int kPasted = 200;
constexpr int kTypedKeys = 14; // a new name, "取引先01234・新001", and Enter
const QDate kFirstDay(2000, 1, 1);
const QDate kMonth(2015, 6, 1);

QString payeeName(int i)
{
    return QStringLiteral("取引先%1").arg(i * 7919 % kPayees, 5, 10, QLatin1Char('0'));
}

// The book, the payee master and the backups, made once for the whole run.
struct Data {
    TempDataDir dir;

    Data()
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

Data& data()
{
    static Data instance;
    return instance;
}

// Runs the event loop until a timer posted now has fired: the window answers again.
void untilAnswered()
{
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    while (!fired)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// ---- the program ----

messages::ScriptedMessagePresenter presenter;
StartupOutcome started;

MainWindow& window()
{
    if (!started.window) {
        presenter.setDefaultAnswer(false);
        started = startQuorel1(data().dir.path(), presenter);
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
        for (int wait = 0; wait < 600 && backup::BackupFolder(data().dir.path()).list().size() <= kBackups; ++wait)
            QTest::qWait(100);
        untilAnswered();
    }
    return *started.window;
}

GridView* sheetGrid()
{
    return window().findChild<GridView*>(QStringLiteral("GridInp"));
}

QTabWidget* pages()
{
    return window().findChild<QTabWidget*>(QStringLiteral("SSTab1"));
}

int gRound = 0;

// Names no payee has yet, each next to a listed one: spread over the list as new names are.
QStringList newNames(int count)
{
    ++gRound;
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << payeeName(gRound * count + i) + QStringLiteral("・新%1").arg(gRound, 3, 10, QLatin1Char('0'));
    return names;
}

void BM_PasteNames_Program(benchmark::State& state)
{
    pages()->setCurrentIndex(0);
    GridView* grid = sheetGrid();
    for (auto _ : state) {
        state.PauseTiming();
        QGuiApplication::clipboard()->setText(newNames(kPasted).join(QLatin1Char('\n')));
        grid->setFocus();
        grid->setCurrentCell(0, schedule::kCol支払先名);
        untilAnswered();
        state.ResumeTiming();
        QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
        untilAnswered();
        if (grid->model()->index(kPasted - 1, schedule::kCol支払先名).data().toString() != QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), -1)) {
            state.SkipWithError("the pasted names did not reach the sheet");
            break;
        }
    }
}

// Where a key goes, as the application routes a real one: to a pop-up that is open (the
// completion list), else to the widget with the focus.
QWidget* keyTarget()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::focusWidget();
}

// Types a new name into the first line's payee cell; Enter is timed alone, or the keys.
void typeName(benchmark::State& state, bool timeKeys)
{
    pages()->setCurrentIndex(0);
    GridView* grid = sheetGrid();
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = newNames(1).front();
        window().activateWindow();
        (void)QTest::qWaitForWindowActive(&window());
        grid->setFocus();
        grid->setCurrentCell(0, schedule::kCol支払先名);
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClick(keyTarget(), Qt::Key_A, Qt::ControlModifier);
        untilAnswered();
        if (!QApplication::focusWidget() || QApplication::focusWidget() == grid) {
            state.SkipWithError("no editor opened on the payee cell");
            break;
        }
        if (timeKeys)
            state.ResumeTiming();
        for (QChar c : name)
            QTest::sendKeyEvent(QTest::Click, keyTarget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        untilAnswered();
        if (!timeKeys)
            state.ResumeTiming();
        QTest::keyClick(keyTarget(), Qt::Key_Return);
        untilAnswered();
        if (grid->model()->index(0, schedule::kCol支払先名).data().toString() != name) {
            state.SkipWithError("the typed name did not reach the sheet");
            break;
        }
    }
}

void BM_TypeNameEnter_Program(benchmark::State& state)
{
    typeName(state, false);
}

void BM_TypeNameKeysEnter_Program(benchmark::State& state)
{
    typeName(state, true);
}

// The backups are touched so that what was found in them no longer holds: each show
// queues them all for reading again.
void touchBackups()
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const backup::BackupEntry& entry : backup::BackupFolder(data().dir.path()).list()) {
        QFile file(entry.path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(now, QFileDevice::FileModificationTime);
    }
}

void showSettings(benchmark::State& state, QTabWidget* tabs, int page, bool untilAnswer, const std::function<void()>& beforeShow)
{
    for (auto _ : state) {
        state.PauseTiming();
        tabs->setCurrentIndex(0);
        untilAnswered();
        if (beforeShow)
            beforeShow();
        state.ResumeTiming();
        tabs->setCurrentIndex(page);
        if (untilAnswer)
            untilAnswered();
    }
}

void BM_SettingsPageShown_Program(benchmark::State& state)
{
    showSettings(state, pages(), 2, false, touchBackups);
}

void BM_SettingsPageAnswers_Program(benchmark::State& state)
{
    showSettings(state, pages(), 2, true, touchBackups);
}

// ---- the bare window ----

// A work file of its own with the draft's 200 lines and the drop-down's 50,000 names, a
// table view over the sheet's cells and the sorted names in memory.
struct BareSheet {
    TempDataDir dir;
    sqlite3* work = nullptr;
    QStandardItemModel cells{schedule::kSheetLines, 9};
    QTableView view;
    QStringList names;

    BareSheet()
    {
        work = bare::openWorkFile(dir.workPath().toStdString());
        bare::run(work, "BEGIN");
        {
            bare::Stmt line(work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)");
            for (int i = 1; i <= schedule::kSheetLines; ++i) {
                line.integer(1, i);
                line.integer(2, i);
                line.done();
            }
            for (int i = 0; i < kPayees; ++i)
                names << payeeName(i);
            std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return store::compareJapanese(a, b) < 0; });
            bare::Stmt name(work, "INSERT INTO w支払先名 (rowid, 支払先名) VALUES (?, ?)");
            for (int i = 0; i < kPayees; ++i) {
                name.integer(1, (i + 1) * 65536LL);
                name.text(2, names.at(i).toStdString());
                name.done();
            }
        }
        bare::run(work, "COMMIT");
        view.setModel(&cells);
        view.resize(1100, 700);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            std::abort();
    }
    ~BareSheet() { sqlite3_close(work); }

    // The names on lines from `row` on: the cells, the draft's lines, the new names in the
    // sorted list and its table.
    void put(int row, const QStringList& typed)
    {
        bare::run(work, "BEGIN");
        bare::Stmt draft(work, "UPDATE InpWork SET 支払先名 = ? WHERE rowid = ?");
        bare::Stmt name(work, "INSERT INTO w支払先名 (rowid, 支払先名) VALUES (?, ?)");
        for (int i = 0; i < typed.size(); ++i) {
            cells.setData(cells.index(row + i, schedule::kCol支払先名), typed.at(i));
            draft.text(1, typed.at(i).toStdString());
            draft.integer(2, row + i + 1);
            draft.done();
            const auto place = std::lower_bound(names.begin(), names.end(), typed.at(i), [](const QString& a, const QString& b) { return store::compareJapanese(a, b) < 0; });
            name.integer(1, -(gRound * 1000LL + i)); // any free rowid: the bare list keeps its order in memory
            name.text(2, typed.at(i).toStdString());
            name.done();
            names.insert(place, typed.at(i));
        }
        bare::run(work, "COMMIT");
    }
};

// The bare windows, closed before the application ends.
std::unique_ptr<BareSheet> gBareSheet;

BareSheet& bareSheet()
{
    if (!gBareSheet)
        gBareSheet = std::make_unique<BareSheet>();
    return *gBareSheet;
}

void BM_PasteNames_Bare(benchmark::State& state)
{
    BareSheet& sheet = bareSheet();
    for (auto _ : state) {
        state.PauseTiming();
        QGuiApplication::clipboard()->setText(newNames(kPasted).join(QLatin1Char('\n')));
        untilAnswered();
        state.ResumeTiming();
        sheet.put(0, QGuiApplication::clipboard()->text().split(QLatin1Char('\n')));
        untilAnswered();
    }
}

void BM_TypeNameEnter_Bare(benchmark::State& state)
{
    BareSheet& sheet = bareSheet();
    for (auto _ : state) {
        state.PauseTiming();
        const QString name = newNames(1).front();
        sheet.view.setFocus();
        sheet.view.setCurrentIndex(sheet.cells.index(0, schedule::kCol支払先名));
        QTest::keyClick(&sheet.view, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        for (QChar c : name)
            QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
        untilAnswered();
        state.ResumeTiming();
        QTest::keyClick(editor, Qt::Key_Return);
        sheet.put(0, {sheet.cells.index(0, schedule::kCol支払先名).data().toString()});
        untilAnswered();
    }
}

// Two pages, the second listing the backup files as the program's list does (made when,
// why, size), read from the folder when shown.
struct BareSettings {
    QTabWidget tabs;
    QTreeWidget* list = new QTreeWidget;

    BareSettings()
    {
        tabs.addTab(new QWidget, QStringLiteral("一"));
        tabs.addTab(new QWidget, QStringLiteral("二"));
        tabs.addTab(list, QStringLiteral("三"));
        list->setColumnCount(3);
        QObject::connect(&tabs, &QTabWidget::currentChanged, list, [this](int index) {
            if (index != 2)
                return;
            list->clear();
            for (const QFileInfo& file : QDir(backup::BackupFolder(data().dir.path()).path()).entryInfoList(QDir::Files, QDir::Name | QDir::Reversed))
                new QTreeWidgetItem(list, {file.lastModified().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")), file.fileName(), QString::number(file.size())});
        });
        tabs.resize(1100, 760);
        tabs.show();
        if (!QTest::qWaitForWindowExposed(&tabs))
            std::abort();
    }
};

std::unique_ptr<BareSettings> gBareSettings;

QTabWidget* bareSettings()
{
    if (!gBareSettings)
        gBareSettings = std::make_unique<BareSettings>();
    return &gBareSettings->tabs;
}

void BM_SettingsPageShown_Bare(benchmark::State& state)
{
    showSettings(state, bareSettings(), 2, false, {});
}

void BM_SettingsPageAnswers_Bare(benchmark::State& state)
{
    showSettings(state, bareSettings(), 2, true, {});
}

// A fixed count of rounds: the untimed part of each (the clipboard, the editor opened, the
// page left) takes longer than the timed one.
BENCHMARK(BM_PasteNames_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_PasteNames_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_TypeNameEnter_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_TypeNameKeysEnter_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_TypeNameEnter_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_SettingsPageShown_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_SettingsPageAnswers_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_SettingsPageShown_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_SettingsPageAnswers_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] {
            QElapsedTimer made;
            made.start();
            window();
            std::printf("book, backups and window made in %.1f s\n", static_cast<double>(made.elapsed()) / 1000);
        }))
        return 1;
    reporter.printRatio("paste of 200 new names at 50,000 payees", "BM_PasteNames_Program", "BM_PasteNames_Bare");
    reporter.printRatio("a new name typed, then Enter, at 50,000 payees", "BM_TypeNameEnter_Program", "BM_TypeNameEnter_Bare");
    reporter.printRatio("settings page shown with 13 backups of 500,000 lines", "BM_SettingsPageShown_Program", "BM_SettingsPageShown_Bare");
    reporter.printRatio("settings page shown, until the event loop answers", "BM_SettingsPageAnswers_Program", "BM_SettingsPageAnswers_Bare");
    reporter.printWithin("paste of 200 new names, until the window answers", "BM_PasteNames_Program", 16.7);
    reporter.printWithin("Enter after a new name, until the window answers", "BM_TypeNameEnter_Program", 16.7);
    reporter.printWithin("the keys of a new name and Enter, a key on average", "BM_TypeNameKeysEnter_Program", 16.7 * kTypedKeys);
    reporter.printWithin("settings page shown, until the window answers", "BM_SettingsPageAnswers_Program", 16.7);
    started.window.reset();
    gBareSheet.reset();
    gBareSettings.reset();
    benchmark::Shutdown();
    return 0;
}

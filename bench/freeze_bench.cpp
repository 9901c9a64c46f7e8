// The window's answer with 50,000 payees on a book of 500,000 stored lines: a block of 200
// new names pasted down the sheet's payee column, and a new name typed and Enter. Each is
// timed until the event loop answers again (a timer posted after the command fires), on
// the real main window on the offscreen platform. Targets: the paste and the Enter within
// one 16.7 ms frame, the keys of a name within a frame each on average. Beside each, a
// bare Qt window on files of its own does the least that shows and keeps the same names:
// a QTableView over the sheet's cells, the changed lines written to the draft table, the
// new names put into a sorted list and its table; its ratio is printed for comparison
// (the program also checks each value, keeps the undo step, the balances and figures).

#include "BusyWindow.h"
#include "GridView.h"
#include "JapaneseCollation.h"
#include "RatioReporter.h"
#include "SheetColumns.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace {

using namespace busy;

constexpr int kPasted = 200;
constexpr int kTypedKeys = 14; // a new name, "取引先01234・新001", and Enter

GridView* sheetGrid()
{
    return window().findChild<GridView*>(QStringLiteral("GridInp"));
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

// A fixed count of rounds: the untimed part of each (the clipboard, the editor opened)
// takes longer than the timed one.
BENCHMARK(BM_PasteNames_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_PasteNames_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_TypeNameEnter_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_TypeNameKeysEnter_Program)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_TypeNameEnter_Bare)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(60);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] { busy::prepare(); }))
        return 1;
    reporter.printRatio("paste of 200 new names at 50,000 payees", "BM_PasteNames_Program", "BM_PasteNames_Bare");
    reporter.printRatio("a new name typed, then Enter, at 50,000 payees", "BM_TypeNameEnter_Program", "BM_TypeNameEnter_Bare");
    reporter.printWithin("paste of 200 new names, until the window answers", "BM_PasteNames_Program", 16.7);
    reporter.printWithin("Enter after a new name, until the window answers", "BM_TypeNameEnter_Program", 16.7);
    reporter.printWithin("the keys of a new name and Enter, a key on average", "BM_TypeNameKeysEnter_Program", 16.7 * kTypedKeys);
    busy::started.window.reset();
    gBareSheet.reset();
    benchmark::Shutdown();
    return 0;
}

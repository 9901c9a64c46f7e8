// The settings page shown on a book of 500,000 stored lines with 13 backups, whose
// summaries and checks are read again on the inspector's thread each time: timed until
// the page is shown and until the event loop answers again (a timer posted after the
// page was chosen fires), on the real main window on the offscreen platform. Target: the
// window answers within one 16.7 ms frame. Beside it, a bare Qt window lists the backup
// files on a page of its own; its ratio is printed for comparison.

#include "BusyWindow.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {

using namespace busy;

// The backups are touched so that what was found in them no longer holds: each show
// queues them all for reading again.
void touchBackups()
{
    const QDateTime now = QDateTime::currentDateTime();
    for (const backup::BackupEntry& entry : backup::BackupFolder(book().dir.path()).list()) {
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
            for (const QFileInfo& file : QDir(backup::BackupFolder(book().dir.path()).path()).entryInfoList(QDir::Files, QDir::Name | QDir::Reversed))
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

// A fixed count of rounds: the untimed part of each (the page left, the backups touched)
// takes longer than the timed one.
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
    if (!runBenchmarks(argc, argv, reporter, [] { busy::prepare(); }))
        return 1;
    reporter.printRatio("settings page shown with 13 backups of 500,000 lines", "BM_SettingsPageShown_Program", "BM_SettingsPageShown_Bare");
    reporter.printRatio("settings page shown, until the event loop answers", "BM_SettingsPageAnswers_Program", "BM_SettingsPageAnswers_Bare");
    reporter.printWithin("settings page shown, until the window answers", "BM_SettingsPageAnswers_Program", 16.7);
    busy::started.window.reset();
    gBareSettings.reset();
    benchmark::Shutdown();
    return 0;
}

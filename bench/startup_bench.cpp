// From process start to a main window that answers, on books of 100,000 and 500,000 stored
// lines, on an ordinary start and on the first start of a day (the day's backup due),
// beside a bare Qt window started the same way (targets: at most 1.5× at 100,000 lines and
// 2× at 500,000, on every start).
//
// Every start is a fresh process of this same program on an X server of its own (Xvfb with
// openbox; the offscreen platform when there is none): the parent reads the monotonic
// clock and starts the child; the child prints the monotonic clock once its window is
// exposed and the event loop has run once more, and ends at once. The difference is the
// time of one start. The books have about 180 lines a month, so the month shown is full.
// The same program on an empty book shows what the book's size adds to the start.

#include "MainWindow.h"
#include "Launch.h"
#include "RatioReporter.h"
#include "Session.h"
#include "StoredBook.h"
#include "TempDataDir.h"
#include "VirtualDisplay.h"

#include <benchmark/benchmark.h>

#include <SQLiteCpp/Database.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>

namespace {

const char* const kBareChild = "--child-bare";
const char* const kProgramChild = "--child-program";

qint64 monotonicNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// In a child: once the window is exposed and the event loop has run once more, the clock
// goes to the parent and the process ends without tearing anything down.
void answerAndEnd()
{
    QTimer::singleShot(0, [] {
        std::printf("%lld\n", static_cast<long long>(monotonicNs()));
        std::fflush(stdout);
        ::_exit(0);
    });
}

class ExposeWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            answerAndEnd();
        return false;
    }
};

void answerWhenExposed(QWidget& window)
{
    if (window.windowHandle()->isExposed()) {
        answerAndEnd();
        return;
    }
    window.windowHandle()->installEventFilter(new ExposeWatch);
}

int runBareChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(733, 477);
    window.show();
    answerWhenExposed(window);
    return app.exec();
}

struct Book {
    TempDataDir dir;
    explicit Book(int lines)
    {
        auto session = store::Session::open(dir.path());
        if (lines == 0)
            return;
        const QDate first(2000, 1, 1);
        bare::fillStoredBook(session->mainDb().getHandle(), first, first.addDays(lines / 6 - 1), lines);
    }
};

Book& book(int lines)
{
    static Book empty(0);
    static Book hundredThousand(100000);
    static Book fiveHundredThousand(500000);
    return lines == 0 ? empty : lines == 100000 ? hundredThousand : fiveHundredThousand;
}

// A home of its own: the child's window place and settings stay out of the user's.
const QTemporaryDir& home()
{
    static QTemporaryDir dir;
    return dir;
}

// The X server the children show their windows on.
VirtualDisplay& display()
{
    static VirtualDisplay shared;
    return shared;
}

// One start of a child; the seconds from its start to its answer, or a negative number.
double timeChild(const QStringList& arguments)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XMODIFIERS", "QT_IM_MODULE", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromUtf8(name));
    if (display().problem().isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display().name());
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home().path());
    env.insert(QStringLiteral("HOME"), home().path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home().path() + QStringLiteral("/.config"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return -1;
    const qint64 answered = child.readAllStandardOutput().trimmed().toLongLong();
    return answered > started ? double(answered - started) / 1e9 : -1;
}

void removeDailyBackups(const QString& dataDirectory)
{
    QDir folder(QDir(dataDirectory).filePath(QStringLiteral("backup")));
    for (const QString& name : folder.entryList({QStringLiteral("*_daily.mdb*")}, QDir::Files))
        folder.remove(name);
}

void measure(benchmark::State& state, const QStringList& arguments)
{
    for (auto _ : state) {
        const double seconds = timeChild(arguments);
        if (seconds < 0) {
            state.SkipWithError("the child did not answer");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_Start_BareWindow(benchmark::State& state)
{
    measure(state, {QString::fromUtf8(kBareChild)});
}

// An ordinary start: the day's backup is there already.
void BM_Start_Program(benchmark::State& state, int lines)
{
    const QString data = book(lines).dir.path();
    removeDailyBackups(data);
    QDir().mkpath(QDir(data).filePath(QStringLiteral("backup")));
    const QString daily = QStringLiteral("backup/Quorel1_%1-000000_daily.mdb").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    QFile::copy(book(lines).dir.mainPath(), QDir(data).filePath(daily));
    measure(state, {QString::fromUtf8(kProgramChild), QStringLiteral("--data"), data});
}

// The first start of a day: the day's backup is due at every start.
void BM_Start_ProgramFirstOfTheDay(benchmark::State& state, int lines)
{
    const QString data = book(lines).dir.path();
    for (auto _ : state) {
        removeDailyBackups(data);
        const double seconds = timeChild({QString::fromUtf8(kProgramChild), QStringLiteral("--data"), data});
        if (seconds < 0) {
            state.SkipWithError("the child did not answer");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

BENCHMARK(BM_Start_BareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK_CAPTURE(BM_Start_Program, empty, 0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK_CAPTURE(BM_Start_Program, 100k, 100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK_CAPTURE(BM_Start_Program, 500k, 500000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK_CAPTURE(BM_Start_ProgramFirstOfTheDay, 100k, 100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK_CAPTURE(BM_Start_ProgramFirstOfTheDay, 500k, 500000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == kBareChild)
        return runBareChild(argc, argv);
    if (argc > 1 && std::string(argv[1]) == kProgramChild) {
        std::vector<char*> arguments = {argv[0]};
        arguments.insert(arguments.end(), argv + 2, argv + argc);
        int count = static_cast<int>(arguments.size());
        return runQuorel1(count, arguments.data(), [](MainWindow& window) { answerWhenExposed(window); });
    }
    QCoreApplication app(argc, argv);
    std::printf("windows shown on %s\n", display().problem().isEmpty() ? "Xvfb with openbox" : "the offscreen platform (no X server)");
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] {
            book(0);
            book(100000);
            book(500000);
        }))
        return 1;
    const char* bare = "BM_Start_BareWindow";
    reporter.printRatio("start on 100,000 lines beside a bare Qt window", "BM_Start_Program/100k", bare, 1.5);
    reporter.printRatio("start on 500,000 lines beside a bare Qt window", "BM_Start_Program/500k", bare, 2.0);
    reporter.printRatio("first start of a day on 100,000 lines", "BM_Start_ProgramFirstOfTheDay/100k", bare, 1.5);
    reporter.printRatio("first start of a day on 500,000 lines", "BM_Start_ProgramFirstOfTheDay/500k", bare, 2.0);
    // What the book's size adds: the same program on an empty book.
    reporter.printRatio("start on 100,000 lines beside an empty book", "BM_Start_Program/100k", "BM_Start_Program/empty", 1.2);
    reporter.printRatio("start on 500,000 lines beside an empty book", "BM_Start_Program/500k", "BM_Start_Program/empty", 1.2);
    reporter.printRatio("first start of a day on 500,000 lines beside an empty book", "BM_Start_ProgramFirstOfTheDay/500k", "BM_Start_Program/empty", 1.2);
    benchmark::Shutdown();
    return 0;
}

#include "ProgramUnderX.h"

#include "DaemonsNotUp.h"
#include "DataFiles.h"
#include "FullWidthKeys.h"
#include "SheetLayout.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString kMainTitle = QStringLiteral("支払予定表");

// The pause between two looks at a condition; never a wait for the program itself.
void pollPause()
{
    QThread::msleep(25);
}

QProcessEnvironment programEnvironment(const QString& home, const QString& display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of the test's own platform, input method or desktop reaches the program.
    for (const char* name : {"QT_QPA_PLATFORM", "QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH", "WAYLAND_DISPLAY", "XMODIFIERS", "QT_IM_MODULE",
             "GTK_IM_MODULE", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromUtf8(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return env;
}

} // namespace

Input& Input::click(QPoint inWindow)
{
    clicks_ << inWindow;
    // No --sync: the server moves the pointer before it takes the click anyway, and a
    // synchronous move onto the point where the pointer already is would wait forever.
    runs_.last() << QStringLiteral("mousemove") << QStringLiteral("@click") << QStringLiteral("click") << QStringLiteral("1");
    return *this;
}

Input& Input::key(const QString& keys)
{
    runs_.last() << QStringLiteral("key") << keys;
    return *this;
}

Input& Input::type(const QString& text, int delayMs)
{
    runs_.last() << QStringLiteral("type") << QStringLiteral("--delay") << QString::number(delayMs) << text;
    runs_ << QStringList{};
    return *this;
}

Input& Input::keys(std::initializer_list<const char*> parts, int delayMs)
{
    for (const char* part : parts) {
        const QString text = QString::fromUtf8(part);
        if (text.size() > 2 && text.startsWith(QLatin1Char('<')) && text.endsWith(QLatin1Char('>')))
            key(text.mid(1, text.size() - 2));
        else
            type(text, delayMs);
    }
    return *this;
}

QString& ProgramUnderX::keyMapProblem()
{
    static QString problem;
    return problem;
}

VirtualDisplay& ProgramUnderX::display()
{
    static std::unique_ptr<VirtualDisplay> shared = [] {
        auto made = std::make_unique<VirtualDisplay>();
        if (made->problem().isEmpty())
            keyMapProblem() = mapFullWidthDigits(made->name());
        return made;
    }();
    return *shared;
}

namespace {

// Before the first case: the suite's X server with its window manager and key map is up, or
// no case runs and the program asks to be run again (DaemonsNotUp.h).
class DisplayIsUp : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QString problem = ProgramUnderX::displayProblem();
        if (problem.isEmpty())
            return;
        realinput::markDaemonsNotUp(QStringLiteral("the X display of the real-input suite"), problem);
        GTEST_SKIP() << problem.toStdString();
    }
};

[[maybe_unused]] ::testing::Environment* const displayIsUp = ::testing::AddGlobalTestEnvironment(new DisplayIsUp);

} // namespace

QString ProgramUnderX::displayProblem()
{
    if (!display().problem().isEmpty())
        return QStringLiteral("no X display for the real-input tests: ") + display().problem();
    return keyMapProblem();
}

ProgramUnderX::ProgramUnderX(const QString& dataDirectory)
    : dataDirectory_(dataDirectory)
{
    problem_ = displayProblem();
    if (!problem_.isEmpty())
        return;
    if (QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty()) {
        problem_ = QStringLiteral("import (imagemagick) is not installed");
        return;
    }
    start(dataDirectory);
}

ProgramUnderX::~ProgramUnderX()
{
    if (running()) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool ProgramUnderX::start(const QString& dataDirectory)
{
    // Both files exist beforehand, so the program asks nothing before its window.
    store::createMissingDataFiles(dataDirectory);
    for (const char* sub : {"/.config", "/.local/share", "/run"})
        QDir().mkpath(home_.path() + QString::fromUtf8(sub));
    QFile::setPermissions(home_.path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    process_.setProcessEnvironment(programEnvironment(home_.path(), display().name()));
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // QUOREL_REALINPUT_PROGRAM runs the suite against another build of the program.
    const QString program = qEnvironmentVariable("QUOREL_REALINPUT_PROGRAM", QStringLiteral(QUOREL_PROGRAM));
    process_.start(program, {QStringLiteral("--data"), dataDirectory});
    if (!process_.waitForStarted(10000)) {
        problem_ = QStringLiteral("Quorel1 did not start: ") + process_.errorString();
        return false;
    }
    const auto window = display().waitForWindowTitled(process_.processId(), [](const QString& title) { return title.startsWith(kMainTitle); }, 20000);
    if (!window) {
        problem_ = QStringLiteral("the main window did not come up");
        return false;
    }
    window_ = *window;
    client_ = display().geometry(window_);
    if (client_.size() != layout::windowSize()) {
        problem_ = QStringLiteral("the main window came up at %1 × %2, not at the %3 × %4 that the cell positions were measured at")
                       .arg(client_.width()).arg(client_.height()).arg(layout::windowSize().width()).arg(layout::windowSize().height());
        return false;
    }
    if (!waitForMainFocus()) {
        problem_ = QStringLiteral("the main window did not get the focus");
        return false;
    }
    return true;
}

bool ProgramUnderX::xdo(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display().name());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool ProgramUnderX::send(const Input& input)
{
    qsizetype click = 0;
    for (QStringList run : input.runs_) {
        for (qsizetype i = 0; i < run.size(); ++i) {
            if (run[i] == QLatin1String("@click")) {
                const QPoint screen = client_.topLeft() + input.clicks_.at(click++);
                run[i] = QString::number(screen.x());
                run.insert(i + 1, QString::number(screen.y()));
            }
        }
        if (!run.isEmpty() && !xdo(run))
            return false;
    }
    return true;
}

std::optional<QString> ProgramUnderX::waitForDialog(const QString& title, int timeoutMs)
{
    return display().waitForWindow(process_.processId(), title, timeoutMs);
}

std::optional<QString> ProgramUnderX::waitForAnyDialog(int timeoutMs)
{
    return display().waitForWindowTitled(process_.processId(), [](const QString& title) {
        // A window that is going away has no title any more.
        return !title.isEmpty() && !title.contains(kMainTitle); // the main title may carry the unsaved mark
    }, timeoutMs);
}

bool ProgramUnderX::answer(const QString& dialog, const QString& keys)
{
    if (!display().press(dialog, keys))
        return false;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        const QString visible = display().run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(process_.processId())});
        if (!visible.split(QLatin1Char('\n'), Qt::SkipEmptyParts).contains(dialog))
            return true;
        pollPause();
    }
    return false;
}

bool ProgramUnderX::waitForMainFocus(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (display().run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}).trimmed() == window_)
            return true;
        if (!running())
            return false;
        pollPause();
    }
    return false;
}

bool ProgramUnderX::registerMonth()
{
    if (!key(QStringLiteral("ctrl+s")))
        return false;
    const auto question = waitForDialog(QStringLiteral("登録の確認"));
    return question && answer(*question, QStringLiteral("Return")) && waitUntilIdle();
}

bool ProgramUnderX::waitUntilIdle()
{
    // The program handles input in order, one event at a time: once it raises the question
    // of a Ctrl+S pressed now, whatever came before has run to its end. いいえ stores nothing.
    if (!key(QStringLiteral("ctrl+s")))
        return false;
    const auto question = waitForDialog(QStringLiteral("登録の確認"));
    return question && answer(*question, QStringLiteral("alt+n")) && waitForMainFocus();
}

bool ProgramUnderX::signal(int number)
{
    return running() && ::kill(static_cast<pid_t>(process_.processId()), number) == 0;
}

bool ProgramUnderX::waitForExit(int timeoutMs)
{
    return process_.waitForFinished(timeoutMs);
}

QString ProgramUnderX::screenshot(const QString& name)
{
    const QString path = QDir::temp().filePath(QStringLiteral("quorel1-realinput-%1.png").arg(name));
    display().saveScreenshot(path);
    return path;
}

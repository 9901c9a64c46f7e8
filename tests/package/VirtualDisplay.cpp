#include "VirtualDisplay.h"

#include <QDeadlineTimer>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace {

void waitABit()
{
    QThread::msleep(50);
}

} // namespace

VirtualDisplay::VirtualDisplay()
{
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop"}) {
        if (QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty()) {
            problem_ = QStringLiteral("%1 is not installed").arg(QString::fromUtf8(tool));
            return;
        }
    }
    if (startServer())
        startWindowManager();
}

VirtualDisplay::~VirtualDisplay()
{
    for (auto* process : {windowManager_.get(), server_.get()}) {
        if (process && process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(3000);
        }
    }
}

bool VirtualDisplay::startServer()
{
    // -displayfd picks a free display and writes its number to standard output.
    server_ = std::make_unique<QProcess>();
    server_->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!deadline.hasExpired() && !out.contains('\n') && server_->state() != QProcess::NotRunning) {
        server_->waitForReadyRead(100);
        out += server_->readAllStandardOutput();
    }
    bool number = false;
    const int display = out.trimmed().toInt(&number);
    if (!number) {
        problem_ = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(server_->readAllStandardError());
        return false;
    }
    display_ = QStringLiteral(":%1").arg(display);
    return true;
}

bool VirtualDisplay::startWindowManager()
{
    windowManager_ = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    // The window manager starts no input method of the desktop the tests run in.
    for (const char* name : {"XMODIFIERS", "QT_IM_MODULE", "GTK_IM_MODULE"})
        env.remove(QString::fromUtf8(name));
    windowManager_->setProcessEnvironment(env);
    windowManager_->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}).contains(QStringLiteral("window id")))
            return true;
        waitABit();
    }
    problem_ = QStringLiteral("openbox did not start");
    return false;
}

QString VirtualDisplay::run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::optional<QString> VirtualDisplay::waitForWindowTitled(qint64 pid, const std::function<bool(const QString&)>& wanted, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QStringList windows = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid)})
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& window : windows) {
            if (wanted(title(window)))
                return window;
        }
        waitABit();
    }
    return std::nullopt;
}

std::optional<QString> VirtualDisplay::waitForWindow(qint64 pid, const QString& wantedTitle, int timeoutMs)
{
    return waitForWindowTitled(pid, [&](const QString& t) { return wantedTitle.isEmpty() || t == wantedTitle; }, timeoutMs);
}

QString VirtualDisplay::title(const QString& window)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window}).trimmed();
}

QRect VirtualDisplay::geometry(const QString& window)
{
    const QString shell = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    const auto value = [&](const char* key) {
        return QRegularExpression(QStringLiteral("^%1=(-?\\d+)$").arg(QString::fromUtf8(key)), QRegularExpression::MultilineOption).match(shell).captured(1).toInt();
    };
    return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
}

bool VirtualDisplay::press(const QString& window, const QString& keys)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}, 5000);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    return process.waitForFinished(5000) && process.exitCode() == 0;
}

void VirtualDisplay::moveTo(const QString& window, int x, int y)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QStringLiteral("--sync"), window, QString::number(x), QString::number(y)}, 5000);
}

void VirtualDisplay::saveScreenshot(const QString& path)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    process.waitForFinished(10000);
}

#include "ImeSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {

const QString kUser = QStringLiteral("quorelime");

bool runQuietly(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

ImeSession::ImeSession(Framework framework)
    : framework_(framework)
{
    // openbox hangs when it inherits the input method's X modifiers.
    qunsetenv("XMODIFIERS");
    if (!display_.problem().isEmpty()) {
        problem_ = display_.problem();
        return;
    }
    if (haveTools() && prepareLocale() && prepareUser() && startBus())
        framework_ == Framework::IBus ? startIBus() : startFcitx5();
}

ImeSession::~ImeSession()
{
    for (std::unique_ptr<QProcess>* process : {&probe_, &inputMethod_}) {
        if (*process && (*process)->state() != QProcess::NotRunning) {
            (*process)->terminate();
            if (!(*process)->waitForFinished(3000))
                (*process)->kill();
            (*process)->waitForFinished(3000);
        }
    }
    if (busPid_ > 0)
        ::kill(pid_t(busPid_), SIGTERM);
    // What the session started on its own (Mozc's server, a bus-activated helper) carries
    // the session's home in its environment: those processes end with the session.
    const QByteArray mark = "HOME=" + home_.path().toLocal8Bit() + '\0';
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == getpid())
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(entry));
        if (environ.open(QIODevice::ReadOnly) && (environ.readAll() + '\0').contains(mark))
            ::kill(pid_t(pid), SIGTERM);
    }
}

bool ImeSession::haveTools()
{
    const bool ibus = framework_ == Framework::IBus;
    const QStringList tools = ibus ? QStringList{QStringLiteral("ibus-daemon"), QStringLiteral("dconf")} : QStringList{QStringLiteral("fcitx5"), QStringLiteral("fcitx5-remote")};
    for (const QString& tool : tools + QStringList{QStringLiteral("dbus-launch"), QStringLiteral("dbus-send"), QStringLiteral("setpriv"), QStringLiteral("locale")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            problem_ = QStringLiteral("%1 is not installed").arg(tool);
            return false;
        }
    }
    const QStringList files = ibus ? QStringList{QStringLiteral("/usr/share/ibus/component/mozc.xml"), QStringLiteral(QUOREL_IBUS_PROBE)}
                                   : QStringList{QStringLiteral("/usr/share/fcitx5/addon/mozc.conf")};
    for (const QString& file : files + QStringList{QStringLiteral("/usr/lib/mozc/mozc_server")}) {
        if (!QFile::exists(file)) {
            problem_ = QStringLiteral("%1 is missing (%2 is not installed)").arg(file, ibus ? QStringLiteral("ibus-mozc") : QStringLiteral("fcitx5-mozc"));
            return false;
        }
    }
    return true;
}

bool ImeSession::prepareLocale()
{
    QString locales;
    runQuietly(QStringLiteral("locale"), {QStringLiteral("-a")}, &locales);
    if (locales.contains(QStringLiteral("ja_JP.utf8"), Qt::CaseInsensitive) || locales.contains(QStringLiteral("ja_JP.UTF-8")))
        return true;
    QString output;
    if (getuid() == 0 && runQuietly(QStringLiteral("localedef"), {QStringLiteral("-i"), QStringLiteral("ja_JP"), QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("ja_JP.UTF-8")}, &output))
        return true;
    problem_ = QStringLiteral("the ja_JP.UTF-8 locale is missing and could not be made: ") + output;
    return false;
}

bool ImeSession::prepareUser()
{
    if (!home_.isValid()) {
        problem_ = QStringLiteral("no temporary folder");
        return false;
    }
    if (framework_ == Framework::Fcitx5) {
        QDir(home_.path()).mkpath(QStringLiteral(".config/fcitx5"));
        writeProfile();
    } else {
        QDir(home_.path()).mkpath(QStringLiteral(".config"));
    }
    if (getuid() != 0)
        return true;
    // Mozc's server will not run as root: the session belongs to an ordinary user.
    user_ = kUser;
    QString output;
    if (!runQuietly(QStringLiteral("id"), {QStringLiteral("-u"), user_})
        && !runQuietly(QStringLiteral("useradd"), {QStringLiteral("--create-home"), QStringLiteral("--shell"), QStringLiteral("/bin/sh"), user_}, &output)) {
        problem_ = QStringLiteral("could not make the user %1: %2").arg(user_, output);
        return false;
    }
    if (!runQuietly(QStringLiteral("chown"), {QStringLiteral("-R"), user_ + u':' + user_, home_.path()}, &output)) {
        problem_ = QStringLiteral("could not hand the folder to %1: %2").arg(user_, output);
        return false;
    }
    return true;
}

void ImeSession::writeProfile()
{
    // One group: the plain keyboard first (input method off), Mozc second (on).
    QFile profile(home_.path() + QStringLiteral("/.config/fcitx5/profile"));
    if (profile.open(QIODevice::WriteOnly))
        profile.write("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n\n"
                      "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                      "[Groups/0/Items/1]\nName=mozc\nLayout=\n\n"
                      "[GroupOrder]\n0=Default\n");
}

QProcessEnvironment ImeSession::userEnvironment() const
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), home_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.path() + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home_.path() + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home_.path() + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    env.insert(QStringLiteral("DISPLAY"), display_.name());
    env.insert(QStringLiteral("LANG"), QStringLiteral("ja_JP.UTF-8"));
    if (!busAddress_.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    return env;
}

QStringList ImeSession::asUser(const QString& program, const QStringList& arguments) const
{
    if (user_.isEmpty())
        return QStringList{program} + arguments;
    // setpriv runs the program itself (no child in between), so its process id is the program's.
    return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=") + user_, QStringLiteral("--regid=") + user_,
                       QStringLiteral("--init-groups"), program} + arguments;
}

QString ImeSession::runAsUser(const QString& program, const QStringList& arguments, int timeoutMs, int* exitCode)
{
    QStringList command = asUser(program, arguments);
    QProcess process;
    process.setProcessEnvironment(userEnvironment());
    process.setWorkingDirectory(home_.path());
    process.start(command.takeFirst(), command);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

std::unique_ptr<QProcess> ImeSession::startAsUser(const QString& program, const QStringList& arguments, const QProcessEnvironment& extra)
{
    QStringList command = asUser(program, arguments);
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = userEnvironment();
    for (const QString& name : extra.keys())
        env.insert(name, extra.value(name));
    const QString module = framework_ == Framework::IBus ? QStringLiteral("ibus") : QStringLiteral("fcitx");
    env.insert(QStringLiteral("QT_IM_MODULE"), module);
    env.insert(QStringLiteral("XMODIFIERS"), QStringLiteral("@im=") + module);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_STYLE_OVERRIDE"), QStringLiteral("Fusion"));
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(home_.path());
    // Their messages go to a log beside the session's files, read when something fails.
    process->setStandardOutputFile(logPath(program));
    process->setStandardErrorFile(logPath(program), QIODevice::Append);
    process->start(command.takeFirst(), command);
    process->waitForStarted(10000);
    return process;
}

bool ImeSession::startBus()
{
    const QString out = runAsUser(QStringLiteral("dbus-launch"), {QStringLiteral("--sh-syntax")});
    const QRegularExpressionMatch address = QRegularExpression(QStringLiteral("DBUS_SESSION_BUS_ADDRESS='([^']*)'")).match(out);
    const QRegularExpressionMatch pid = QRegularExpression(QStringLiteral("DBUS_SESSION_BUS_PID=([0-9]+)")).match(out);
    if (!address.hasMatch() || !pid.hasMatch()) {
        problem_ = QStringLiteral("no session bus: dbus-launch said ") + out;
        return false;
    }
    busAddress_ = address.captured(1);
    busPid_ = pid.captured(1).toLongLong();
    return true;
}

bool ImeSession::startFcitx5()
{
    inputMethod_ = startAsUser(QStringLiteral("fcitx5"), {QStringLiteral("--disable=wayland")});
    QProcess* fcitx = inputMethod_.get();
    // Asking fcitx5 itself before it owns its name would start a second one through bus
    // activation: wait on the bus for the name first.
    const auto owned = [this] {
        return busCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                       QStringLiteral("string:org.fcitx.Fcitx5"))
            .contains(QStringLiteral("boolean true"));
    };
    if (!waitFor([&] { return owned() || fcitx->state() == QProcess::NotRunning; }, 20000) || !owned()) {
        problem_ = QStringLiteral("fcitx5 did not start: ") + log(QStringLiteral("fcitx5"));
        return false;
    }
    // Mozc is ready once fcitx5 has loaded it as one of its input methods.
    const auto mozc = [this] {
        return busCall(QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"), QStringLiteral("org.fcitx.Fcitx.Controller1.AvailableInputMethods"))
            .contains(QStringLiteral("\"mozc\""));
    };
    if (!waitFor(mozc, 20000)) {
        problem_ = QStringLiteral("fcitx5 has not loaded Mozc: ") + log(QStringLiteral("fcitx5"));
        return false;
    }
    return true;
}

QString ImeSession::busCall(const QString& destination, const QString& path, const QString& method, const QString& argument)
{
    QStringList arguments{QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=") + destination, path, method};
    if (!argument.isEmpty())
        arguments << argument;
    return runAsUser(QStringLiteral("dbus-send"), arguments);
}

QString ImeSession::logPath(const QString& program) const
{
    return home_.path() + u'/' + QFileInfo(program).fileName() + QStringLiteral(".log");
}

QString ImeSession::log(const QString& program) const
{
    QFile file(logPath(program));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll().right(4000)) : QString();
}

int ImeSession::imState()
{
    if (framework_ == Framework::IBus) {
        const QString engineName = engine();
        if (engineName.isEmpty())
            return kUnreadable;
        if (engineName.startsWith(QStringLiteral("xkb:")))
            return kOff;
        const QString chosen = mode();
        if (chosen.isEmpty())
            return kUnreadable;
        return chosen == QStringLiteral("InputMode.Direct") ? kOff : kOn;
    }
    int exitCode = -1;
    const QString out = runAsUser(QStringLiteral("fcitx5-remote"), {}, 5000, &exitCode).trimmed();
    bool number = false;
    const int state = out.toInt(&number);
    return exitCode == 0 && number ? state : -1;
}

bool ImeSession::waitFor(const std::function<bool()>& wanted, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (wanted())
            return true;
        QThread::msleep(30);
    }
    return wanted();
}

bool ImeSession::turn(bool on)
{
    const int wanted = on ? kOn : kOff;
    if (framework_ == Framework::IBus) {
        if (!probe_)
            return false;
        // With the keyboard engine in use, the user turns to Mozc first.
        if (on && engine().startsWith(QStringLiteral("xkb:")) && !setEngine(QStringLiteral("mozc-jp")))
            return false;
        tellProbe(QStringLiteral("mode ") + (on ? QStringLiteral("InputMode.Hiragana") : QStringLiteral("InputMode.Direct")));
    } else {
        runAsUser(QStringLiteral("fcitx5-remote"), {on ? QStringLiteral("-o") : QStringLiteral("-c")});
    }
    return waitFor([&] { return imState() == wanted; }, 10000);
}

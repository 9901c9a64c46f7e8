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

ImeSession::ImeSession()
{
    // openbox hangs when it inherits the input method's X modifiers.
    qunsetenv("XMODIFIERS");
    if (!display_.problem().isEmpty()) {
        problem_ = display_.problem();
        return;
    }
    if (haveTools() && prepareLocale() && prepareUser() && startBus())
        startInputMethod();
}

ImeSession::~ImeSession()
{
    if (fcitx_ && fcitx_->state() != QProcess::NotRunning) {
        fcitx_->terminate();
        if (!fcitx_->waitForFinished(3000))
            fcitx_->kill();
        fcitx_->waitForFinished(3000);
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
    for (const char* tool : {"fcitx5", "fcitx5-remote", "dbus-launch", "dbus-send", "setpriv", "locale"}) {
        if (QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty()) {
            problem_ = QStringLiteral("%1 is not installed").arg(QString::fromUtf8(tool));
            return false;
        }
    }
    for (const char* file : {"/usr/share/fcitx5/addon/mozc.conf", "/usr/lib/mozc/mozc_server"}) {
        if (!QFile::exists(QString::fromUtf8(file))) {
            problem_ = QStringLiteral("%1 is missing (fcitx5-mozc is not installed)").arg(QString::fromUtf8(file));
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
    QDir(home_.path()).mkpath(QStringLiteral(".config/fcitx5"));
    writeProfile();
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

std::unique_ptr<QProcess> ImeSession::startAsUser(const QString& program, const QStringList& arguments)
{
    QStringList command = asUser(program, arguments);
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = userEnvironment();
    env.insert(QStringLiteral("QT_IM_MODULE"), QStringLiteral("fcitx"));
    env.insert(QStringLiteral("XMODIFIERS"), QStringLiteral("@im=fcitx"));
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

bool ImeSession::startInputMethod()
{
    fcitx_ = startAsUser(QStringLiteral("fcitx5"), {QStringLiteral("--disable=wayland")});
    // Asking fcitx5 itself before it owns its name would start a second one through bus
    // activation: wait on the bus for the name first.
    const auto owned = [this] {
        const QString reply = runAsUser(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.freedesktop.DBus"),
                                                                  QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus.NameHasOwner"), QStringLiteral("string:org.fcitx.Fcitx5")});
        return reply.contains(QStringLiteral("boolean true"));
    };
    if (!waitFor([&] { return owned() || fcitx_->state() == QProcess::NotRunning; }, 20000) || !owned()) {
        problem_ = QStringLiteral("fcitx5 did not start: ") + log(QStringLiteral("fcitx5"));
        return false;
    }
    return true;
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

// IBus's side of the session: the user's engines, the daemon, and what the probe hears of
// IBus and asks of it.

#include "ImeSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

bool ImeSession::setUserEngines(const QStringList& engines)
{
    QStringList quoted;
    for (const QString& engine : engines)
        quoted << u'\'' + engine + u'\'';
    int exitCode = -1;
    runAsUser(QStringLiteral("dconf"), {QStringLiteral("write"), QStringLiteral("/desktop/ibus/general/preload-engines"), u'[' + quoted.join(QStringLiteral(", ")) + u']'}, 10000, &exitCode);
    return exitCode == 0;
}

bool ImeSession::setEngine(const QString& engineName)
{
    if (!probe_)
        return false;
    tellProbe(QStringLiteral("engine ") + engineName);
    return waitFor([&] { return engine() == engineName; }, 10000);
}

QString ImeSession::engine()
{
    return lastProbeLine(QStringLiteral("engine"));
}

QString ImeSession::mode()
{
    return lastProbeLine(QStringLiteral("mode"));
}

void ImeSession::tellProbe(const QString& command)
{
    // No event loop runs here: the command is written out at once.
    probe_->write((command + u'\n').toUtf8());
    probe_->waitForBytesWritten(5000);
}

QString ImeSession::ibusLog() const
{
    return QStringLiteral("\nprobe: ") + log(QStringLiteral(QUOREL_IBUS_PROBE)) + QStringLiteral("\nibus-daemon: ") + log(QStringLiteral("ibus-daemon"));
}

QString ImeSession::lastProbeLine(const QString& kind)
{
    QFile file(logPath(QStringLiteral(QUOREL_IBUS_PROBE)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString prefix = kind + u' ';
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (it->startsWith(prefix))
            return it->mid(prefix.size()).trimmed();
    }
    return {};
}

bool ImeSession::knowsTheEngines()
{
    const QStringList known = lastProbeLine(QStringLiteral("known")).split(u' ', Qt::SkipEmptyParts);
    if (known.contains(QStringLiteral("mozc-jp")) && known.contains(QStringLiteral("xkb:jp::jpn")))
        return true;
    problem_ = QStringLiteral("IBus does not know the engines mozc-jp and xkb:jp::jpn (it knows: %1)").arg(known.join(QStringLiteral(", ")));
    return false;
}

bool ImeSession::startIBus()
{
    // Two engines, as a Japanese desktop sets up IBus: the Japanese keyboard and Mozc.
    if (!setUserEngines({QStringLiteral("xkb:jp::jpn"), QStringLiteral("mozc-jp")})) {
        problem_ = QStringLiteral("the IBus settings could not be written (dconf)");
        return false;
    }
    inputMethod_ = startAsUser(QStringLiteral("ibus-daemon"), {QStringLiteral("--replace"), QStringLiteral("--xim")});
    QProcess* daemon = inputMethod_.get();
    // The daemon writes its bus address for the display into the user's folder.
    const QDir folder(home_.path() + QStringLiteral("/.config/ibus/bus"));
    const auto address = [&] {
        for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
            QFile content(file.filePath());
            if (!content.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : content.readAll().split('\n')) {
                if (line.startsWith("IBUS_ADDRESS="))
                    return QString::fromUtf8(line.mid(13).trimmed());
            }
        }
        return QString();
    };
    if (!waitFor([&] { return !address().isEmpty() || daemon->state() == QProcess::NotRunning; }, 20000) || address().isEmpty()) {
        problem_ = QStringLiteral("ibus-daemon did not start: ") + log(QStringLiteral("ibus-daemon"));
        return false;
    }
    ibusAddress_ = address();
    // The probe reads what IBus says; it may have to try again while the bus comes up.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QProcessEnvironment env;
        env.insert(QStringLiteral("IBUS_ADDRESS"), ibusAddress_);
        probe_ = startAsUser(QStringLiteral(QUOREL_IBUS_PROBE), {}, env);
        if (waitFor([&] { return !lastProbeLine(QStringLiteral("known")).isEmpty() || probe_->state() == QProcess::NotRunning; }, 5000) && !engine().isEmpty())
            return knowsTheEngines();
        probe_->kill();
        probe_->waitForFinished(3000);
    }
    problem_ = QStringLiteral("IBus did not answer: ") + log(QStringLiteral(QUOREL_IBUS_PROBE)) + log(QStringLiteral("ibus-daemon"));
    return false;
}

#include "IBusControl.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

constexpr int kTimeoutMs = 1000;
const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");

QString machineId()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly))
            return QString::fromLatin1(file.readAll().trimmed());
    }
    return {};
}

// "name" of a serialised IBusEngineDesc: (s a{sv} s ...), the type name, its attachments,
// then the engine's name.
QString engineName(const QVariant& value)
{
    QVariant inner = value;
    while (inner.canConvert<QDBusVariant>() && inner.userType() == qMetaTypeId<QDBusVariant>())
        inner = inner.value<QDBusVariant>().variant();
    if (inner.userType() != qMetaTypeId<QDBusArgument>())
        return {};
    const QDBusArgument argument = inner.value<QDBusArgument>();
    QString type;
    QString name;
    argument.beginStructure();
    argument >> type;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString key;
        QDBusVariant attachment;
        argument.beginMapEntry();
        argument >> key >> attachment;
        argument.endMapEntry();
    }
    argument.endMap();
    argument >> name;
    return name;
}

} // namespace

QString IBusControl::busAddress()
{
    if (const QString address = qEnvironmentVariable("IBUS_ADDRESS"); !address.isEmpty())
        return address;
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    QString host = QStringLiteral("unix");
    if (display.isEmpty()) {
        // ":0.0" or "host:0": the host (unix when empty) and the display number.
        const QString x = qEnvironmentVariable("DISPLAY");
        const int colon = x.lastIndexOf(u':');
        if (colon < 0)
            return {};
        if (colon > 0)
            host = x.left(colon);
        display = x.mid(colon + 1).section(u'.', 0, 0);
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/ibus/bus/");
    QFile file(folder + QStringLiteral("%1-%2-%3").arg(machineId(), host, display));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("IBUS_ADDRESS="))
            return QString::fromUtf8(line.mid(13).trimmed());
    }
    return {};
}

IBusControl::IBusControl()
    : bus_(QDBusConnection::connectToBus(busAddress(), QStringLiteral("quorel-ibus")))
{
}

void IBusControl::query(std::function<void(State)> answer)
{
    if (!bus_.isConnected()) {
        answer(State::Unknown);
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kService << QStringLiteral("GlobalEngine");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get, kTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [answer = std::move(answer), seen = seen_](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        call->deleteLater();
        const QString name = reply.isError() ? QString() : engineName(reply.value().variant());
        if (name.isEmpty()) {
            answer(State::Unknown);
            return;
        }
        (isKeyboardEngine(name) ? seen->keyboard : seen->conversion) = name;
        answer(isKeyboardEngine(name) ? State::Off : State::On);
    });
}

void IBusControl::setOpen(bool open)
{
    const QString engine = open ? seen_->conversion : seen_->keyboard;
    if (!bus_.isConnected() || engine.isEmpty())
        return;
    QDBusMessage set = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("SetGlobalEngine"));
    set << engine;
    bus_.send(set);
}

// quorel1-ibus-probe: what the real-input-method tests know of IBus, and what they ask of
// it, run as the session's user (IBus's bus takes no other user). It prints a line each
// time IBus says something the tests look at:
//   engine NAME   the global engine (at start and whenever it changes)
//   mode ENTRY    the entry an engine's InputMode menu has chosen (Mozc: InputMode.Direct,
//                 InputMode.Hiragana, ...), as the engine announces it
//   known NAMES   the engines of the tests that IBus knows (at start)
// and reads commands on its standard input:
//   engine NAME   makes NAME the global engine, as the user's engine switch does
//   mode ENTRY    chooses a mode entry, as the user's panel menu does: through the engine
//                 that announced its mode last, or, before any has, through an input
//                 context of the probe's own that takes the focus for the while
// The bus address comes in IBUS_ADDRESS.

#include "IBusControl.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QObject>
#include <QSocketNotifier>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kEngine = QStringLiteral("org.freedesktop.IBus.Engine");
const QString kContext = QStringLiteral("org.freedesktop.IBus.InputContext");
constexpr uint kChecked = 1;
constexpr uint kFocusAndProperties = 8 | 16; // IBUS_CAP_FOCUS | IBUS_CAP_PROPERTY

void say(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

class Probe : public QObject {
    Q_OBJECT
public:
    explicit Probe(const QDBusConnection& bus)
        : bus_(bus)
        , input_(STDIN_FILENO, QSocketNotifier::Read)
    {
        bus_.connect(kService, kPath, kService, QStringLiteral("GlobalEngineChanged"), this, SLOT(engineChanged(QString)));
        for (const char* announcement : {"RegisterProperties", "UpdateProperty"})
            bus_.connect(QString(), QString(), kEngine, QString::fromLatin1(announcement), this, SLOT(announced(QDBusMessage)));
        connect(&input_, &QSocketNotifier::activated, this, &Probe::readCommand);
        QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << kService << QStringLiteral("GlobalEngine");
        const QDBusReply<QDBusVariant> reply = bus_.call(get);
        const QVariantList desc = reply.isValid() ? IBusControl::plainValue(reply.value().variant()).toList() : QVariantList();
        say(QStringLiteral("engine ") + (desc.size() > 2 ? desc.at(2).toString() : QString()));
        sayKnownEngines();
    }

private slots:
    void engineChanged(const QString& name) { say(QStringLiteral("engine ") + name); }

    void announced(const QDBusMessage& message)
    {
        const QVariantList arguments = message.arguments();
        const std::optional<IBusControl::InputMode> mode = arguments.isEmpty() ? std::nullopt : IBusControl::inputModeOf(IBusControl::plainValue(arguments.first()));
        if (!mode)
            return;
        engineService_ = message.service();
        enginePath_ = message.path();
        say(QStringLiteral("mode ") + mode->chosen);
        if (!pendingMode_.isEmpty() && !context_.isEmpty()) {
            // The probe's own context has the focus and the engine has spoken: choose now.
            QDBusMessage activate = QDBusMessage::createMethodCall(kService, context_, kContext, QStringLiteral("PropertyActivate"));
            activate << pendingMode_ << kChecked;
            bus_.call(activate);
            pendingMode_.clear();
            contextCall(QStringLiteral("FocusOut"));
        }
    }

    void readCommand()
    {
        char buffer[512];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            QCoreApplication::quit();
            return;
        }
        pending_ += QByteArray(buffer, int(got));
        for (int end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
            const QString line = QString::fromUtf8(pending_.left(end)).trimmed();
            pending_.remove(0, end + 1);
            run(line.section(u' ', 0, 0), line.section(u' ', 1));
        }
    }

private:
    void sayKnownEngines()
    {
        QDBusMessage byName = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetEnginesByNames"));
        byName << QStringList{QStringLiteral("xkb:jp::jpn"), QStringLiteral("mozc-jp")};
        const QDBusMessage reply = bus_.call(byName);
        QStringList names;
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            for (const QVariant& item : IBusControl::plainValue(reply.arguments().first()).toList()) {
                const QVariantList desc = IBusControl::plainValue(item).toList();
                if (IBusControl::isObject(desc, "IBusEngineDesc"))
                    names << desc.at(2).toString();
            }
        }
        say(QStringLiteral("known ") + (names.isEmpty() ? QStringLiteral("none") : names.join(u' ')));
    }

    void run(const QString& command, const QString& argument)
    {
        if (command == QLatin1String("engine")) {
            QDBusMessage set = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("SetGlobalEngine"));
            set << argument;
            bus_.call(set);
        } else if (command == QLatin1String("mode")) {
            if (!enginePath_.isEmpty()) {
                QDBusMessage activate = QDBusMessage::createMethodCall(engineService_, enginePath_, kEngine, QStringLiteral("PropertyActivate"));
                activate << argument << kChecked;
                if (bus_.call(activate).type() == QDBusMessage::ReplyMessage)
                    return;
                enginePath_.clear(); // that engine is gone with the context it served
            }
            // No engine has announced itself: give one the focus so that it does.
            pendingMode_ = argument;
            if (context_.isEmpty()) {
                QDBusMessage create = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("CreateInputContext"));
                create << QStringLiteral("quorel1-ibus-probe");
                const QDBusReply<QDBusObjectPath> made = bus_.call(create);
                if (!made.isValid()) {
                    say(QStringLiteral("error ") + made.error().message());
                    return;
                }
                context_ = made.value().path();
                QDBusMessage capabilities = QDBusMessage::createMethodCall(kService, context_, kContext, QStringLiteral("SetCapabilities"));
                capabilities << kFocusAndProperties;
                bus_.call(capabilities);
            }
            contextCall(QStringLiteral("FocusIn"));
        }
    }

    void contextCall(const QString& method)
    {
        bus_.call(QDBusMessage::createMethodCall(kService, context_, kContext, method));
    }

    QDBusConnection bus_;
    QSocketNotifier input_;
    QByteArray pending_;
    QString engineService_;
    QString enginePath_;
    QString context_;
    QString pendingMode_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QDBusConnection bus = QDBusConnection::connectToBus(qEnvironmentVariable("IBUS_ADDRESS"), QStringLiteral("probe"));
    if (!bus.isConnected()) {
        say(QStringLiteral("error no IBus bus at ") + qEnvironmentVariable("IBUS_ADDRESS"));
        return 1;
    }
    Probe probe(bus);
    return app.exec();
}

#include "IBusProbe.moc"

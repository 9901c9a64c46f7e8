#include "IBusControl.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int kTimeoutMs = 1000;
// How long a query waits for an engine to announce its mode, and how long a mode asked
// for waits for the engine switched to.
constexpr int kModeWaitMs = 1500;
constexpr int kWishMs = 5000;
constexpr uint kChecked = 1; // PROP_STATE_CHECKED
const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kEngineInterface = QStringLiteral("org.freedesktop.IBus.Engine");
// The engine most Japanese desktops use, turned to when nothing tells another.
const QString kMozc = QStringLiteral("mozc-jp");

QString machineId()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly))
            return QString::fromLatin1(file.readAll().trimmed());
    }
    return {};
}

// The fields of an IBusEngineDesc: name 2, the property that shows its mode 18.
constexpr int kDescName = 2;
constexpr int kDescModeProperty = 18;

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
    if (!bus_.isConnected())
        return;
    // Engines announce their properties to whoever listens: the mode is heard as it changes.
    bus_.connect(kService, kPath, kService, QStringLiteral("GlobalEngineChanged"), this, SLOT(engineChanged(QString)));
    for (const char* announcement : {"RegisterProperties", "UpdateProperty"})
        bus_.connect(QString(), QString(), kEngineInterface, QString::fromLatin1(announcement), this, SLOT(propertiesAnnounced(QDBusMessage)));
    readUserEngines();
    readGlobalEngine({});
}

IBusControl::~IBusControl() = default;

void IBusControl::readGlobalEngine(std::function<void()> then)
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kService << QStringLiteral("GlobalEngine");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(get, kTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, then = std::move(then)](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        call->deleteLater();
        const QVariantList desc = reply.isError() ? QVariantList() : plainValue(reply.value().variant()).toList();
        if (IBusControl::isObject(desc, "IBusEngineDesc")) {
            const QString name = desc.at(kDescName).toString();
            moded_[name] = desc.size() > kDescModeProperty && !desc.at(kDescModeProperty).toString().isEmpty();
            engine_ = name;
            if (switching_ == name)
                switching_.clear();
            seen(name);
        }
        if (then)
            then();
    });
}

void IBusControl::readUserEngines()
{
    // The user's engines as IBus keeps them (GNOME keeps its own list), then the usual one.
    QDBusMessage config = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.IBus.Config"), QStringLiteral("/org/freedesktop/IBus/Config"),
                                                         QStringLiteral("org.freedesktop.IBus.Config"), QStringLiteral("GetValue"));
    config << QStringLiteral("general") << QStringLiteral("preload-engines");
    auto* listed = new QDBusPendingCallWatcher(bus_.asyncCall(config, kTimeoutMs), this);
    connect(listed, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        call->deleteLater();
        if (reply.isError())
            return;
        for (const QVariant& item : plainValue(reply.value().variant()).toList()) {
            const QString name = item.toString();
            QString& kind = isKeyboardEngine(name) ? keyboard_ : conversion_;
            if (kind.isEmpty())
                kind = name;
        }
    });
    QDBusMessage byName = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("GetEnginesByNames"));
    byName << QStringList{kMozc};
    auto* known = new QDBusPendingCallWatcher(bus_.asyncCall(byName, kTimeoutMs), this);
    connect(known, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QVariantList> reply = *call;
        call->deleteLater();
        if (!reply.isError() && !reply.value().isEmpty() && conversion_.isEmpty())
            conversion_ = kMozc;
    });
}

void IBusControl::seen(const QString& engine)
{
    if (!engine.isEmpty())
        (isKeyboardEngine(engine) ? keyboard_ : conversion_) = engine;
}

void IBusControl::engineChanged(const QString& name)
{
    // IBus gives the engine switched to an object of its own: the mode is still known (the
    // engine keeps it), but it is chosen through the new object once that announces itself.
    if (announcer_)
        announcer_->reachable = false;
    engine_ = name;
    if (switching_ == name)
        switching_.clear();
    seen(name);
}

void IBusControl::propertiesAnnounced(const QDBusMessage& message)
{
    // The announcement's one argument: a property list, or one property.
    const QVariantList arguments = message.arguments();
    const std::optional<InputMode> mode = arguments.isEmpty() ? std::nullopt : inputModeOf(plainValue(arguments.first()));
    if (!mode)
        return;
    // Only a conversion engine has a mode menu; while a keyboard engine is heard as the
    // engine, the announcement is the conversion engine's as it is being switched to.
    const QString asked = switching();
    const QString engine = !asked.isEmpty() && !isKeyboardEngine(asked) ? asked : !engine_.isEmpty() && !isKeyboardEngine(engine_) ? engine_ : conversion_;
    announcer_ = Announcer{engine, message.service(), message.path(), *mode};
    moded_[engine] = true;
    if (kept_.active && !kept_.touched && kept_.mode.isEmpty()) {
        kept_.modeEngine = engine;
        kept_.mode = mode->chosen;
    }
    if (wish_) {
        const Wish wish = *wish_;
        wish_.reset();
        if (!wish.deadline.hasExpired() && engine == (asked.isEmpty() ? engine_ : asked)) {
            const Step step = stepFor(factsFor(engine), wish.open);
            if (!step.activate.isEmpty())
                activate(step.activate);
        }
    }
    answerWaiting(false);
}

QString IBusControl::switching() const
{
    return switchingFor_.hasExpired() ? QString() : switching_;
}

IBusControl::Facts IBusControl::factsFor(const QString& engine) const
{
    Facts known;
    known.engine = engine;
    // An engine not described yet is taken to have modes: its announcement is awaited.
    known.engineHasModes = moded_.value(engine, true);
    if (announcer_ && announcer_->engine == engine)
        known.mode = announcer_->mode;
    known.keyboardEngine = keyboard_;
    known.conversionEngine = conversion_;
    return known;
}

void IBusControl::answerWaiting(bool timedOut)
{
    const State state = stateOf(factsFor(engine_));
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (state != State::Unknown || (timedOut && it->second.hasExpired())) {
            auto answer = std::move(it->first);
            it = waiting_.erase(it);
            answer(state);
        } else {
            ++it;
        }
    }
}

void IBusControl::query(std::function<void(State)> answer)
{
    if (!bus_.isConnected()) {
        answer(State::Unknown);
        return;
    }
    readGlobalEngine([this, answer = std::move(answer)]() mutable {
        const Facts known = factsFor(engine_);
        const State state = stateOf(known);
        if (state != State::Unknown || known.engine.isEmpty()) {
            answer(state);
            return;
        }
        // A conversion engine that has not told its mode yet tells it when it gets the focus.
        waiting_.emplace_back(std::move(answer), QDeadlineTimer(kModeWaitMs));
        QTimer::singleShot(kModeWaitMs + 50, this, [this] { answerWaiting(true); });
    });
}

void IBusControl::setOpen(bool open)
{
    if (!bus_.isConnected())
        return;
    wish_.reset();
    if (engine_.isEmpty()) {
        readGlobalEngine([this, open] { act(open); });
        return;
    }
    act(open);
}

void IBusControl::act(bool open)
{
    // The engine asked for last is the one to act on; its mode is awaited from it.
    const QString asked = switching();
    Facts known = factsFor(asked.isEmpty() ? engine_ : asked);
    if (!asked.isEmpty() || (announcer_ && !announcer_->reachable))
        known.mode.reset();
    const Step step = stepFor(known, open);
    if (!step.activate.isEmpty())
        activate(step.activate);
    if (!step.switchTo.isEmpty() && step.switchTo != known.engine)
        switchEngine(step.switchTo);
    if (step.waitForMode)
        wish_ = Wish{open, QDeadlineTimer(kWishMs)};
}

void IBusControl::switchEngine(const QString& name)
{
    switching_ = name;
    switchingFor_ = QDeadlineTimer(kTimeoutMs * 2);
    QDBusMessage set = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("SetGlobalEngine"));
    set << name;
    bus_.send(set);
}

void IBusControl::activate(const QString& entry)
{
    if (!announcer_)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(announcer_->service, announcer_->path, kEngineInterface, QStringLiteral("PropertyActivate"));
    call << entry << kChecked;
    bus_.send(call);
    // Taken as chosen until the engine says otherwise, so that a state read right after
    // (the focus coming back at once) is the one asked for.
    announcer_->mode.chosen = entry;
    if (kept_.active)
        kept_.touched = true;
}

void IBusControl::keepUserSetting()
{
    kept_ = Kept{};
    kept_.active = true;
    kept_.generation = ++keptGeneration_;
    if (announcer_) {
        kept_.modeEngine = announcer_->engine;
        kept_.mode = announcer_->mode.chosen;
    }
    const QString asked = switching();
    if (!asked.isEmpty() || !engine_.isEmpty()) {
        kept_.engine = asked.isEmpty() ? engine_ : asked;
        return;
    }
    readGlobalEngine([this, generation = kept_.generation] {
        if (kept_.active && kept_.generation == generation && kept_.engine.isEmpty())
            kept_.engine = engine_;
    });
}

void IBusControl::giveUserSettingBack()
{
    if (!kept_.active)
        return;
    const Kept kept = kept_;
    kept_ = Kept{};
    wish_.reset();
    if (!bus_.isConnected())
        return;
    // The mode first, while its engine may still be the engine; then the engine.
    if (!kept.mode.isEmpty() && announcer_ && announcer_->reachable && announcer_->engine == kept.modeEngine && announcer_->mode.chosen != kept.mode)
        activate(kept.mode);
    const QString asked = switching();
    const QString now = asked.isEmpty() ? engine_ : asked;
    if (!kept.engine.isEmpty() && kept.engine != now)
        switchEngine(kept.engine);
}

#include "Fcitx5Control.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

constexpr int kTimeoutMs = 1000;

QDBusMessage controllerCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
                                          QStringLiteral("org.fcitx.Fcitx.Controller1"), method);
}

} // namespace

Fcitx5Control::Fcitx5Control()
    : bus_(QDBusConnection::sessionBus())
{
}

InputMethodControl::State Fcitx5Control::stateOf(int answer)
{
    switch (answer) {
    case 2:
        return State::On;
    case 1:
        return State::Off;
    default:
        return State::Unknown;
    }
}

void Fcitx5Control::query(std::function<void(State)> answer)
{
    if (!bus_.isConnected()) {
        answer(State::Unknown);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(controllerCall(QStringLiteral("State")), kTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [answer = std::move(answer)](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<int> reply = *call;
        call->deleteLater();
        answer(reply.isError() ? State::Unknown : stateOf(reply.value()));
    });
}

void Fcitx5Control::setOpen(bool open)
{
    // No answer is awaited; calls on one connection reach fcitx5 in the order they are sent.
    if (bus_.isConnected())
        bus_.send(controllerCall(open ? QStringLiteral("Activate") : QStringLiteral("Deactivate")));
}

#pragma once

#include "InputMethodSwitch.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

// IBus through its own bus: the input method is on while a conversion engine (mozc-jp,
// anthy, ...) is the global engine and off while a keyboard engine (xkb:...) is. Turning it
// on or off switches to the engine of the other kind that this program last saw in use;
// before it has seen one, the switch leaves the engine as it is.
class IBusControl : public InputMethodControl {
public:
    IBusControl();
    void query(std::function<void(State)> answer) override;
    void setOpen(bool open) override;

    // The address of the IBus bus: IBUS_ADDRESS, else the address file the daemon writes
    // for this display under the user's configuration folder.
    static QString busAddress();
    static bool isKeyboardEngine(const QString& name) { return name.startsWith(QStringLiteral("xkb:")); }

private:
    struct Seen {
        QString keyboard;
        QString conversion;
    };
    QDBusConnection bus_;
    std::shared_ptr<Seen> seen_ = std::make_shared<Seen>();
};

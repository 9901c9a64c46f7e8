#pragma once

#include "InputMethodSwitch.h"

#include <QDBusConnection>

// fcitx5 through its D-Bus controller on the session bus (what fcitx5-remote -o / -c / no
// option do): Activate turns the input method of the focused input context on,
// Deactivate turns it off, State answers 2 (on), 1 (off) or 0 (no input context).
class Fcitx5Control : public InputMethodControl {
public:
    Fcitx5Control();
    void query(std::function<void(State)> answer) override;
    void setOpen(bool open) override;

    // The state that a State answer stands for.
    static State stateOf(int answer);

private:
    QDBusConnection bus_;
};

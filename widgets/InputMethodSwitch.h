#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QWidget;

// Turns the desktop's input method (the framework behind Qt's platform input context) on
// or off. Every call is asynchronous: with no framework running nothing happens and
// nothing waits.
class InputMethodControl {
public:
    enum class State { Unknown, Off, On };
    virtual ~InputMethodControl() = default;
    // Asks for the current state; the answer arrives later (Unknown when there is none).
    // Requests are sent in the order of the calls, so an answer reflects every earlier call.
    virtual void query(std::function<void(State)> answer) = 0;
    virtual void setOpen(bool open) = 0;

    // Takes note of the user's own setting (the focus comes into a switched widget), to be
    // given back by giveUserSettingBack() (the focus leaves them). By default the setting
    // is the state query() reads, given back through setOpen(); a framework that knows
    // more (IBus: the engine and its input mode) keeps and gives back that.
    virtual void keepUserSetting();
    virtual void giveUserSettingBack();
    // Whether one state serves every window of the desktop (IBus's global engine) rather
    // than each window its own (fcitx5): the program then also gives the user's setting
    // back when another program takes the focus.
    virtual bool sharedByWindows() const { return false; }

    // The control of the input method this program talks to (chosen from QT_IM_MODULE);
    // none when it has no switch that this program knows.
    static std::unique_ptr<InputMethodControl> forPlatform();

private:
    State kept_ = State::Unknown;
    std::shared_ptr<int> keeping_ = std::make_shared<int>(0); // answers of an earlier stay are ignored
};

// Keeps the input method in the state a widget wants while the focus is inside that widget
// (its editors and pop-ups included). The user's own setting is taken when the focus comes
// into a switched widget from elsewhere and given back when it leaves them for another
// control of the program; moving between two switched widgets keeps it. A switch to
// another window leaves the state alone (it belongs to that window then), except with an
// input method whose state all windows share, where the user's setting is given back.
// The switches of the program share one control.
class InputMethodSwitch : public QObject {
    Q_OBJECT
public:
    // The switch of the widget, made on first use; it lives as long as the widget.
    static InputMethodSwitch* of(QWidget* widget);
    // The control the switches use from now on; tests put in a recording one.
    static void setControlFactory(std::function<std::unique_ptr<InputMethodControl>()> factory);

    // A child of the widget: the switch is found among its children.
    explicit InputMethodSwitch(QWidget* widget);
    ~InputMethodSwitch() override;

    // The state wanted while the focus is inside; applied at once when it is there (again
    // when it is said again, as the user may have switched by hand in between).
    void setWanted(bool open);

private:
    friend class InputMethodSwitchHub;
    // Sends the wanted state when the focus is inside and it was not sent yet.
    void apply();

    int wanted_ = -1;  // -1 not said yet, 0 off, 1 on
    int applied_ = -1; // last state sent while the focus is inside
    int retries_ = 0;
};

// Switches the Japanese input method of a window on or off (SetImeOpen). Qt has no
// portable open/close switch, so the widget's input-method hints say whether Latin text
// only is wanted (off) or any text (on); the focused editor inside the widget follows,
// and the platform's input method is told to re-read the hints. fcitx5 and IBus, which
// ignore the hints, are switched through their own control while the focus is in the
// widget (see InputMethodSwitch). On Windows the input context of the window is also
// opened or closed through imm32. Failures are ignored.
void SetImeOpen(QWidget* window, bool open);

// Whether the widget's hints currently ask for Latin text only (the switch is off).
bool imeClosedHints(const QWidget* widget);

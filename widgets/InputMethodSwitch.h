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

    // The control of the input method this program talks to (chosen from QT_IM_MODULE);
    // none when it has no switch that this program knows.
    static std::unique_ptr<InputMethodControl> forPlatform();
};

// Keeps the input method in the state a widget wants while the focus is inside that widget
// (its editors and pop-ups included), and gives the user's own state back when the focus
// leaves it for another control of the program. A switch to another window leaves the
// state alone: the input method belongs to that window then.
class InputMethodSwitch : public QObject {
    Q_OBJECT
public:
    // The switch of the widget, made on first use; it lives as long as the widget.
    static InputMethodSwitch* of(QWidget* widget);
    // The control every new switch uses; tests put in a recording one.
    static void setControlFactory(std::function<std::unique_ptr<InputMethodControl>()> factory);

    explicit InputMethodSwitch(QWidget* widget, std::unique_ptr<InputMethodControl> control);
    ~InputMethodSwitch() override;

    // The state wanted while the focus is inside; applied at once when it is there (again
    // when it is said again, as the user may have switched by hand in between).
    void setWanted(bool open);

private:
    bool inside(const QWidget* focus) const;
    void focusMoved(QWidget* from, QWidget* to);
    void apply();

    QPointer<QWidget> widget_;
    std::unique_ptr<InputMethodControl> control_;
    int wanted_ = -1;  // -1 not said yet, 0 off, 1 on
    int applied_ = -1; // last state sent while the focus is inside
    bool focused_ = false;
    // The user's state when the focus came in, to give back when it leaves.
    InputMethodControl::State userState_ = InputMethodControl::State::Unknown;
    int retries_ = 0;
    std::shared_ptr<int> generation_; // answers of an earlier stay are ignored
};

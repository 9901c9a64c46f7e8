#include "InputMethodSwitch.h"

#include "Fcitx5Control.h"
#include "IBusControl.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <imm.h>
#ifdef _MSC_VER
#pragma comment(lib, "imm32.lib")
#endif
#endif

namespace {

constexpr int kRetries = 5;
constexpr int kRetryMs = 100;

std::function<std::unique_ptr<InputMethodControl>()>& controlFactory()
{
    static std::function<std::unique_ptr<InputMethodControl>()> factory = [] { return InputMethodControl::forPlatform(); };
    return factory;
}

} // namespace

std::unique_ptr<InputMethodControl> InputMethodControl::forPlatform()
{
    const QString module = qEnvironmentVariable("QT_IM_MODULE").toLower();
    if (module.startsWith(QStringLiteral("fcitx")))
        return std::make_unique<Fcitx5Control>();
    if (module == QStringLiteral("ibus"))
        return std::make_unique<IBusControl>();
    return nullptr;
}

void InputMethodControl::keepUserSetting()
{
    keeping_ = std::make_shared<int>(0);
    kept_ = State::Unknown;
    query([this, keeping = std::weak_ptr<int>(keeping_)](State state) {
        if (!keeping.expired())
            kept_ = state;
    });
}

void InputMethodControl::giveUserSettingBack()
{
    keeping_ = std::make_shared<int>(0);
    if (kept_ != State::Unknown)
        setOpen(kept_ == State::On);
    kept_ = State::Unknown;
}

// What the switches of the program share: the one control, which switch the focus is in,
// and whether the user's setting is being kept.
class InputMethodSwitchHub : public QObject {
public:
    static InputMethodSwitchHub* instance()
    {
        static QPointer<InputMethodSwitchHub> hub;
        if (!hub && qApp)
            hub = new InputMethodSwitchHub(qApp);
        return hub;
    }

    InputMethodControl* control()
    {
        if (!made_) {
            made_ = true;
            control_ = controlFactory()();
        }
        return control_.get();
    }
    void reset()
    {
        control_.reset();
        made_ = false;
        current_ = nullptr;
        holding_ = false;
    }
    InputMethodSwitch* current() const { return current_; }
    // The focus as it is now, for a switch made while the focus may already be inside.
    void look()
    {
        if (QWidget* focus = QApplication::focusWidget())
            focusMoved(nullptr, focus);
    }

private:
    explicit InputMethodSwitchHub(QObject* parent)
        : QObject(parent)
    {
        connect(qApp, &QApplication::focusChanged, this, &InputMethodSwitchHub::focusMoved);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (!window)
                giveBackWhenAway();
        });
    }

    // The user's setting, when kept, goes back to an input method whose state every window
    // shares once no window of the program has the focus.
    void giveBackWhenAway()
    {
        InputMethodControl* im = control();
        if (im && holding_ && im->sharedByWindows() && !QGuiApplication::focusWindow() && !QApplication::focusWidget()) {
            holding_ = false;
            im->giveUserSettingBack();
        }
    }

    // The innermost switched widget that holds the widget.
    static InputMethodSwitch* switchOf(QWidget* widget)
    {
        // Parents are followed across windows, so that a drop-down's pop-up counts as inside.
        for (QWidget* w = widget; w; w = w->parentWidget()) {
            if (auto* found = w->findChild<InputMethodSwitch*>(QString(), Qt::FindDirectChildrenOnly))
                return found;
        }
        return nullptr;
    }

    void focusMoved(QWidget*, QWidget* to)
    {
        InputMethodControl* im = control();
        if (!im)
            return;
        if (!to) {
            // No widget of the program has the focus. When another program took it, its
            // state is not ours to change, unless every window shares one: then the user's
            // own setting goes back. A window of the program may still hold the focus: a
            // completion list that has just closed keeps it until the window system's word
            // of the change comes, a moment later on a busy machine. Switching the shared
            // state away and back meanwhile would send the keys typed then through the
            // user's engine, so it waits until no window of the program has the focus.
            if (current_)
                current_->applied_ = -1;
            current_ = nullptr;
            giveBackWhenAway();
            return;
        }
        InputMethodSwitch* target = switchOf(to);
        if (!target) {
            current_ = nullptr;
            if (holding_) {
                holding_ = false;
                im->giveUserSettingBack();
            }
            return;
        }
        if (!holding_) {
            holding_ = true;
            im->keepUserSetting();
        }
        if (current_ != target) {
            current_ = target;
            target->applied_ = -1;
            target->retries_ = 0;
        }
        target->apply();
    }

    std::unique_ptr<InputMethodControl> control_;
    bool made_ = false;
    QPointer<InputMethodSwitch> current_;
    bool holding_ = false; // the user's setting is kept, to be given back
};

InputMethodSwitch* InputMethodSwitch::of(QWidget* widget)
{
    if (!widget)
        return nullptr;
    if (auto* existing = widget->findChild<InputMethodSwitch*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    auto* made = new InputMethodSwitch(widget);
    if (InputMethodSwitchHub* hub = InputMethodSwitchHub::instance()) {
        // Made now, the control hears the input method from before the window shows.
        hub->control();
        hub->look();
    }
    return made;
}

void InputMethodSwitch::setControlFactory(std::function<std::unique_ptr<InputMethodControl>()> factory)
{
    controlFactory() = std::move(factory);
    if (InputMethodSwitchHub* hub = InputMethodSwitchHub::instance())
        hub->reset();
}

InputMethodSwitch::InputMethodSwitch(QWidget* widget)
    : QObject(widget)
{
}

InputMethodSwitch::~InputMethodSwitch() = default;

void InputMethodSwitch::setWanted(bool open)
{
    wanted_ = open ? 1 : 0;
    retries_ = 0;
    // Said again, it is sent again: the user may have switched by hand in between.
    applied_ = -1;
    apply();
}

void InputMethodSwitch::apply()
{
    InputMethodSwitchHub* hub = InputMethodSwitchHub::instance();
    InputMethodControl* im = hub ? hub->control() : nullptr;
    if (!im || hub->current() != this || wanted_ < 0 || wanted_ == applied_)
        return;
    applied_ = wanted_;
    im->setOpen(wanted_ == 1);
    // The input method may not know this window yet (just shown): check and try again.
    im->query([self = QPointer<InputMethodSwitch>(this), hub = QPointer<InputMethodSwitchHub>(hub), wanted = wanted_](InputMethodControl::State state) {
        if (!self || !hub || hub->current() != self || wanted != self->wanted_)
            return;
        const bool held = state == (wanted == 1 ? InputMethodControl::State::On : InputMethodControl::State::Off);
        if (held || self->retries_ >= kRetries)
            return;
        ++self->retries_;
        QTimer::singleShot(kRetryMs, self, [self, hub] {
            if (hub && hub->current() == self) {
                self->applied_ = -1;
                self->apply();
            }
        });
    });
}

namespace {

constexpr Qt::InputMethodHints kLatinOnly = Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText;

void applyHints(QWidget* widget, bool open)
{
    const Qt::InputMethodHints hints = widget->inputMethodHints();
    widget->setInputMethodHints(open ? (hints & ~kLatinOnly) : (hints | kLatinOnly));
}

} // namespace

void SetImeOpen(QWidget* window, bool open)
{
    if (!window)
        return;
    applyHints(window, open);
    if (QWidget* focus = QApplication::focusWidget(); focus && focus != window && window->isAncestorOf(focus))
        applyHints(focus, open);
    if (QGuiApplication::focusObject())
        QGuiApplication::inputMethod()->update(Qt::ImHints | Qt::ImEnabled);
    // Frameworks that ignore the hints (fcitx5, IBus) are switched through their own control.
    if (InputMethodSwitch* control = InputMethodSwitch::of(window))
        control->setWanted(open);
#ifdef Q_OS_WIN
    // The top-level window holds the native handle; child widgets have none of their own.
    const HWND handle = reinterpret_cast<HWND>(window->window()->winId());
    if (const HIMC context = ImmGetContext(handle)) {
        ImmSetOpenStatus(context, open ? TRUE : FALSE);
        ImmReleaseContext(handle, context);
    }
#endif
}

bool imeClosedHints(const QWidget* widget)
{
    return widget && (widget->inputMethodHints() & Qt::ImhLatinOnly);
}

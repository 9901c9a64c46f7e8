#include "InputMethodSwitch.h"

#include "Fcitx5Control.h"
#include "IBusControl.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

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

InputMethodSwitch* InputMethodSwitch::of(QWidget* widget)
{
    if (!widget)
        return nullptr;
    if (auto* existing = widget->findChild<InputMethodSwitch*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new InputMethodSwitch(widget, controlFactory()());
}

void InputMethodSwitch::setControlFactory(std::function<std::unique_ptr<InputMethodControl>()> factory)
{
    controlFactory() = std::move(factory);
}

InputMethodSwitch::InputMethodSwitch(QWidget* widget, std::unique_ptr<InputMethodControl> control)
    : QObject(widget)
    , widget_(widget)
    , control_(std::move(control))
    , generation_(std::make_shared<int>(0))
{
    if (!control_)
        return;
    connect(qApp, &QApplication::focusChanged, this, &InputMethodSwitch::focusMoved);
    focused_ = inside(QApplication::focusWidget());
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

bool InputMethodSwitch::inside(const QWidget* focus) const
{
    // Parents are followed across windows, so that a drop-down's pop-up counts as inside.
    for (const QWidget* w = focus; w; w = w->parentWidget()) {
        if (w == widget_)
            return true;
    }
    return false;
}

void InputMethodSwitch::focusMoved(QWidget*, QWidget* to)
{
    if (!to) {
        // Another window took the focus: its input method state is not ours to change.
        applied_ = -1;
        return;
    }
    const bool now = inside(to);
    if (now && !focused_) {
        focused_ = true;
        ++*generation_;
        userState_ = InputMethodControl::State::Unknown;
        retries_ = 0;
        control_->query([this, alive = std::weak_ptr<int>(generation_), generation = *generation_](InputMethodControl::State state) {
            if (const auto g = alive.lock(); g && *g == generation)
                userState_ = state;
        });
    } else if (!now && focused_) {
        focused_ = false;
        ++*generation_;
        applied_ = -1;
        if (userState_ != InputMethodControl::State::Unknown)
            control_->setOpen(userState_ == InputMethodControl::State::On);
        return;
    }
    if (focused_)
        apply();
}

void InputMethodSwitch::apply()
{
    if (!control_ || !focused_ || wanted_ < 0 || wanted_ == applied_)
        return;
    applied_ = wanted_;
    control_->setOpen(wanted_ == 1);
    // The input method may not know this window yet (just shown): check and try again.
    control_->query([this, alive = std::weak_ptr<int>(generation_), generation = *generation_, wanted = wanted_](InputMethodControl::State state) {
        const auto g = alive.lock();
        if (!g || *g != generation || wanted != wanted_ || !focused_)
            return;
        const bool held = state == (wanted == 1 ? InputMethodControl::State::On : InputMethodControl::State::Off);
        if (held || retries_ >= kRetries)
            return;
        ++retries_;
        QTimer::singleShot(kRetryMs, this, [this, generation] {
            if (*generation_ == generation && focused_) {
                applied_ = -1;
                apply();
            }
        });
    });
}

#include "ImeSwitch.h"

#include "InputMethodSwitch.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QWidget>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <imm.h>
#ifdef _MSC_VER
#pragma comment(lib, "imm32.lib")
#endif
#endif

namespace schedule {

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

} // namespace schedule

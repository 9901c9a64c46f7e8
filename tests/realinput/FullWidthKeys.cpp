#include "FullWidthKeys.h"

#include <vector>

#include <X11/Xlib.h>

QString mapFullWidthDigits(const QString& display)
{
    ::Display* x = XOpenDisplay(display.toLocal8Bit().constData());
    if (!x)
        return QStringLiteral("cannot open display ") + display;
    int first = 0, last = 0, perCode = 0;
    XDisplayKeycodes(x, &first, &last);
    KeySym* map = XGetKeyboardMapping(x, static_cast<KeyCode>(first), last - first + 1, &perCode);
    std::vector<int> unused;
    for (int code = last; code >= first && unused.size() < 10; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            empty = empty && map[(code - first) * perCode + i] == NoSymbol;
        if (empty)
            unused.push_back(code);
    }
    XFree(map);
    if (unused.size() < 10) {
        XCloseDisplay(x);
        return QStringLiteral("the X server has no ten free keycodes for the full-width digits");
    }
    for (int digit = 0; digit < 10; ++digit) {
        KeySym fullWidth = 0x0100FF10 + digit; // Unicode keysym of U+FF10 + digit
        XChangeKeyboardMapping(x, unused[digit], 1, &fullWidth, 1);
    }
    XSync(x, False);
    XCloseDisplay(x);
    return {};
}

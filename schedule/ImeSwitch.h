#pragma once

class QWidget;

namespace schedule {

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

} // namespace schedule

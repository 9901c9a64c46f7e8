#pragma once

#include <QColor>

class QWidget;

namespace settings {

// A colour as the settings record keeps it: red in the low byte, then green, then blue
// (0 = black, 16777215 = white).
qint64 colorValue(const QColor& color);
// The colour a stored value stands for; bits above the three bytes are ignored.
QColor colorFromValue(qint64 value);

// Shows Qt's colour dialog, modal, with its 16 custom colours set to white at every
// opening (colours defined there are not kept). It starts on black whatever colour is
// current, as the platform's dialog does when it is given no initial colour. Returns the
// chosen colour's value, or -1 when the dialog was cancelled.
qint64 ShowColorDialog(QWidget* owner);

} // namespace settings

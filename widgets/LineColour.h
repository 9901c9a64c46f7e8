#pragma once

#include <QColor>

// A colour as the settings record keeps it: red in the low byte, then green, then blue
// (0 = black, 16777215 = white).
qint64 colorValue(const QColor& color);

// The colour a stored value stands for, on the settings page's swatch and on the printed
// report alike. Anything that is not such a value (negative, or above 24 bits) gives black.
QColor colorFromLong(qint64 value);

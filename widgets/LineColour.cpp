#include "LineColour.h"

qint64 colorValue(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return qint64(rgb.red()) | (qint64(rgb.green()) << 8) | (qint64(rgb.blue()) << 16);
}

QColor colorFromLong(qint64 value)
{
    if (value < 0 || value > 0xFFFFFF)
        return QColor(Qt::black);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}

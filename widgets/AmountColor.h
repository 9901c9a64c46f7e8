#pragma once

#include <QColor>

// The colour of a negative amount on screen and on paper (the ledger's red).
inline QColor negativeAmountColor()
{
    return QColor(0xC0, 0x00, 0x00);
}


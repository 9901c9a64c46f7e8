#pragma once

#include <QString>

// Puts the ten full-width digits (０–９) on free keycodes of the X server, so that xdotool
// types them as ordinary keys. Without this, xdotool binds each such character to a spare
// key just before typing it and unbinds it after, and a program that reads the key
// mapping after that change translates the key with the wrong mapping and drops it.
// Done once, before the program starts. Empty when done; otherwise why not.
QString mapFullWidthDigits(const QString& display);

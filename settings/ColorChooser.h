#pragma once

#include "LineColour.h"

class QWidget;

namespace settings {

// Shows Qt's colour dialog, modal, with its 16 custom colours set to white at every
// opening (colours defined there are not kept). It starts on black whatever colour is
// current, as the platform's dialog does when it is given no initial colour. Returns the
// chosen colour's value, or -1 when the dialog was cancelled.
qint64 ShowColorDialog(QWidget* owner);

} // namespace settings

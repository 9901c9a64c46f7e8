#pragma once

#include "FaultVfs.h"
#include "TempDataDir.h"

#include <QString>

#include <functional>

namespace store {
class Session;
}

struct SweepResult {
    int cuts = 0;    // cut points tried, each once as a power loss and once as a killed program
    int old = 0;     // main file held the whole old state afterwards
    int fresh = 0;   // main file held the whole new state afterwards
    int broken = 0;  // a mix, or a file that failed its integrity check
};

// Cuts the power at every write, sync and delete step of an operation in turn. The
// operation runs from the data directory's current files each time (restored before
// every cut); it calls arm() right before the command under test, and must close
// everything it opened before it returns. After each cut the files either revert to what
// was synced (power loss) or keep every write (killed program); both are opened again
// and checked, and `state` reads the main file's contents
// to compare with the state before and after an uncut run.
SweepResult sweepPowerCuts(TempDataDir& dir,
    const std::function<void(const std::function<void()>& arm)>& operation,
    const std::function<QString(store::Session&)>& state);

#pragma once

#include <QString>

// What a real-input suite does when what it runs on did not come up: the X server, the
// window manager, the session bus, or the input method with its engine. Before a case
// starts, the suite checks them; when one is not up it says so in the log
// ("[ daemons not up ] ...") and skips the case, and the test program then ends with
// kDaemonsNotUpExitCode (unless a case failed), which tells
// tests/support/run-real-input.sh to run it once more. Anything else a case finds, a wrong
// stored value above all, is the case's result and is never run again.
namespace realinput {

inline constexpr int kDaemonsNotUpExitCode = 75;

// Says in the log that the case cannot start because `what` is not up, and why.
void markDaemonsNotUp(const QString& what, const QString& why);
// Whether a case was marked so in this run.
bool daemonsWereNotUp();
// The exit status of a test program whose run of the cases gave `result` (RUN_ALL_TESTS).
int exitStatus(int result);

} // namespace realinput

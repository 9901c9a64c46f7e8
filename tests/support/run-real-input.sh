#!/usr/bin/env bash
# Runs a test program of the real-input suites (the command line given, a case of it when it
# names one) and runs it once more only when it ended because its X server, window manager,
# session bus or input method did not come up before the case started: exit status 75, with
# "[ daemons not up ]" and the reason in its log (see DaemonsNotUp.h). Any other result is
# the case's own: a wrong stored value fails the run at once.
not_up=75
"$@"
status=$?
if [ "$status" -eq "$not_up" ]; then
  echo "[ daemons not up ] the case is run once more: $*"
  "$@"
  status=$?
  if [ "$status" -eq "$not_up" ]; then
    echo "[ daemons not up ] again: the case could not run on this machine"
  fi
fi
exit "$status"

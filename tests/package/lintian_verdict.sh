#!/usr/bin/env bash
# Reads lintian's report (one tag a line, as `lintian --display-info` prints it) on standard
# input and prints the lines that fail the package: its errors (E:) and warnings (W:).
# Info notes (I:), pedantic (P:), experimental (X:) and overridden (O:) tags, classification
# (C:) lines and lintian's own notes (N:) pass: an info note such as
# spelling-error-in-binary depends on the bytes a build happens to make.
# Exit status: 1 when a line fails the package, 0 otherwise.
set -euo pipefail
if grep -E '^(E|W): '; then
  exit 1
fi
exit 0

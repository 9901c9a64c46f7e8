#!/usr/bin/env bash
# Checks lintian_verdict.sh on lines as lintian prints them: an error or a warning fails the
# package and is named; info notes and the other kinds of line pass it.
set -uo pipefail
verdict="$(dirname "$0")/lintian_verdict.sh"
failures=0

# expect STATUS EXPECTED_OUTPUT LINE...: the filter given the lines ends with STATUS and
# prints EXPECTED_OUTPUT.
expect() {
  local status="$1" expected="$2"
  shift 2
  local output code
  output="$(printf '%s\n' "$@" | "$verdict")"
  code=$?
  if [ "$code" -ne "$status" ] || [ "$output" != "$expected" ]; then
    echo "FAIL: for lines: $*"
    echo "  status $code (expected $status), printed: '$output' (expected '$expected')"
    failures=$((failures + 1))
  fi
}

error='E: quorel1: binary-or-shlib-defines-rpath /usr/lib/x86_64-linux-gnu [usr/bin/Quorel1]'
warning='W: quorel1: hardening-no-pie [usr/bin/Quorel1]'
spelling='I: quorel1: spelling-error-in-binary tEH the [usr/bin/Quorel1]'
bindnow='I: quorel1: hardening-no-bindnow [usr/bin/Quorel1]'
overridden='O: quorel1: spelling-error-in-binary reseted reset [usr/bin/Quorel1]'
pedantic='P: quorel1: no-upstream-changelog'
experimental='X: quorel1: some-experimental-tag'
classification='C: quorel1: elf-executable x86_64'
note='N: 1 tag overridden (1 info)'

expect 1 "$error" "$error"
expect 1 "$warning" "$warning"
expect 0 "" "$spelling" "$bindnow" "$overridden" "$pedantic" "$experimental" "$classification" "$note"
expect 0 "" ""
# A warning among info notes fails the package, and only it is printed.
expect 1 "$warning" "$spelling" "$warning" "$note"
# A tag that merely names an error or warning inside an info note passes.
expect 0 "" 'I: quorel1: spelling-error-in-binary W: W: [usr/bin/Quorel1]'

if [ "$failures" -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "lintian verdict: all cases passed"

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows tests' own wine prefix, made fresh before they run and removed
# after them, so that no state of an earlier run (or of the user's ~/.wine)
# leaks into a result. WINEPREFIX comes from ctest.
#   wineprefix.sh create | remove
set -u
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
# A server still running from an interrupted run holds the old prefix.
wineserver -k 2>/dev/null
# The server may still be writing the registry files while it exits.
timeout -k 5 30 wineserver -w 2>/dev/null
rm -rf "$WINEPREFIX"
[ "${1:-}" = remove ] && exit 0
mkdir -p "$WINEPREFIX" || exit 1
# One server for the whole run: started afresh for each test it would cost
# seconds a test. It ends by itself a minute after an interrupted run.
wineserver -p60 </dev/null >/dev/null 2>&1 || { echo "cannot start the wine server" >&2; exit 1; }
# Wine's own services outlive the programs that start them; with ctest's pipe
# as their output ctest would wait for them, so they get a log file. A crash
# prints a backtrace and ends the test instead of waiting on a dialog.
log=$WINEPREFIX/setup.log
timeout -k 10 180 wine wineboot --init >"$log" 2>&1 &&
    timeout -k 10 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >>"$log" 2>&1 || { echo "wine setup failed:" >&2; cat "$log" >&2; exit 1; }

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A headless weston for a test, run through namespace.sh: a real Wayland
# compositor without the layer-shell protocol. Prints its WAYLAND_DISPLAY
# once it listens, then waits until standard input closes.
#   weston.sh RUNTIME_DIR
set -u
runtime=$1
chmod 700 "$runtime"
XDG_RUNTIME_DIR=$runtime HOME=$runtime weston --backend=headless-backend.so \
    --socket=wayland-weston --idle-time=0 >"$runtime/weston.log" 2>&1 </dev/null &
tries=0
while [ ! -S "$runtime/wayland-weston" ]; do
    tries=$((tries + 1))
    [ $tries -gt 400 ] && { cat "$runtime/weston.log" >&2; exit 1; }
    sleep 0.05
done
echo wayland-weston
cat >/dev/null

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A headless sway for a test, run through namespace.sh. sway refuses to run
# as root: as root it runs as "nobody". Prints "SWAYSOCK WAYLAND_DISPLAY" on
# one line once sway listens, then waits until standard input closes.
#   sway.sh RUNTIME_DIR [bare]
# "bare" leaves out sway's own background, whose swaybg would cover any
# other one: sway is then only a compositor with layer-shell.
set -u
runtime=$1
as_user=""
if [ "$(id -u)" = 0 ]; then
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
    chown 65534:65534 "$runtime"
fi
chmod 700 "$runtime"
if [ "${2:-}" = bare ]; then
    printf '# no background\n' >"$runtime/config"
else
    printf 'output * bg #000000 solid_color\n' >"$runtime/config"
fi
XDG_RUNTIME_DIR=$runtime HOME=$runtime WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman $as_user sway -c "$runtime/config" >"$runtime/sway.log" 2>&1 </dev/null &
# sway makes its IPC socket last, once its outputs are up.
tries=0
while ! ls "$runtime"/sway-ipc.*.sock >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -gt 400 ] && { cat "$runtime/sway.log" >&2; exit 1; }
    sleep 0.05
done
socket=$(ls "$runtime"/sway-ipc.*.sock)
wayland=$(cd "$runtime" && ls wayland-* | grep -v lock | head -n 1)
echo "$socket $wayland"
cat >/dev/null

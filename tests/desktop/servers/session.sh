#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A private desktop session for a test: its own session bus, then each
# program given as one argument (run by sh -c) with that bus. Prints the
# bus address on the first line of standard output, then waits until
# standard input closes; the test closes it to end the session, and the
# programs get SIGTERM first, as at a logoff.
#
# With SESSION_NO_ACTIVATION=1 the bus starts no service on demand, as on a
# desktop where a daemon is not installed.
#
# SESSION_SYSTEM_BUS=1 offers the same bus as the system bus, and hides
# /run/systemd (with NAMESPACE_MOUNT=1), for shells that look for logind.
#
# Run through namespace.sh, so that this script is the first process of a PID
# namespace: when it ends, the kernel ends every daemon the bus activated.
set -u
# The bus's socket lives in a folder of our own, removed at the end: the
# daemon is killed with the namespace and cannot clean up after itself.
bus_dir=$(mktemp -d)
address_file=$bus_dir/address
config="--session"
if [ "${SESSION_NO_ACTIVATION:-}" = 1 ]; then
    config="--config-file=$(dirname "$0")/../bus.conf"
fi
dbus-daemon "$config" --address="unix:dir=$bus_dir" --fork --nopidfile --print-address=3 \
    3>"$address_file" || exit 1
# dbus-daemon writes the address once it listens, before --fork returns.
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$address_file")
export DBUS_SESSION_BUS_ADDRESS
if [ "${SESSION_SYSTEM_BUS:-}" = 1 ]; then
    export DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS
    [ -d /run/systemd ] && mount -t tmpfs none /run/systemd 2>/dev/null
fi
echo "$DBUS_SESSION_BUS_ADDRESS"
pids=""
for program in "$@"; do
    sh -c "$program" </dev/null >/dev/null &
    pids="$pids $!"
done
cat >/dev/null
# As at a logoff, the programs are asked to end and write their files first;
# whatever is left ends with the namespace.
[ -n "$pids" ] && kill -TERM $pids 2>/dev/null
wait
rm -rf "$bus_dir"

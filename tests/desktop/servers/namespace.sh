#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs COMMAND... as the first process of a new PID namespace, so nothing it
# starts outlives it; as a normal user through a user namespace. Without
# unshare (or where namespaces are refused) it runs the command as it is.
# NAMESPACE_MOUNT=1 gives it a mount namespace too, for mounts of its own.
mount=""
[ "${NAMESPACE_MOUNT:-}" = 1 ] && mount="--mount"
if unshare $mount --pid --fork --kill-child true 2>/dev/null; then
    exec unshare $mount --pid --fork --kill-child "$@"
fi
if unshare --user --map-root-user $mount --pid --fork --kill-child true 2>/dev/null; then
    exec unshare --user --map-root-user $mount --pid --fork --kill-child "$@"
fi
exec "$@"

#!/bin/sh
# Runs COMMAND... as the first process of a new PID namespace, so nothing it
# starts outlives it; as a normal user through a user namespace. Without
# unshare (or where namespaces are refused) it runs the command as it is.
if unshare --pid --fork --kill-child true 2>/dev/null; then
    exec unshare --pid --fork --kill-child "$@"
fi
if unshare --user --map-root-user --pid --fork --kill-child true 2>/dev/null; then
    exec unshare --user --map-root-user --pid --fork --kill-child "$@"
fi
exec "$@"

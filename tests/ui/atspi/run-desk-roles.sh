#!/bin/sh
# Runs desk_roles.py on a virtual display, with a session bus and an accessibility bus of its own.
set -eu
here=$(dirname "$0")
exec xvfb-run -a dbus-run-session -- sh -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
    /usr/bin/python3 "$0" "$@"; status=$?
    kill $launcher 2>/dev/null
    exit $status' "$here/desk_roles.py" "$@"

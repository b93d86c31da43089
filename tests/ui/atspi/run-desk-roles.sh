#!/bin/sh
# Runs desk_roles.py on a virtual display, with a session bus and an accessibility bus of its own.
set -eu
here=$(dirname "$0")
exec xvfb-run -a dbus-run-session -- sh -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
    # The program finds the accessibility bus when it starts: wait until the bus answers.
    tries=0
    until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
          >/dev/null 2>&1 || [ $tries -ge 100 ]; do
        tries=$((tries + 1)); sleep 0.1
    done
    /usr/bin/python3 "$0" "$@"; status=$?
    kill $launcher 2>/dev/null
    exit $status' "$here/desk_roles.py" "$@"

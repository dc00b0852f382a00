#!/bin/sh
# Starts the installed MOD encoder, which lives inside the game directory.
here="$(dirname "$(readlink -f "$0")")"
exec "$here/../lib/wolkenfang/modsiegel/modsiegel" "$@"

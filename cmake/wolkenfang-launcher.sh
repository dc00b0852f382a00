#!/bin/sh
# Starts the installed game from its own directory.
here="$(dirname "$(readlink -f "$0")")"
exec "$here/../lib/wolkenfang/Wolkenfang" "$@"

#!/usr/bin/env bash
# Runs one end-to-end test script inside its own X server.
set -euo pipefail
script="$1"
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$script"

#!/usr/bin/env bash
# Installs what is missing, builds the game directory and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build
cmake --build build -j"$(nproc)"
exec ./build/Wolkenfang/Wolkenfang "$@"

#!/usr/bin/env bash
# Installs the built game into a fresh prefix and checks the layout: the game
# directory, the launchers, the desktop entry and its icon; then starts the
# installed game through its launcher until its main window shows.
set -euo pipefail
build="$1"
prefix="$(mktemp -d /tmp/wf-install.XXXXXX)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in lib/wolkenfang/Wolkenfang lib/wolkenfang/modsiegel/modsiegel lib/wolkenfang/game.ini \
         lib/wolkenfang/Info.txt lib/wolkenfang/Grafiken/Cursor.jpg lib/wolkenfang/mods/wolkfng4/mod.ini \
         bin/wolkenfang bin/modsiegel share/applications/wolkenfang.desktop \
         share/icons/hicolor/scalable/apps/wolkenfang.svg; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
# The system layout is not part of a plain install.
[ ! -e "$prefix/games" ] || { echo "the package's launchers were installed"; exit 1; }
if ls "$prefix"/lib/wolkenfang/score*.sre >/dev/null 2>&1; then
  echo "score files of the build tree were installed"; exit 1
fi
grep -q '^Exec=wolkenfang$' "$prefix/share/applications/wolkenfang.desktop"
grep -q '^Icon=wolkenfang$' "$prefix/share/applications/wolkenfang.desktop"

# The launcher finds the game from any working directory.
cd /
unset WOLKENFANG_DIR
WF_EXIT_AFTER_SHOW=1 QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  timeout 30 "$prefix/bin/wolkenfang" 2>"$prefix/err.txt" || {
  echo "installed game did not start:"; cat "$prefix/err.txt"; exit 1; }
if grep -q '^Wolkenfang: ' "$prefix/err.txt"; then
  echo "installed game showed a message:"; cat "$prefix/err.txt"; exit 1
fi
"$prefix/bin/modsiegel" --help >/dev/null
echo "install: ok"

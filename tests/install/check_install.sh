#!/usr/bin/env bash
# Installs the built game into a fresh prefix: the game directory, the
# launchers, the desktop entry and its icon, nothing of the package's system
# layout and no score file of the build tree; the installed game starts
# through its launcher from any working directory.
set -euo pipefail
prefix="$(mktemp -d /tmp/wf-install.XXXXXX)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
cd "$prefix"
for f in lib/wolkenfang/{Wolkenfang,modsiegel/modsiegel,game.ini,Info.txt,Grafiken/Cursor.jpg,mods/wolkfng4/mod.ini} \
  bin/wolkenfang bin/modsiegel share/icons/hicolor/scalable/apps/wolkenfang.svg; do
  [ -e "$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ ! -e games ] && ! compgen -G 'lib/wolkenfang/score*.sre' >/dev/null || { echo "the package's launchers or score files were installed"; exit 1; }
grep -qx 'Exec=wolkenfang' share/applications/wolkenfang.desktop && grep -qx 'Icon=wolkenfang' share/applications/wolkenfang.desktop
cd /
unset WOLKENFANG_DIR
WF_EXIT_AFTER_SHOW=1 QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy timeout 30 "$prefix/bin/wolkenfang" 2>"$prefix/err.txt" &&
  ! grep -q '^Wolkenfang: ' "$prefix/err.txt" || { echo "the installed game did not start well:"; cat "$prefix/err.txt"; exit 1; }
"$prefix/bin/modsiegel" --help >/dev/null
echo "install: ok"

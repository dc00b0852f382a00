#!/usr/bin/env bash
# Builds the Debian packages (dpkg-buildpackage -us -uc -b) from a copy of the
# work tree and checks them: the game's version is the project's, lintian
# reports no error and no warning, the desktop entry and the AppStream
# metainfo it installs pass their validators, and the site's package passes
# tests/server/check_package.sh. The packages end up in OUT_DIR (default
# build-deb/). Build dependencies: tools/setup.sh installs them.
#
#   tools/package.sh [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build-deb}")"
# Always the same place, so that a compiler cache finds the objects of the
# last package build again.
work="${TMPDIR:-/tmp}/wf-deb-$(id -u)"
rm -rf "$work" && mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
fail() { echo "package: FAIL: $*" >&2; exit 1; }

# dpkg-buildpackage writes its results beside the source tree and its build
# files into it, so it gets a copy of the tracked and new files.
mkdir "$work/wolkenfang"
git ls-files -z --cached --others --exclude-standard |
  tar --null -T - -cf - | tar -xf - -C "$work/wolkenfang"
(cd "$work/wolkenfang" &&
  DEB_BUILD_OPTIONS="nocheck parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) || {
  tail -40 "$work/build.log" >&2
  fail "dpkg-buildpackage failed"
}
mkdir -p "$out"
rm -f "$out"/wolkenfang*
cp "$work"/wolkenfang*.deb "$work"/wolkenfang*.changes "$work"/wolkenfang*.buildinfo "$out"/
debs=("$out"/wolkenfang_*.deb)
[ ${#debs[@]} = 1 ] || fail "expected one package, found: ${debs[*]}"
deb="${debs[0]}"
data=("$out"/wolkenfang-data_*_all.deb)
[ -f "${data[0]}" ] || fail "no architecture-independent wolkenfang-data package"
# The programs' package holds no data, the data package no program.
! dpkg-deb -c "$deb" | grep -q 'usr/share/games/wolkenfang/.' || fail "$deb holds the game's data"
! dpkg-deb -c "${data[0]}" | grep -qE 'usr/(games|lib)/' || fail "${data[0]} holds programs"
dpkg-deb -f "$deb" Depends | grep -q "wolkenfang-data (= $(dpkg-deb -f "$deb" Version))" ||
  fail "$deb does not depend on its own version of wolkenfang-data"

version="$(sed -n 's/^project(Wolkenfang VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
  fail "the package's version $(dpkg-deb -f "$deb" Version) is not the project's $version"

lintian --fail-on error,warning "$out"/wolkenfang*.changes || fail "lintian"

x="$work/x"
dpkg-deb -x "$deb" "$x"
report="$(desktop-file-validate "$x"/usr/share/applications/wolkenfang.desktop 2>&1)" &&
  [ -z "$report" ] || fail "desktop-file-validate: $report"
# Not even a remark (I:) is accepted.
report="$(appstreamcli validate --no-net "$x"/usr/share/metainfo/*.metainfo.xml 2>&1)" &&
  ! grep -qE '^[EWI]: ' <<<"$report" || fail "appstreamcli validate: $report"
bash tests/server/check_package.sh "$out"/wolkenfang-server_*.deb
echo "package: $deb"

#!/usr/bin/env bash
# Installs what is missing, checks that every C++ file keeps the project's
# format, builds everything and runs every test through CTest: unit, widget,
# server, asset, end-to-end and install tests and the short runs of the
# measurements (docs/proof.md); then builds the Debian package and checks it
# (lintian, desktop-file-validate, appstreamcli validate); then runs the
# unit, widget and server tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target briefly. Each
# configuration is built once; ccache keeps the objects, so a second run on
# the same machine rebuilds only what changed. WF_SKIP_PACKAGE=1 leaves out
# the package, WF_SKIP_SANITIZE=1 the sanitizer and fuzz passes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
jobs="$(nproc)"

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror ||
  { echo "test: the files above are not formatted: clang-format -i FILE" >&2; exit 1; }

# CMake takes the launcher from the environment, also in the package's build.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache

cmake -S . -B build
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --timeout 600 -j"$jobs"

if [ "${WF_SKIP_PACKAGE:-0}" != "1" ]; then
  bash tools/package.sh build-deb
fi

if [ "${WF_SKIP_SANITIZE:-0}" != "1" ]; then
  # Only what the unit, widget and server tests run: generating the game's
  # data under the sanitizers adds minutes and finds nothing the normal
  # pass's asset tests do not.
  cmake -S . -B build-sanitize -DWF_SANITIZE=ON -DWF_BUILD_BENCH=OFF
  cmake --build build-sanitize -j"$jobs" --target fast_test_programs
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/tools/lsan.supp" \
    ctest --test-dir build-sanitize --output-on-failure --timeout 600 -j"$jobs" -L 'unit|widget|server'
  WF_FUZZ_BUILD="$PWD/build-fuzz" bash fuzz/run.sh 10
fi

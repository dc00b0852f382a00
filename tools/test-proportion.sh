#!/usr/bin/env bash
# Non-blank lines of the tests (everything CTest runs: tests/ and the
# measuring programs under tools/measure that CTest keeps working) against
# the non-blank lines of the programs, the shared library, the server and the
# asset generator.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -co --exclude-standard -- "$@" |
    grep -E '\.(cpp|h|sh|py|js|cmake|in)$|CMakeLists\.txt$' |
    while read -r f; do [ -f "$f" ] && cat "$f"; done | grep -cv '^[[:space:]]*$' || true
}
tests=$(count tests tools/measure)
product=$(count game shared encoder server tools/assetgen)
echo "tests:   $tests"
echo "product: $product"
awk -v t="$tests" -v p="$product" 'BEGIN { printf "share:   %.1f %%\n", 100 * t / p }'

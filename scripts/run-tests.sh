#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: a check that the C++
# sources are formatted as .clang-format says, the normal build (its
# tests include the real-input ones, which start the demo host on private X
# servers and drive it with xdotool), a check of what it installs (scripts/check-install.sh), the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of every
# fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

jobs=$(nproc)
fuzz_seconds=${LEGEND_FUZZ_SECONDS:-60}

echo "== formatting (.clang-format)"
git ls-files -z '*.cpp' '*.h' '*.c' | xargs -0 clang-format --dry-run --Werror

echo "== build and test (RelWithDebInfo)"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== install, example hosts, pkg-config, Debian package, API reference"
scripts/check-install.sh build/default

echo "== build and test under ASan and UBSan"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

if command -v clang++ >/dev/null; then
  echo "== fuzz targets (${fuzz_seconds}s each)"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j "$jobs"
  for target in build/fuzz/fuzz/fuzz_*; do
    [[ -x $target && -f $target ]] || continue
    name=$(basename "$target")
    work=$(mktemp -d)
    cp -r "fuzz/corpus/$name/." "$work/"
    "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$work" 2>&1 | tail -n 12
    rm -rf "$work"
  done
fi
echo "all tests passed"

#!/usr/bin/env bash
# Checks the library the way a host developer meets it: installs a build
# into an empty prefix, builds the example host against that prefix with
# find_package (never against the build tree), runs it, links a C program
# with pkg-config's flags and runs it, builds the Debian package and looks
# at its contents and dependencies, and generates the API reference, which
# must come out without a single warning.
#
#   scripts/check-install.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/default when it has been configured (CI builds
# it just before); otherwise a Release build is made in build/check-install.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

check() { echo "   ok: $*"; }
show() {
  local line
  while IFS= read -r line; do echo "   | $line"; done <<<"$1"
}
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

build=${1:-build/default}
if [[ ! -f $build/CMakeCache.txt ]]; then
  (($# == 0)) || fail "$build is not a configured build directory"
  build=build/check-install
  echo "-- configuring a Release build in $build"
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DLEGEND_BUILD_TESTS=OFF -DLEGEND_BUILD_BENCH=OFF >/dev/null
fi
echo "-- building liblegend, clntool and legendhost in $build"
cmake --build "$build" --target legend clntool legendhost -j "$jobs"

version=$(sed -n 's/^project(Legend VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no project version in CMakeLists.txt"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# Nothing here has a display, nor a session.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

echo "-- cmake --install into an empty prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
library=$(find "$prefix" -name "liblegend.so.$version" -type f)
[[ -n $library ]] || fail "liblegend.so.$version not installed"
libdir=$(dirname "$library")
for file in include/legend/legend.h include/legend/records.h include/legend/map_project.h \
  include/legend/legend_events.h bin/clntool bin/legendhost share/legend/samples/demo.CLN; do
  [[ -e $prefix/$file ]] || fail "$file not installed"
done
check "headers, clntool, legendhost and the sample are installed"
soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
[[ $soname == liblegend.so.0 ]] || fail "SONAME is '$soname', not liblegend.so.0"
[[ $(readlink "$libdir/liblegend.so.0") == "liblegend.so.$version" ]] || fail "liblegend.so.0 does not link to the library"
[[ $(readlink "$libdir/liblegend.so") == liblegend.so.0 ]] || fail "liblegend.so does not link to liblegend.so.0"
check "${libdir#"$prefix"/}/liblegend.so.$version, SONAME $soname, with its links"
[[ -f $libdir/cmake/Legend/LegendConfig.cmake && -f $libdir/cmake/Legend/LegendConfigVersion.cmake ]] ||
  fail "no CMake package config"
[[ -f $libdir/pkgconfig/legend.pc ]] || fail "no pkg-config file"
check "CMake package config and legend.pc are installed"

# The programs must find the installed library by themselves, not through
# LD_LIBRARY_PATH or the build tree.
for program in clntool legendhost; do
  if ldd "$prefix/bin/$program" | grep -q liblegend; then
    found=$(ldd "$prefix/bin/$program" | awk '$1 == "liblegend.so.0" { print $3 }')
    [[ -n $found && $(realpath "$found") == $(realpath "$library") ]] ||
      fail "$program loads liblegend from '$found', not from the prefix"
  fi
done
sample=$prefix/share/legend/samples/demo.CLN
validated=$("$prefix/bin/clntool" validate "$sample") || fail "installed clntool: $validated"
check "installed programs load the installed library; clntool validate: $validated"

echo "-- example host built with find_package(Legend) against the prefix"
cmake -S examples/host -B "$work/host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
legend_dir=$(sed -n 's/^Legend_DIR:PATH=//p' "$work/host/CMakeCache.txt")
[[ $(realpath "$legend_dir") == $(realpath "$libdir/cmake/Legend") ]] || fail "Legend found in '$legend_dir'"
cmake --build "$work/host" >/dev/null
! grep -q -e "$root/include" -e "$root/src" "$work/host/compile_commands.json" ||
  fail "the example was compiled with headers from the source tree"
check "found Legend in the prefix and built with the installed headers"
host_output=$("$work/host/legend_host_example" --selftest) || fail "example selftest: $host_output"
show "$host_output"
host_type=$(echo "$host_output" | sed -n 's/^legend 0: type \(-\{0,1\}[0-9]*\).*/\1/p')
[[ -n $host_type ]] || fail "the example printed no type for legend 0"
check "example selftest on the installed sample"

echo "-- C program linked with pkg-config --cflags --libs legend"
export PKG_CONFIG_PATH=$libdir/pkgconfig
[[ $(pkg-config --modversion legend) == "$version" ]] || fail "pkg-config version is not $version"
cflags=$(pkg-config --cflags legend | xargs)
[[ $cflags == "-I$prefix/include" ]] || fail "pkg-config --cflags legend gives '$cflags'"
# shellcheck disable=SC2046
cc -std=c11 -Wall -Wextra -Wpedantic -Werror examples/c/pad_query.c $(pkg-config --cflags --libs legend) \
  -o "$work/pad_query"
c_output=$(LD_LIBRARY_PATH=$libdir "$work/pad_query" "$sample") || fail "pad_query: $c_output"
show "$c_output"
c_type=$(echo "$c_output" | sed -n 's/^legend 0 type: \(-\{0,1\}[0-9]*\).*/\1/p')
[[ $c_type == "$host_type" ]] || fail "the C program saw type '$c_type', the example host '$host_type'"
check "C host compiled with only legend.h, linked and run; same answer as the C++ host"

echo "-- Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack -G DEB"
}
deb=$(find "$work/deb" -maxdepth 1 -name "legend_${version}_*.deb")
[[ -n $deb ]] || fail "no legend_${version}_*.deb"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6; do
  [[ $depends == *"$package"* ]] || fail "the package does not depend on $package: $depends"
done
check "$(basename "$deb") depends on: $depends"
contents=$(dpkg-deb -c "$deb")
for file in "liblegend.so.$version" liblegend.so.0 include/legend/legend.h bin/clntool bin/legendhost \
  cmake/Legend/LegendConfig.cmake pkgconfig/legend.pc share/legend/samples/demo.CLN; do
  [[ $contents == *"$file"* ]] || fail "$file is not in the package"
done
check "the package holds the library, headers, programs, CMake and pkg-config files, sample"

echo "-- API reference (Doxygen, any warning fails)"
if command -v doxygen >/dev/null; then
  doxygen_status=0
  doxygen docs/Doxyfile >"$work/doxygen.log" 2>&1 || doxygen_status=$?
  warnings=$(grep -c -E ': (warning|error): ' "$work/doxygen.log" || true)
  if ((doxygen_status != 0 || warnings != 0)); then
    cat "$work/doxygen.log"
    fail "doxygen: $warnings warnings"
  fi
  check "build/apidoc/html, no warnings"
else
  fail "doxygen is not installed (scripts/bootstrap.sh installs it)"
fi
echo "install check passed"

#!/usr/bin/env bash
# Checks the library the way a host developer and a user meet it:
#  - installs a build into an empty prefix, builds the example host against
#    that prefix with find_package (never against the build tree), runs it,
#    links a C program with pkg-config's flags and runs it;
#  - builds the three Debian packages (liblegend0, liblegend-dev,
#    legend-tools) from a tree configured for /usr, looks at what each holds
#    and needs, and runs lintian on them, refusing any error;
#  - installs liblegend-dev with dpkg in a scratch Debian system that has
#    only what it and a compiler need, and builds both example hosts there;
#  - installs liblegend0 alone in a scratch system without any development
#    package and runs the hosts built above in it; then installs
#    legend-tools there and runs clntool and legendhost;
#  - generates the API reference, which must come out without a warning.
#
#   scripts/check-install.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/default when it has been configured (CI builds
# it just before); otherwise a Release build is made in build/check-install.
# The Debian packages come from BUILD_DIR when it was configured with
# CMAKE_INSTALL_PREFIX=/usr, otherwise from a tree beside it, build/deb.
# The scratch systems need root; without it they are made through sudo.
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
# The scratch systems need root (scripts/scratch-root.sh); everything else
# runs as the caller.
as_root=()
((EUID == 0)) || as_root=(sudo)
scratch() { "${as_root[@]}" scripts/scratch-root.sh "$@"; }
packages=(liblegend0 liblegend-dev legend-tools)
# What the scratch systems get from our .deb files, not from this machine.
own=(--own liblegend0 --own liblegend-dev --own legend-tools)

build=${1:-build/default}
if [[ ! -f $build/CMakeCache.txt ]]; then
  (($# == 0)) || fail "$build is not a configured build directory"
  build=build/check-install
  echo "-- configuring a Release build in $build"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DLEGEND_BUILD_TESTS=OFF -DLEGEND_BUILD_BENCH=OFF >/dev/null
fi
echo "-- building liblegend, clntool and legendhost in $build"
cmake --build "$build" --target legend clntool legendhost -j "$jobs"

version=$(sed -n 's/^project(Legend VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no project version in CMakeLists.txt"

work=$(mktemp -d)
trap '"${as_root[@]}" rm -rf "$work"' EXIT
prefix=$work/prefix
# Nothing here has a display, nor a session.
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
sample=$root/samples/demo.CLN

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
validated=$("$prefix/bin/clntool" validate "$prefix/share/legend/samples/demo.CLN") ||
  fail "installed clntool: $validated"
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
[[ $(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --modversion legend) == "$version" ]] ||
  fail "pkg-config version is not $version"
cflags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags legend | xargs)
[[ $cflags == "-I$prefix/include" ]] || fail "pkg-config --cflags legend gives '$cflags'"
# shellcheck disable=SC2046
cc -std=c11 -Wall -Wextra -Wpedantic -Werror examples/c/pad_query.c \
  $(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs legend) -o "$work/pad_query"
c_output=$(LD_LIBRARY_PATH=$libdir "$work/pad_query" "$sample") || fail "pad_query: $c_output"
show "$c_output"
c_type=$(echo "$c_output" | sed -n 's/^legend 0 type: \(-\{0,1\}[0-9]*\).*/\1/p')
[[ $c_type == "$host_type" ]] || fail "the C program saw type '$c_type', the example host '$host_type'"
check "C host compiled with only legend.h, linked and run; same answer as the C++ host"

echo "-- Debian packages"
cache_value() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"; }
deb_build=$build
if [[ $(cache_value "$build" CMAKE_INSTALL_PREFIX) != /usr ]]; then
  # Same compiler and flags as BUILD_DIR, so the compiler cache serves it.
  deb_build=$(dirname "$build")/deb
  echo "   configuring $deb_build for /usr"
  cmake -S . -B "$deb_build" -G Ninja -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_BUILD_TYPE="$(cache_value "$build" CMAKE_BUILD_TYPE)" \
    -DCMAKE_CXX_COMPILER="$(cache_value "$build" CMAKE_CXX_COMPILER)" \
    -DLEGEND_BUILD_TESTS=OFF -DLEGEND_BUILD_BENCH=OFF >/dev/null
  cmake --build "$deb_build" --target legend clntool legendhost -j "$jobs" >/dev/null
fi
(cd "$deb_build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack -G DEB"
}
package_version=$version-$(cache_value "$deb_build" LEGEND_DEBIAN_REVISION)
declare -A deb=()
for package in "${packages[@]}"; do
  deb[$package]=$(find "$work/deb" -maxdepth 1 -name "${package}_${package_version}_*.deb")
  [[ -n ${deb[$package]} ]] || fail "no ${package}_${package_version}_*.deb: $(ls "$work/deb")"
done
check "$(cd "$work/deb" && echo *.deb)"

contents() { dpkg-deb -c "$1" | awk '{ print $6 }' | sed 's|^\./||; s|/$||'; }
holds() {
  local package=$1 pattern
  shift
  for pattern in "$@"; do
    grep -qxF "$pattern" <<<"${listing[$package]}" || fail "$package does not hold $pattern"
  done
}
lacks() {
  local package=$1 pattern
  shift
  for pattern in "$@"; do
    ! grep -q "$pattern" <<<"${listing[$package]}" || fail "$package holds $(grep "$pattern" <<<"${listing[$package]}" | head -1)"
  done
}
declare -A listing=()
for package in "${!deb[@]}"; do listing[$package]=$(contents "${deb[$package]}"); done
multiarch=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
holds liblegend0 "$multiarch/liblegend.so.$version" "$multiarch/liblegend.so.0" \
  usr/share/doc/liblegend0/copyright usr/share/doc/liblegend0/changelog.Debian.gz
lacks liblegend0 'usr/include' 'liblegend\.so$' 'cmake' 'pkgconfig' 'usr/bin'
holds liblegend-dev usr/include/legend/legend.h usr/include/legend/legend_events.h "$multiarch/liblegend.so" \
  "$multiarch/cmake/Legend/LegendConfig.cmake" "$multiarch/pkgconfig/legend.pc" usr/share/doc/liblegend-dev/copyright
lacks liblegend-dev 'liblegend\.so\.' 'usr/bin'
holds legend-tools usr/bin/clntool usr/bin/legendhost usr/share/legend/samples/demo.CLN \
  usr/share/man/man1/clntool.1.gz usr/share/doc/legend-tools/copyright
lacks legend-tools 'liblegend\.so' 'usr/include'
# dpkg refuses to install two packages that hold the same file.
shared=$(for package in "${!deb[@]}"; do dpkg-deb -c "${deb[$package]}" | awk '$1 !~ /^d/ { print $6 }'; done |
  sort | uniq -d)
[[ -z $shared ]] || fail "files in more than one package: $shared"
check "library, development files and tools each in their own package, no file in two"

depends() { dpkg-deb -f "${deb[$1]}" Depends; }
depends_names() { depends "$1" | tr ',|' '\n' | awk '{ print $1 }'; }
runtime_depends=$(depends_names liblegend0)
for package in libqt6widgets6 libqt6gui6 libqt6core6; do
  grep -qx "$package" <<<"$runtime_depends" || fail "liblegend0 does not depend on $package: $(depends liblegend0)"
done
! grep -q -e '-dev$' <<<"$runtime_depends" || fail "liblegend0 depends on a development package: $(depends liblegend0)"
check "liblegend0 depends on: $(depends liblegend0)"
[[ $(depends liblegend-dev) == *"liblegend0 (= $package_version)"* && $(depends liblegend-dev) == *qt6-base-dev* ]] ||
  fail "liblegend-dev depends on: $(depends liblegend-dev)"
[[ $(depends legend-tools) == *"liblegend0 (= $package_version)"* ]] || fail "legend-tools depends on: $(depends legend-tools)"
check "liblegend-dev and legend-tools depend on liblegend0 (= $package_version)"

unpacked=$work/unpacked
mkdir "$unpacked"
for package in "${!deb[@]}"; do dpkg-deb -R "${deb[$package]}" "$unpacked/$package"; done
for file in "$unpacked"/liblegend0/"$multiarch"/liblegend.so.* "$unpacked"/legend-tools/usr/bin/*; do
  [[ -L $file ]] && continue
  ! readelf -d "$file" | grep -q -e RPATH -e RUNPATH || fail "${file#"$unpacked"/} has an RPATH or RUNPATH"
  ! readelf -S "$file" | grep -q '\.debug_' || fail "${file#"$unpacked"/} is not stripped"
done
packaged_library=$unpacked/liblegend0/$multiarch/liblegend.so.$version
[[ $(objdump -p "$packaged_library" | awk '$1 == "SONAME" { print $2 }') == liblegend.so.0 ]] ||
  fail "the packaged library lost its SONAME"
# The symbols file must name every export of the library with its version
# node, no more and no less, or hosts get too weak a dependency.
dpkg-gensymbols -P"$unpacked/liblegend0" -pliblegend0 -v"$package_version" -e"$packaged_library" \
  -I"$unpacked/liblegend0/DEBIAN/symbols" -O"$work/symbols" -c4 >"$work/gensymbols.log" 2>&1 || {
  cat "$work/gensymbols.log"
  fail "the symbols file of liblegend0 does not match the library's exports"
}
exports=$(grep -c 'CLN[A-Za-z]*@LEGEND_0 ' "$work/symbols")
check "no RPATH, stripped, SONAME liblegend.so.0, symbols file matches the $exports exports of version node LEGEND_0"

lintian_status=0
lintian --fail-on error "${deb[@]}" >"$work/lintian.log" 2>&1 || lintian_status=$?
if ((lintian_status != 0)) || grep -q '^E: ' "$work/lintian.log"; then
  cat "$work/lintian.log"
  fail "lintian (exit $lintian_status)"
fi
check "lintian: no errors, $(grep -c '^W: ' "$work/lintian.log" || true) warnings"
show "$(grep '^W: ' "$work/lintian.log" || true)"

echo "-- liblegend-dev in a scratch system with only it and a compiler: the example hosts build"
devroot=$work/devroot
scratch add "$devroot" "${own[@]}" "$(depends liblegend0)" "$(depends liblegend-dev)" "g++, cmake, ninja-build, pkg-config"
"${as_root[@]}" cp "${deb[liblegend0]}" "${deb[liblegend-dev]}" "$devroot/tmp/"
scratch run "$devroot" dpkg -i "/tmp/$(basename "${deb[liblegend0]}")" "/tmp/$(basename "${deb[liblegend-dev]}")" \
  >"$work/dpkg-dev.log" 2>&1 || {
  cat "$work/dpkg-dev.log"
  fail "dpkg -i liblegend0 liblegend-dev"
}
check "$(scratch packages "$devroot" | wc -l) packages, then liblegend0 and liblegend-dev installed with dpkg"
"${as_root[@]}" cp -r examples "$devroot/tmp/examples"
scratch run "$devroot" sh -c 'cmake -S /tmp/examples/host -B /tmp/host -G Ninja -DCMAKE_BUILD_TYPE=Release &&
  cmake --build /tmp/host' >"$work/devbuild.log" 2>&1 || {
  cat "$work/devbuild.log"
  fail "building examples/host against liblegend-dev"
}
legend_dir=$(sed -n 's/^Legend_DIR:PATH=//p' "$devroot/tmp/host/CMakeCache.txt")
[[ $legend_dir == "/$multiarch/cmake/Legend" ]] || fail "Legend found in '$legend_dir'"
# shellcheck disable=SC2016
scratch run "$devroot" sh -c 'gcc -std=c11 -Wall -Wextra -Wpedantic -Werror /tmp/examples/c/pad_query.c \
  $(pkg-config --cflags --libs legend) -o /tmp/pad_query' >"$work/devbuild.log" 2>&1 || {
  cat "$work/devbuild.log"
  fail "building examples/c/pad_query.c with pkg-config against liblegend-dev"
}
check "examples/host with find_package(Legend) from /$multiarch/cmake/Legend, pad_query.c with pkg-config"

echo "-- liblegend0 alone in a scratch system without development packages: the hosts run"
runroot=$work/runroot
scratch add "$runroot" "${own[@]}" "$(depends liblegend0)"
development=$(scratch packages "$runroot" | grep -e '-dev$' -e '-dev-' || true)
[[ -z $development ]] || fail "liblegend0 pulls in development packages: $development"
"${as_root[@]}" cp "${deb[liblegend0]}" "${deb[legend-tools]}" "$runroot/tmp/"
scratch run "$runroot" dpkg -i "/tmp/$(basename "${deb[liblegend0]}")" >"$work/dpkg-run.log" 2>&1 || {
  cat "$work/dpkg-run.log"
  fail "dpkg -i liblegend0"
}
headers=$(find "$runroot/usr/include" -type f 2>/dev/null | head -3)
[[ -z $headers ]] || fail "header files without any development package: $headers"
for file in "$multiarch/liblegend.so" "$multiarch/cmake/Legend" "$multiarch/pkgconfig/legend.pc"; do
  [[ ! -e $runroot/$file ]] || fail "$file is there without liblegend-dev"
done
check "$(scratch packages "$runroot" | wc -l) packages, none of them for development; liblegend0 installed with dpkg"
"${as_root[@]}" cp "$devroot/tmp/host/legend_host_example" "$devroot/tmp/pad_query" "$sample" "$runroot/tmp/"
"${as_root[@]}" rm -rf "$devroot"
for program in legend_host_example pad_query; do
  linked=$(scratch run "$runroot" ldd "/tmp/$program") || fail "ldd $program: $linked"
  ! grep -q 'not found' <<<"$linked" || fail "$program: $(grep 'not found' <<<"$linked")"
  # /lib is /usr/lib on Debian 12, and the loader may name either.
  loaded=$(awk '$1 == "liblegend.so.0" { print $3 }' <<<"$linked")
  [[ /usr${loaded#/usr} == "/$multiarch/liblegend.so.0" ]] ||
    fail "$program loads '$loaded', not /$multiarch/liblegend.so.0"
done
host_output=$(scratch run "$runroot" /tmp/legend_host_example --selftest /tmp/demo.CLN 2>&1) ||
  fail "example host on liblegend0: $host_output"
show "$host_output"
c_output=$(scratch run "$runroot" /tmp/pad_query /tmp/demo.CLN 2>&1) || fail "pad_query on liblegend0: $c_output"
show "$c_output"
[[ $(echo "$host_output" | sed -n 's/^legend 0: type \(-\{0,1\}[0-9]*\).*/\1/p') == "$host_type" &&
  $(echo "$c_output" | sed -n 's/^legend 0 type: \(-\{0,1\}[0-9]*\).*/\1/p') == "$host_type" ]] ||
  fail "the hosts built against liblegend-dev answer differently from the one built against the prefix"
check "both hosts load /$multiarch/liblegend.so.0 from liblegend0 and answer as before"

echo "-- legend-tools beside liblegend0: clntool and legendhost run"
scratch add "$runroot" "${own[@]}" "$(depends legend-tools)"
scratch run "$runroot" dpkg -i "/tmp/$(basename "${deb[legend-tools]}")" >"$work/dpkg-tools.log" 2>&1 || {
  cat "$work/dpkg-tools.log"
  fail "dpkg -i legend-tools"
}
validated=$(scratch run "$runroot" clntool validate /usr/share/legend/samples/demo.CLN) ||
  fail "clntool from legend-tools: $validated"
# Without a file legendhost opens the sample installed beside it; a click on
# the first cell makes the pad hand legend 0 to the host. A message box
# would wait for a user, hence the time limit.
scratch run "$runroot" timeout 120 legendhost --click 30,30 --screenshot /tmp/legendhost.png \
  >"$work/legendhost.log" 2>&1 || {
  cat "$work/legendhost.log"
  fail "legendhost from legend-tools"
}
[[ -s $runroot/tmp/legendhost.png ]] || fail "legendhost wrote no screenshot"
grep -qx 'WM_LEGEND_SELECTED 0' "$work/legendhost.log" ||
  fail "legendhost's pad did not select legend 0 of the sample: $(cat "$work/legendhost.log")"
check "clntool validate: $validated; legendhost opened the installed sample, selected legend 0, wrote a screenshot"
"${as_root[@]}" rm -rf "$runroot"

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

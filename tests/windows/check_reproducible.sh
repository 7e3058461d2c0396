#!/usr/bin/env bash
# Two builds of the same sources give the same bytes: copies the sources the
# panels are built from into another folder, builds every panel's DLL and
# zip there (the windows-x86 toolchain, no tests, no emulator) and compares
# each with BUILD's, where the windows-x86 preset built them earlier. Prints
# the SHA-256 of each; exits 1 naming each file that differs.
#
# Usage: check_reproducible.sh BUILD (e.g. build/windows-x86)
set -euo pipefail
build=$1
project="$(cd "$(dirname "$0")/../.." && pwd)"
other="$project/build/reproducible"
rm -rf "$other"
mkdir -p "$other/source"
# Only what the panels are built from, through git's own list of files.
(cd "$project" && git ls-files -co --exclude-standard -- CMakeLists.txt cmake platform framework hostside panels \
  tools/pack-zip | tar -cf - -T -) | tar -xf - -C "$other/source"
cmake -S "$other/source" -B "$other/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$other/source/cmake/toolchains/windows-x86.cmake" \
  -DVESK_BUILD_TESTS=OFF -DVESK_BUILD_PANELHOST=OFF >/dev/null
cmake --build "$other/build" >/dev/null

failures=0
while IFS=$'\t' read -r panel folder plugin description; do
  for file in "$plugin" "$(basename "$(ls "$build/$panel"-*-win32.zip)")"; do
    first="$build/$file" second="$other/build/$file"
    if cmp -s "$first" "$second"; then
      echo "same bytes from two folders: $file $(sha256sum "$first" | cut -d' ' -f1)"
    else
      echo "FAIL: $file differs between $build and $other/build" >&2
      cmp -l "$first" "$second" | head -5 >&2 || true
      failures=$((failures + 1))
    fi
  done
done <"$build/panels.txt"
[ $failures -eq 0 ] || exit 1
rm -rf "$other"

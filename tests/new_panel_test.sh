#!/usr/bin/env bash
# tools/new-panel, end to end: it refuses names that are no file and class
# name and panels that exist, leaving the tree as it was; in a scratch copy
# of the project it makes a panel whose scenario passes with the Linux
# panelhost against its .so and under wine64 with the 64-bit panelhost.exe
# against its DLL. The panels of the scratch copy alone are built (no tests,
# no emulator): the emulators are build/dev's and build/windows-x64's.
#
# Usage: tests/new_panel_test.sh (from the project, after build/dev and
# build/windows-x64 have built panelhost)
set -euo pipefail
project="$(cd "$(dirname "$0")/.." && pwd)"
cd "$project"
scratch="$project/build/new-panel"
rm -rf "$scratch"
mkdir -p "$scratch/source"
git ls-files -co --exclude-standard -- CMakeLists.txt cmake platform framework hostside panels tools |
  tar -cf - -T - | tar -xf - -C "$scratch/source"
new_panel="$scratch/source/tools/new-panel"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Each refused name, and a word its one line must hold; a listed panel
# stands for one that exists.
existing="$(sed -n 's/^add_subdirectory(\(.*\))$/\1/p' panels/CMakeLists.txt | head -1)"
lower_other="Studio_New/$(basename "$existing" | tr '[:upper:]' '[:lower:]')"
refused=(
  "NoSlash|one slash"
  "Studio_A/Two/Slashes|one slash"
  "Studio_A/9Lives|start with a letter"
  "Studio_A/Bad-Name|start with a letter"
  "Studio A/Name|start with a letter"
  "Studio_A/class|keyword"
  "$existing|exists"
  "$lower_other|unique"
)
before="$(cat "$scratch/source/panels/CMakeLists.txt")"
for case in "${refused[@]}"; do
  name="${case%|*}" word="${case#*|}"
  status=0
  message="$("$new_panel" "$name" 2>&1)" || status=$?
  [ $status -eq 2 ] || fail "new-panel '$name': status $status, expected 2"
  grep -q -- "$word" <<<"$message" || fail "new-panel '$name' said '$message', expected it to say '$word'"
done
[ "$(cat "$scratch/source/panels/CMakeLists.txt")" = "$before" ] || fail "a refused name changed the panel list"
echo "new-panel refused ${#refused[@]} bad names"

"$new_panel" Studio_X/ZUX_New | sed 's/^/    /'
grep -qx 'add_subdirectory(Studio_X/ZUX_New)' "$scratch/source/panels/CMakeLists.txt" ||
  fail "the new panel is not listed"
status=0
"$new_panel" Studio_X/ZUX_New >/dev/null 2>&1 || status=$?
[ $status -eq 2 ] || fail "new-panel made Studio_X/ZUX_New twice"

scenario="$scratch/source/panels/Studio_X/ZUX_New/scenarios/press.scenario"
for preset in dev windows-x64; do
  build="$scratch/$preset"
  toolchain=()
  [ $preset = dev ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$scratch/source/cmake/toolchains/windows-x64.cmake")
  cmake -S "$scratch/source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" \
    -DVESK_BUILD_TESTS=OFF -DVESK_BUILD_PANELHOST=OFF >/dev/null
  cmake --build "$build" --target ZUX_New >/dev/null
done
so="$scratch/dev/panels/Studio_X/ZUX_New/ZUX_New.so"
dll="$scratch/windows-x64/panels/Studio_X/ZUX_New/ZUX_New.dll"
build/dev/panelhost/panelhost run "$so" --script "$scenario" >"$scratch/linux.txt" 2>&1 ||
  { fail "the new panel's scenario failed natively"; sed 's/^/    /' "$scratch/linux.txt"; }
tools/wine64-run "$project/build/windows-x64/wine" build/windows-x64/panelhost/panelhost.exe run "$dll" \
  --script "$scenario" >"$scratch/wine64.txt" 2>&1 ||
  { fail "the new panel's scenario failed under wine64"; sed 's/^/    /' "$scratch/wine64.txt"; }
for run in linux wine64; do
  grep -q 'panelhost: scenario passed' "$scratch/$run.txt" && echo "the new panel's scenario passed ($run)"
done
[ $failures -eq 0 ] || exit 1
rm -rf "$scratch"

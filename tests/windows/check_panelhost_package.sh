#!/usr/bin/env bash
# Checks panelhost's zip for a studio engineer's PC: it holds exactly
# panelhost.exe, its readme, the layout, the default device table and the
# shipped scenarios; panelhost.exe is the very program the build made and
# passes check_exe.sh; the other files are the project's own, byte for byte
# (the scenarios with Windows line endings, every line); the readme has
# Windows line endings and says how to start.
#
# Usage: check_panelhost_package.sh LLVM_READOBJ ZIP BUILT_EXE MACHINE VERSION
set -euo pipefail
readobj=$1 zip=$2 built_exe=$3 machine=$4 version=$5
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/zip_checks.sh"
project="$(cd "$here/../.." && pwd)"
panel="$project/panels/Studio_A/ZUV_OZo"

# Each file of the zip but the program and the readme, and where it comes from.
declare -A sources=(
  [scr_mons.vesk_ui]="$panel/scr_mons.vesk_ui"
  [default_devices.json]="$project/panelhost/studio/default_devices.json"
)
for scenario in "$panel"/scenarios/*.scenario; do
  sources[scenarios/$(basename "$scenario")]=$scenario
done
expected_files="$(printf '%s\n' panelhost.exe panelhost-readme.txt "${!sources[@]}" | sort)"
readme_says=(
  "panelhost $version" "ZUV_OZo.dll" "ZUV_OZo-$version-win32.zip" "panelhost.exe web ZUV_OZo.dll --open"
  "scenarios\\road_of_one_take.scenario" "Ctrl+C" "127.0.0.1" "--port 0" "default_devices.json"
  "Extract All" ".\\panelhost.exe" "--version" "SHA-256" "32-bit"
)

unpack_zip "$expected_files"

if [ -f "$unpacked/panelhost.exe" ]; then
  cmp -s "$unpacked/panelhost.exe" "$built_exe" || fail "panelhost.exe is not the program the build made ($built_exe)"
  bash "$here/check_exe.sh" "$readobj" "$unpacked/panelhost.exe" "$machine" "$version" >/dev/null ||
    fail "the packed panelhost.exe fails check_exe.sh"
fi
for file in "${!sources[@]}"; do
  [ -f "$unpacked/$file" ] || continue
  if [[ "$file" == scenarios/* ]]; then
    ! grep -qv $'\r$' "$unpacked/$file" || fail "$file must end every line with CR LF"
    sed 's/\r$//' "$unpacked/$file" | cmp -s - "${sources[$file]}" || fail "$file differs from ${sources[$file]}"
  else
    cmp -s "$unpacked/$file" "${sources[$file]}" || fail "$file differs from ${sources[$file]}"
  fi
done

check_readme panelhost-readme.txt "${readme_says[@]}"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$zip"): the checked panelhost.exe ($(stat -c %s "$built_exe") bytes), the project's files, a readme"

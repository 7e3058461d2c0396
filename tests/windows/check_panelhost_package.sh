#!/usr/bin/env bash
# Checks panelhost's zip for a studio engineer's PC: it holds exactly
# panelhost.exe, its readme, and the example panel's layouts, studio table
# and scenarios; panelhost.exe is the very program the build made and
# passes check_exe.sh; the other files are the project's own, byte for
# byte (the scenarios with Windows line endings, every line); the readme
# has Windows line endings, gives the program's SHA-256 and says how to
# start.
#
# Usage: check_panelhost_package.sh LLVM_READOBJ ZIP BUILT_EXE MACHINE VERSION PANELS.txt
#   PANELS.txt: the build's list of panels; the first is the example.
set -euo pipefail
readobj=$1 zip=$2 built_exe=$3 machine=$4 version=$5 panels=$6
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/zip_checks.sh"
project="$(cd "$here/../.." && pwd)"
IFS=$'\t' read -r example folder plugin description <"$panels"
panel="$project/$folder"

# Each file of the zip but the program and the readme, and where it comes from.
declare -A sources=([studio.json]="$panel/studio.json")
for layout in "$panel"/*.vesk_ui; do
  sources[$(basename "$layout")]=$layout
done
for scenario in "$panel"/scenarios/*.scenario; do
  sources[scenarios/$(basename "$scenario")]=$scenario
done
expected_files="$(printf '%s\n' panelhost.exe panelhost-readme.txt "${!sources[@]}" | sort)"
first_scenario="$(cd "$panel/scenarios" && ls *.scenario | head -1)"
readme_says=(
  "panelhost $version" "$example.dll" "$example-$version-win32.zip" "panelhost.exe web $example.dll --open"
  "scenarios\\$first_scenario" "Ctrl+C" "127.0.0.1" "--port 0" "studio.json"
  "Extract All" ".\\panelhost.exe" "--version" "SHA-256" "32-bit"
)

unpack_zip "$expected_files"

if [ -f "$unpacked/panelhost.exe" ]; then
  cmp -s "$unpacked/panelhost.exe" "$built_exe" || fail "panelhost.exe is not the program the build made ($built_exe)"
  bash "$here/check_exe.sh" "$readobj" "$unpacked/panelhost.exe" "$machine" "$version" >/dev/null ||
    fail "the packed panelhost.exe fails check_exe.sh"
  readme_says+=("  $(sha256sum "$unpacked/panelhost.exe" | cut -d' ' -f1)  panelhost.exe")
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

#!/usr/bin/env bash
# Checks the deployable zip of the Windows build: it holds exactly the DLL
# and its readme; the DLL is the very file the build's tests checked and
# passes check_dll.sh again; the readme has Windows line endings and names
# every control, device, command and property the panel uses.
#
# Usage: check_package.sh LLVM_READOBJ ZIP BUILT_DLL MACHINE VERSION
set -euo pipefail
readobj=$1 zip=$2 built_dll=$3 machine=$4 version=$5
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/zip_checks.sh"

expected_files="ZUV_OZo-readme.txt
ZUV_OZo.dll"
readme_names=(
  GrpSelect SourceSel Mon_1 Mon_2 Mon_3 BG_Mon1 BG_Mon3 VID_1 VID_2 VID_3
  "ZIR VESK Packager" "ZIR SDI Router" 410 411 412 77 79 scr_mons.vesk_ui
  "SD '" "PS '" "TP '" "RC " "ET 1 250" "RR " "RP " "RU " AS
  myParam instance return=all return=myParam _events _commands
  "layout tools" "not a file for the studio" "Extract All" ".\\panelhost.exe" Get-FileHash
)

unpack_zip "$expected_files"

if [ -f "$unpacked/ZUV_OZo.dll" ]; then
  cmp -s "$unpacked/ZUV_OZo.dll" "$built_dll" || fail "ZUV_OZo.dll is not the DLL the build checked ($built_dll)"
  bash "$here/check_dll.sh" "$readobj" "$unpacked/ZUV_OZo.dll" "$machine" "$version" >/dev/null ||
    fail "the packed ZUV_OZo.dll fails check_dll.sh"
fi

check_readme ZUV_OZo-readme.txt "${readme_names[@]}"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$zip"): the checked DLL and a readme naming every control, device, command and property"

#!/usr/bin/env bash
# Checks a panel's deployable zip: it holds exactly the DLL and its readme;
# the DLL is the very file the build's tests checked and passes check_dll.sh
# again; the readme has Windows line endings, gives the DLL's SHA-256 and
# names every control, device, command and property the panel uses.
#
# Usage: check_package.sh LLVM_READOBJ ZIP BUILT_DLL MACHINE VERSION PANEL DESCRIPTION [README_WORD...]
set -euo pipefail
readobj=$1 zip=$2 built_dll=$3 machine=$4 version=$5 panel=$6 description=$7
shift 7
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/zip_checks.sh"

expected_files="$panel-readme.txt
$panel.dll"

unpack_zip "$expected_files"

if [ -f "$unpacked/$panel.dll" ]; then
  cmp -s "$unpacked/$panel.dll" "$built_dll" || fail "$panel.dll is not the DLL the build checked ($built_dll)"
  bash "$here/check_dll.sh" "$readobj" "$unpacked/$panel.dll" "$machine" "$version" "$panel" "$description" \
    >/dev/null || fail "the packed $panel.dll fails check_dll.sh"
  sha="$(sha256sum "$unpacked/$panel.dll" | cut -d' ' -f1)"
  check_readme "$panel-readme.txt" "  $sha  $panel.dll"
fi

check_readme "$panel-readme.txt" "$@"

[ $failures -eq 0 ] || exit 1
echo "$(basename "$zip"): the checked DLL and a readme giving its SHA-256 and naming every control, device, command" \
  "and property"

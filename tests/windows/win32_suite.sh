#!/usr/bin/env bash
# Runs inside the VM of tools/win32-vm, under 32-bit Wine, in one boot: the
# host built in Microsoft's C++ ABI against the DLL, then each unit-test
# program once. Prints the SHA-256 of the DLL it ran, so that the caller can
# hold it against the shipped one. Exits 1 when any program failed.
#
# Usage: win32_suite.sh HOST.exe DLL UNIT_TEST_PROGRAMS.txt (one path a line)
set -u
host=$1 dll=$2 programs=$3
failed=()

run() {
  echo "---- $(basename "$1")"
  local status=0
  wine "$@" || status=$?
  [ $status -eq 0 ] || failed+=("$(basename "$1") (status $status)")
}

echo "ran DLL sha256 $(sha256sum <"$dll" | cut -d' ' -f1)"
run "$host" "$dll"
count=0
while read -r program; do
  [ -n "$program" ] || continue
  run "$program" --gtest_brief=1
  count=$((count + 1))
done <"$programs"

if [ ${#failed[@]} -gt 0 ]; then
  echo "failed under 32-bit Wine: ${failed[*]}" >&2
  exit 1
fi
[ $count -gt 0 ] || { echo "no unit-test programs listed in $programs" >&2; exit 1; }
echo "under 32-bit Wine: the host drove $(basename "$dll") and $count unit-test programs passed"

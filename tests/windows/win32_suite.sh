#!/usr/bin/env bash
# Runs inside the VM of tools/win32-vm, under 32-bit Wine, in one boot: the
# host built in Microsoft's C++ ABI against each panel's DLL, then each
# unit-test program once. Prints the SHA-256 of each DLL it ran, so that the
# caller can hold it against the shipped one. Exits 1 when any program
# failed.
#
# Usage: win32_suite.sh HOST.exe HOST_RUNS.txt UNIT_TEST_PROGRAMS.txt
#   HOST_RUNS.txt: one line per DLL, tab-separated: "road" (the example's
#   whole road) or "--any", the DLL, the panel's name and its description.
#   UNIT_TEST_PROGRAMS.txt: one path a line.
set -u
host=$1 host_runs=$2 programs=$3
failed=()

run() {
  echo "---- $(basename "$1")"
  local status=0
  wine "$@" || status=$?
  [ $status -eq 0 ] || failed+=("$(basename "$1") $2 (status $status)")
}

dlls=0
while IFS=$'\t' read -r road dll panel description; do
  echo "ran $(basename "$dll") sha256 $(sha256sum <"$dll" | cut -d' ' -f1)"
  if [ "$road" = road ]; then
    run "$host" "$dll" "$panel" "$description"
  else
    run "$host" "$road" "$dll" "$panel" "$description"
  fi
  dlls=$((dlls + 1))
done <"$host_runs"
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
[ $dlls -gt 0 ] || { echo "no DLLs listed in $host_runs" >&2; exit 1; }
[ $count -gt 0 ] || { echo "no unit-test programs listed in $programs" >&2; exit 1; }
echo "under 32-bit Wine: the host drove $dlls panel DLL(s) and $count unit-test programs passed"

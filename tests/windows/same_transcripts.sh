#!/usr/bin/env bash
# Runs each scenario with the Linux panelhost and the .so, and with
# panelhost.exe and the DLL under wine64, and requires the same transcript
# byte for byte once line endings (CR LF) and the plug-in's path are set
# aside. Prints how long each run took.
#
# Usage: same_transcripts.sh LINUX_PANELHOST LINUX_PLUGIN WINE_PREFIX PANELHOST_EXE DLL SCENARIO...
#   WINE_PREFIX is the wine prefix for tools/wine64-run (made on first use).
set -euo pipefail
linux=$1 so=$2 prefix=$3 exe=$4 dll=$5
shift 5
here="$(cd "$(dirname "$0")" && pwd)"
wine64_run="$here/../../tools/wine64-run"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

# The transcript with the plug-in's path and folder as PLUGIN and FOLDER.
paths_aside() {
  local text plugin=$2
  text="$(tr -d '\r' <"$1")"
  text="${text//"$plugin"/PLUGIN}"
  printf '%s\n' "${text//"$(dirname "$plugin")"/FOLDER}"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Milliseconds as seconds with two decimals.
seconds() { printf '%d.%02d' $(($1 / 1000)) $((($1 % 1000) / 10)); }

failures=0
wine_total=0
linux_total=0
for scenario in "$@"; do
  name="$(basename "$scenario")"
  start=$(now_ms)
  "$linux" run "$so" --script "$scenario" >"$out/linux" || { echo "FAIL: $name fails on Linux"; failures=$((failures + 1)); }
  linux_ms=$(($(now_ms) - start))
  start=$(now_ms)
  "$wine64_run" "$prefix" "$exe" run "$dll" --script "$scenario" >"$out/wine" ||
    { echo "FAIL: $name fails under wine64"; failures=$((failures + 1)); }
  wine_ms=$(($(now_ms) - start))
  linux_total=$((linux_total + linux_ms))
  wine_total=$((wine_total + wine_ms))
  if cmp -s <(paths_aside "$out/linux" "$so") <(paths_aside "$out/wine" "$dll"); then
    echo "$name: the same transcript ($(wc -l <"$out/linux") lines); Linux $(seconds $linux_ms) s," \
      "wine64 $(seconds $wine_ms) s"
  else
    echo "FAIL: $name: the transcripts differ (Linux -, wine64 +):"
    diff <(paths_aside "$out/linux" "$so") <(paths_aside "$out/wine" "$dll") | sed 's/^/    /' || true
    failures=$((failures + 1))
  fi
done
echo "all $# scenarios: Linux $(seconds $linux_total) s, wine64 $(seconds $wine_total) s"
[ $failures -eq 0 ]

#!/usr/bin/env bash
# Runs each scenario with one panelhost and keeps its transcript, for
# same_transcripts.sh: OUT/<scenario's file name>.txt. Prints each run's
# exit status and time, and the total; exits 1 when any run failed.
#
# Usage: run_scenarios.sh PANELHOST PLUGIN OUT SCENARIO...
#   PANELHOST may hold an emulator before the program
#   ("tools/wine64-run PREFIX panelhost.exe", "wine panelhost.exe"); a
#   SCENARIO may be given with '\' as Windows users write it.
set -u
read -r -a panelhost <<<"$1"
plugin=$2 out=$3
shift 3
mkdir -p "$out"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Milliseconds as seconds with two decimals.
seconds() { printf '%d.%02d' $(($1 / 1000)) $((($1 % 1000) / 10)); }

failed=0
total=0
for scenario in "$@"; do
  name="${scenario##*[/\\]}"
  start=$(now_ms)
  "${panelhost[@]}" run "$plugin" --script "$scenario" >"$out/$name.txt" 2>"$out/$name.err"
  status=$?
  took=$(($(now_ms) - start))
  total=$((total + took))
  echo "$name: status $status in $(seconds $took) s"
  if [ $status -ne 0 ]; then
    sed 's/^/    /' "$out/$name.err"
    failed=1
  fi
done
echo "all $# scenarios in $(seconds $total) s"
exit $failed

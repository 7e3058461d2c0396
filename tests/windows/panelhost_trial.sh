#!/usr/bin/env bash
# Runs inside the VM of tools/win32-vm, under 32-bit Wine, in a folder where
# panelhost's zip and the DLL's were unpacked side by side, as the readme
# tells a studio engineer: every shipped scenario, the road of one take
# first, with the scenario paths written as on Windows (transcripts kept in
# transcripts/); then a start-up in a studio without the router, whose
# transcript (debug.txt) must show the plug-in's own debug line. Prints the
# SHA-256 of the DLL and of the program it ran.
#
# Usage: panelhost_trial.sh DEVICES_WITHOUT_THE_ROUTER
set -u
here="$(cd "$(dirname "$0")" && pwd)"
echo "ran ZUV_OZo.dll sha256 $(sha256sum <ZUV_OZo.dll | cut -d' ' -f1)"
echo "ran panelhost.exe sha256 $(sha256sum <panelhost.exe | cut -d' ' -f1)"

scenarios=('scenarios\road_of_one_take.scenario')
for scenario in scenarios/*.scenario; do
  [ "$scenario" = scenarios/road_of_one_take.scenario ] || scenarios+=("${scenario//\//\\}")
done
status=0
bash "$here/run_scenarios.sh" "wine panelhost.exe" ZUV_OZo.dll transcripts "${scenarios[@]}" || status=1

: >empty.scenario
wine panelhost.exe run ZUV_OZo.dll --devices "$1" --script empty.scenario >debug.txt 2>&1 || status=1
if grep -F 'debug: device "ZIR SDI Router" not found' debug.txt; then
  echo "the plug-in's debug line is in the transcript"
else
  echo "FAIL: no debug line of the plug-in in the transcript:" && sed 's/^/    /' debug.txt
  status=1
fi
exit $status

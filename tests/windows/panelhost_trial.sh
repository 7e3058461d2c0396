#!/usr/bin/env bash
# Runs inside the VM of tools/win32-vm, under 32-bit Wine, in a folder that
# holds one folder per panel, where panelhost's zip and the panel's were
# unpacked side by side, as the readme tells a studio engineer: in each,
# every scenario, with the paths written as on Windows (transcripts kept in
# <panel>/transcripts/); then, for the example panel (the first), a
# start-up in a studio without the router, whose transcript (debug.txt)
# must show the plug-in's own debug line.
# Prints the SHA-256 of each DLL and of the program it ran.
#
# Usage: panelhost_trial.sh DEVICES_WITHOUT_THE_ROUTER PANEL...
set -u
here="$(cd "$(dirname "$0")" && pwd)"
devices="..\\$1"
shift
status=0
example=$1
for panel in "$@"; do
  (
    cd "$panel" || exit 1
    echo "$panel: ran $panel.dll sha256 $(sha256sum <"$panel.dll" | cut -d' ' -f1)"
    echo "$panel: ran panelhost.exe sha256 $(sha256sum <panelhost.exe | cut -d' ' -f1)"
    failed=0
    scenarios=()
    for scenario in scenarios/*.scenario; do scenarios+=("${scenario//\//\\}"); done
    bash "$here/run_scenarios.sh" "wine panelhost.exe" "$panel.dll" transcripts "${scenarios[@]}" || failed=1
    [ "$panel" = "$example" ] || exit $failed

    : >empty.scenario
    wine panelhost.exe run "$panel.dll" --devices "$devices" --script empty.scenario >debug.txt 2>&1 || failed=1
    if grep -F 'debug: device "ZIR SDI Router" not found' debug.txt; then
      echo "$panel: the plug-in's debug line is in the transcript"
    else
      echo "FAIL: $panel: no debug line of the plug-in in the transcript:" && sed 's/^/    /' debug.txt
      failed=1
    fi
    exit $failed
  ) || status=1
done
exit $status

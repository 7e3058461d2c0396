#!/usr/bin/env bash
# A table of bad files given to panelhost: device tables, layouts and
# scenarios that do not parse, do not fit their format, never end or are
# folders, and the odd steps and options around them. Each either stops
# the program with its status and one line naming the file, the place and
# the field, or runs as it should.
# Usage: bad_files.sh PANELHOST PLUGIN LAYOUT
# PANELHOST may hold an emulator before the program ("qemu-i386 panelhost");
# LAYOUT is the panel's shipped layout file.
set -u
read -r -a panelhost <<<"$1"
plugin=$2 layout=$3
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
source "$(dirname "$0")/expect_lines.sh"

empty=$here/empty.scenario
: >"$empty"
devices() {  # devices NAME JSON: a device table file
  printf '%s\n' "$2" >"$here/$1.json"
  echo "$here/$1.json"
}
layouts() {  # layouts NAME TEXT: a layout folder whose scr_mons.vesk_ui holds TEXT
  mkdir -p "$here/$1"
  printf '%s' "$2" >"$here/$1/scr_mons.vesk_ui"
  echo "$here/$1"
}
studio='"devices": [{"name": "ZIR VESK Packager", "number": 9}, {"name": "ZIR SDI Router", "number": 7}]'

# 7. No tally delay: the tally follows the route once the panel's call has
# returned; a delay out of range is refused when the file is read.
printf '%s\n' "press SourceSel 5" "expect RC 9 5 410 ',1' 0" "expect ET 1 250" \
  "expect TP 'text=CAM 5' '1' 'VID_1'" >"$here/no_delay.scenario"
no_delay=$(devices no_delay "$(sed 's/"tallyDelayMs": 20/"tallyDelayMs": 0/' "$(dirname "$plugin")/studio.json")")
passes "panelhost: scenario passed" run "$plugin" --devices "$no_delay" --script "$here/no_delay.scenario"
check 2 "^panelhost: device configuration '.*negative.json': tallyDelayMs must be a whole number from 0 to 10000, not -5$" \
  run "$plugin" --devices "$(devices negative "{\"tallyDelayMs\": -5, $studio}")" --script "$empty"
check 2 "tallyDelayMs must be a whole number from 0 to 10000, not 1e\+300$" \
  run "$plugin" --devices "$(devices huge "{\"tallyDelayMs\": 1e300, $studio}")" --script "$empty"

# 8. A loop of tie lines is refused when the file is read.
check 2 "^panelhost: device configuration '.*loop.json': tie lines loop: \"A\" -> \"B\" -> \"A\"" \
  run "$plugin" --script "$empty" --devices "$(devices loop '{"devices": [
    {"name": "A", "number": 1, "sources": [{"number": 1, "name": "b", "carries": {"device": "B", "dest": 1}}]},
    {"name": "B", "number": 2, "sources": [{"number": 1, "name": "a", "carries": {"device": "A", "dest": 1}}]}]}')"

# 9. A layout that does not parse or fit stops every mode; a missing one is
# a warning naming the folder; a folder is no scenario.
truncated=$(layouts truncated "$(head -c 300 "$layout")")
check 2 "^panelhost: layout '$truncated/scr_mons.vesk_ui': line [0-9]+, column [0-9]+: not JSON: " \
  run "$plugin" --layouts "$truncated" --script "$empty"
check 2 "^panelhost: layout '.*/scr_mons.vesk_ui': line [0-9]+, column [0-9]+: not JSON: " shell "$plugin" --layouts "$truncated"
check 2 "^panelhost: .*layout '.*/scr_mons.vesk_ui': line [0-9]+, column [0-9]+: not JSON: " \
  web "$plugin" --layouts "$truncated" --port 0
check 2 "^panelhost: layout '.*/scr_mons.vesk_ui': columns must be a whole number from 1 to 64, not -2$" \
  run "$plugin" --layouts "$(layouts columns '{"columns": -2, "controls": []}')" --script "$empty"
mkdir -p "$here/no layouts"
passes "note: warning: no layout \"scr_mons.vesk_ui\" in folder \"$here/no layouts\": panel \"1\" shows nothing" \
  run "$plugin" --layouts "$here/no layouts" --script "$empty"
check 2 "^panelhost: cannot read scenario '$here': it is a folder$" run "$plugin" --script "$here"

# 10. Files that never end, and folders, are refused in one line. (Windows
# has no file that never ends, such as /dev/zero: a wine64 run skips it.)
if [[ "${panelhost[-1]}" != *.exe ]]; then
  check 2 "^panelhost: cannot read device configuration '/dev/zero': it is longer than 16 MiB$" \
    run "$plugin" --devices /dev/zero --script "$empty"
fi
check 2 "^panelhost: cannot read device configuration '$here': it is a folder$" run "$plugin" --devices "$here" --script "$empty"

# 11. Numbers are taken whole and in range, in the format's words (the
# other cases are in the devices' and layouts' unit tables).
check 2 "^panelhost: device configuration '.*wrapped.json': devices\[0\].number must be a whole number from 0 to 2147483647, not 4294967305$" \
  run "$plugin" --script "$empty" --devices "$(devices wrapped '{"devices": [{"name": "A", "number": 4294967305}]}')"

# 12. "help" is a step; a bad step's raw bytes are shown escaped; a layout
# folder holding "' '" still shows its layout; a soak of no events is refused.
echo help >"$here/help.scenario"
passes "expect-tally <device> <dest> <text>" run "$plugin" --script "$here/help.scenario"
printf 'jump\033[2J\377\n' >"$here/raw.scenario"
want_lines=2 check 2 "raw.scenario:1: unknown step 'jump\\\\x1b\[2J\\\\xff' \(try 'help'\)$" \
  run "$plugin" --script "$here/raw.scenario"
if grep -q $'\033' "$here/err"; then
  echo "FAIL: a raw escape byte reached the terminal"
  failures=$((failures + 1))
fi
apostrophes="$here/it's a' 'folder"
mkdir -p "$apostrophes" && cp "$layout" "$apostrophes/"
passes "note: showing \"$apostrophes/scr_mons.vesk_ui\" as panel \"1\"" run "$plugin" --layouts "$apostrophes" --script "$empty"
check 2 "^panelhost: --events: Value 0 not in range 1 to " soak "$plugin" --events 0

# 13. Files made to crash a reader: a number no double holds in a field
# nothing reads, a 400-digit one in a layout, a key given twice, 60,000
# levels of nesting where a name is expected, and a chain of tie lines
# through 30,000 devices (read, and a take along it reaching every tally).
beyond="is a number beyond the range of a double"
check 2 "^panelhost: device configuration '.*huge_spare.json': spare $beyond: 1e400$" \
  run "$plugin" --devices "$(devices huge_spare "{\"spare\": 1e400, $studio}")" --script "$empty"
digits=$(printf '%0400d' 0 | tr 0 9)
long_number=$(layouts long_number "{\"controls\": [{\"id\": \"a\", \"kind\": \"label\", \"area\": [$digits, 1, 1, 1]}]}")
check 2 "^panelhost: layout '.*/scr_mons.vesk_ui': controls\[0\].area\[0\] $beyond: 9{40}\.\.\.$" \
  run "$plugin" --layouts "$long_number" --script "$empty"
check 2 "^panelhost: device configuration '.*twice.json': devices\[1\].number is given twice$" \
  run "$plugin" --script "$empty" \
  --devices "$(devices twice '{"devices": [{"name": "A", "number": 1}, {"name": "B", "number": 2, "number": 3}]}')"
nested=$(printf '%060000d' 0 | tr 0 '[')$(printf '%060000d' 0 | tr 0 ']')
check 2 "^panelhost: device configuration '.*deep.json': devices\[0\].name(\[0\]){5}\.\.\. holds lists or objects nested" \
  run "$plugin" --script "$empty" --devices "$(devices deep "{\"devices\": [{\"name\": $nested}]}")"
awk 'BEGIN {
  printf "{\"tallyDelayMs\": 0, \"devices\": [{\"name\": \"ZIR VESK Packager\", \"number\": 9, "
  printf "\"sources\": [{\"number\": 5, \"name\": \"CAM 5\"}]}"
  for (k = 1; k <= 30000; k++) {
    printf ", {\"name\": \"D%d\", \"number\": %d, \"sources\": [{\"number\": 1, \"name\": \"T\", ", k, 100 + k
    if (k == 1) printf "\"carries\": {\"device\": \"ZIR VESK Packager\", \"dest\": 410}}]"
    else printf "\"carries\": {\"device\": \"D%d\", \"dest\": 1}}]", k - 1
    printf ", \"crosspoints\": {\"1\": 1}}"
  }
  printf ", {\"name\": \"ZIR SDI Router\", \"number\": 7}]}\n"
}' >"$here/chain.json"
printf '%s\n' "press SourceSel 5" "expect RC 9 5 410 ',1' 0" 'expect-tally D30000 1 CAM 5' >"$here/chain.scenario"
passes "panelhost: scenario passed" run "$plugin" --devices "$here/chain.json" --script "$here/chain.scenario"

[ "$failures" -eq 0 ] && echo "all bad-file checks passed"
exit $((failures > 0))

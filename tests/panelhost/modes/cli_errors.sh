#!/usr/bin/env bash
# Tries panelhost the ways a new user gets it wrong: each mistake must give
# the expected exit status and exactly one clear line on standard error.
# Then the shell on piped input, and the web mode worked by a client here.
# Usage: cli_errors.sh PANELHOST PLUGIN ROGUE_PLUGIN NO_EXPORT_PLUGIN SCENARIO_DIR
# PANELHOST may hold an emulator before the program ("qemu-i386 panelhost",
# "tools/wine64-run PREFIX panelhost.exe"); its lines may end in CR LF.
set -u
read -r -a panelhost <<<"$1"
plugin=$2 rogue=$3 noexport=$4 scenarios=$5
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
echo '{"devices": [' > "$here/broken.json"
source "$(dirname "$0")/expect_lines.sh"

check 2 '^panelhost: A subcommand is required'
check 2 '^panelhost: .*fly'                                 fly
check 2 '^panelhost: PLUGIN is required'                    run --script "$scenarios/empty.scenario"
check 2 '^panelhost: --script is required'                  run "$plugin"
check 2 "^panelhost: cannot read scenario 'nowhere.scenario': no such file$" run "$plugin" --script nowhere.scenario
check 2 "^panelhost: cannot open plug-in '/no/such.so': no such file" run /no/such.so --script "$scenarios/empty.scenario"
check 2 "^panelhost: cannot load plug-in '.*empty.scenario'"  run "$scenarios/empty.scenario" --script "$scenarios/empty.scenario"
check 2 'is not a script panel plug-in: it has no export load_vesk_client_script$' run "$noexport" --script "$scenarios/empty.scenario"
check 2 'load_vesk_client_script returned no panel$'        run "$rogue" --layouts no-panel --script "$scenarios/empty.scenario"
check 2 "^panelhost: device configuration '.*broken.json': line 2, column 1: not JSON: " run "$plugin" --devices "$here/broken.json" --script "$scenarios/empty.scenario"
check 2 "^panelhost: cannot read device configuration '/no/devices.json': no such file$" run "$plugin" --devices /no/devices.json --script "$scenarios/empty.scenario"
check 1 "failing_expectation.scenario:3: failed: expected \"RC 9 5 411 ',1' 0\", but the next command was \"RC 9 5 410 ',1' 0\"" run "$plugin" --script "$scenarios/failing_expectation.scenario"
# Each expectation step fails when what it checks is not so: the run stops
# there with status 1 and the step's message. expect-none after a take has
# one command, ET, still unmatched.
expect_fails() {  # expect_fails NAME PATTERN STEP...: a scenario of STEPs whose last one fails
  local name=$1 pattern=$2
  shift 2
  printf '%s\n' "$@" >"$here/$name.scenario"
  check 1 "^$here/$name.scenario:$#: failed: $pattern\$" run "$plugin" --script "$here/$name.scenario"
}
expect_fails none "expected no further command, but \"ET 1 250\" was sent" \
  "press SourceSel 5" "expect RC 9 5 410 ',1' 0" "expect-none"
expect_fails answer 'expected the answer "myParam=x", got "myParam="' "property return=all" "expect-answer myParam=x"
expect_fails unasked 'no property was asked for yet' "expect-answer none"
expect_fails property 'expected VID_1 text "CAM 6", got "CAM 5"' "press SourceSel 5" "wait 20" "expect-property VID_1 text CAM 6"
expect_fails no_control 'the shown layout has no control "VID_9"' "expect-property VID_9 text CAM 6"
expect_fails crosspoint 'expected ZIR VESK Packager destination 410 to take 6, it takes 5' \
  "press SourceSel 5" 'expect-crosspoint "ZIR VESK Packager" 410 6'
expect_fails no_device 'expect-crosspoint takes a device, a destination and a source number' "expect-crosspoint 99 410 6"
expect_fails tally 'expected ZIR SDI Router destination 77 to show "CAM 6", it shows "CAM 5"' \
  "press SourceSel 5" "wait 20" 'expect-tally "ZIR SDI Router" 77 CAM 6'
check 1 "bad_step.scenario:2: unknown step 'jump'"           run "$plugin" --script "$scenarios/bad_step.scenario"
check 1 '^panelhost: the panel broke the host.s rules: reply "7 0" was never handed back' run "$rogue" --layouts keep-reply --script "$scenarios/empty.scenario"
check 2 '^panelhost: cannot open plug-in'                    shell /no/such.so

# A scenario saved with Windows line endings runs as it reads.
printf "press SourceSel 5\r\nexpect RC 9 5 410 ',1' 0\r\n" >"$here/crlf.scenario"
passes "crlf.scenario:2: expect RC 9 5 410 ',1' 0" run "$plugin" --script "$here/crlf.scenario"
grep -qx "crlf.scenario:1: press SourceSel 5" "$here/out" || failed "a scenario's CR is shown: $(grep -a ':1: ' "$here/out")"
# So does one saved with CR alone (old Mac line ends): three lines, the
# third failing, named by its number.
printf "press SourceSel 5\rexpect RC 9 5 410 ',1' 0\rexpect-none\r" >"$here/cr.scenario"
check 1 "^$here/cr.scenario:3: failed: expected no further command, but \"ET 1 250\" was sent\$" \
  run "$plugin" --script "$here/cr.scenario"

# The shell on piped input: a take, then real time passes and the highlight
# clears; a mistake is reported once, not again on the blank lines after it;
# a line may end in CR LF.
printf 'press SourceSel 5\nwait 300\nbogus\n\n\nquit\r\n' | "${panelhost[@]}" shell "$plugin" >"$here/shell" 2>&1
status=$?
unix_lines "$here/shell"
if [ "$(grep -c '^error: ' "$here/shell")" -ne 1 ]; then
  echo "FAIL: the shell reported $(grep -c '^error: ' "$here/shell") errors for one mistake"
  failures=$((failures + 1))
fi
for want in "<- RC 9 5 410 ',1' 0" "<- TP 'text=CAM 5' '1' 'VID_1'" "<- TP 'index=0' '1' 'SourceSel'" \
            "lit: none" "error: unknown step 'bogus'" "<- AS"; do
  if ! grep -qF "$want" "$here/shell"; then
    echo "FAIL: the shell's output lacks: $want"
    failures=$((failures + 1))
  fi
done
if [ "$status" -ne 0 ]; then
  echo "FAIL: the shell ended with status $status"
  failures=$((failures + 1))
fi

# A line longer than the shell keeps (here 200,000 bytes, no step) is
# skipped with one error, and the lines after it are read as before.
{ head -c 200000 /dev/zero | tr '\0' x; printf '\npress SourceSel 5\n'; head -c 100000 /dev/zero | tr '\0' y; } |
  "${panelhost[@]}" shell "$plugin" >"$here/shell" 2>&1
status=$?
unix_lines "$here/shell"
if [ "$status" -ne 0 ] || [ "$(grep -c '^error: a line longer than 64 KiB was skipped$' "$here/shell")" -ne 2 ] ||
   ! grep -qF "<- RC 9 5 410 ',1' 0" "$here/shell" || grep -q 'xxxx\|yyyy' "$here/shell"; then
  failed "the shell on over-long lines ended $status with: $(grep -a '^error' "$here/shell" | cut -c1-80)"
fi

# The web mode, in the builds that have it (all with Boost.Beast headers):
# the same plug-in errors, a bad port, and on any free port a second server
# on that port is refused, a client here gets the page and presses CAM 5,
# --open hands the page's address to the system's opener (xdg-open on PATH
# here; under wine, ShellExecuteW reaches it through winebrowser), and
# SIGINT deletes the panel before the first one ends (even started in the
# background, where the shell hands it SIGINT ignored; under wine it is
# Windows' Ctrl+C).
web_checks() {
  check 2 "^panelhost: cannot open plug-in '/no/such.so': no such file" web /no/such.so
  check 2 '^panelhost: --port: Value 99999 not in range 0 to 65535' web "$plugin" --port 99999
  check 2 'load_vesk_client_script returned no panel$'        web "$rogue" --layouts no-panel --port 0

  mkdir -p "$here/bin"
  printf '#!/bin/sh\necho "$1" >"%s/opened"\n' "$here" >"$here/bin/xdg-open"
  chmod +x "$here/bin/xdg-open"
  PATH="$here/bin:$PATH" "${panelhost[@]}" web "$plugin" --port 0 --open >"$here/web" 2>&1 &
  local web=$! port status
  for _ in $(seq 400); do grep -q 'http://127.0.0.1:[0-9]*/' "$here/web" && break; sleep 0.05; done
  port=$(sed -n 's|^panelhost web: serving [^ ]* on http://127.0.0.1:\([0-9]*\)/ .*|\1|p' "$here/web")
  if [ -z "$port" ]; then
    echo "FAIL: panelhost web printed no address:"
    sed 's/^/    /' "$here/web"
    failures=$((failures + 1))
  else
    check 2 "^panelhost: port $port is in use \(try --port 0 for any free port\)$" web "$plugin" --port "$port"
    local site="http://127.0.0.1:$port" answer
    curl -sSf --max-time 10 "$site/" | grep -qi '<html' || failed "GET $site/ gave no page"
    answer=$(curl -sSf --max-time 10 -H "Origin: $site" -H 'Content-Type: application/json' \
      -d '{"control": "SourceSel", "choice": "5"}' "$site/api/press")
    grep -qF '"index=5"' <<<"$answer" || failed "POST $site/api/press answered: $answer"
    for _ in $(seq 100); do grep -qF "<- RC 9 5 410 ',1' 0" "$here/web" && break; sleep 0.05; done
    grep -qF "<- RC 9 5 410 ',1' 0" "$here/web" || failed "the press on the page routed nothing"
    for _ in $(seq 200); do [ -s "$here/opened" ] && break; sleep 0.05; done
    [ "$(cat "$here/opened" 2>/dev/null)" = "$site/" ] || failed "--open did not hand $site/ to xdg-open"
  fi
  kill -INT "$web"
  wait "$web"
  status=$?
  unix_lines "$here/web"
  if [ "$status" -ne 0 ] || ! tail -2 "$here/web" | tr '\n' '|' | grep -Eq '<- RU 7\|.*<- AS\|$'; then
    echo "FAIL: panelhost web ended with status $status, and not with RU 7 then AS:"
    tail -3 "$here/web" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}
if "${panelhost[@]}" web /no/such.so 2>&1 | grep -q 'not in this build'; then
  echo "panelhost web is not in this build: its checks are skipped"
else
  web_checks
fi

[ "$failures" -eq 0 ] && echo "all command-line checks passed"
exit $((failures > 0))

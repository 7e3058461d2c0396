#!/usr/bin/env bash
# Tries panelhost the ways a new user gets it wrong: each mistake must give
# the expected exit status and exactly one clear line on standard error.
# Then the shell on piped input, and the web mode worked by a client here.
# Usage: cli_errors.sh PANELHOST PLUGIN ROGUE_PLUGIN NO_EXPORT_PLUGIN SCENARIO_DIR
# PANELHOST may hold an emulator before the program ("qemu-i386 panelhost",
# "tools/wine64-run PREFIX panelhost.exe"); its lines may end in CR LF. The
# checks run in a scratch folder: every path given must be absolute.
set -u
read -r -a panelhost <<<"$1"
plugin=$2 rogue=$3 noexport=$4 scenarios=$5
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
echo '{"devices": [' > "$here/broken.json"
source "$(dirname "$0")/expect_lines.sh"
# The rogue plug-in reads its breach from the layout folder's name, and a
# --layouts folder must be there: they are made here, and run from here.
mkdir -p "$here/no-panel" "$here/keep-reply"
cd "$here" || exit 1

check 2 '^panelhost: A subcommand is required'
check 2 '^panelhost: .*fly'                                 fly
check 2 '^panelhost: PLUGIN is required'                    run --script "$scenarios/empty.scenario"
check 2 '^panelhost: --script is required'                  run "$plugin"
check 2 "^panelhost: cannot read scenario 'nowhere.scenario': no such file$" run "$plugin" --script nowhere.scenario
check 2 "^panelhost: cannot open plug-in '/no/such.so': no such file" run /no/such.so --script "$scenarios/empty.scenario"
# A file that is no library; a Windows panelhost says it is no Windows DLL
# (LoadLibrary's error 193, read from the file's header).
not_dll=''
[[ "${panelhost[-1]}" == *.exe ]] && not_dll=': empty.scenario is not a Windows DLL \(error 193\)$'
check 2 "^panelhost: cannot load plug-in '.*empty.scenario'$not_dll" run "$scenarios/empty.scenario" --script "$scenarios/empty.scenario"
check 2 'is not a script panel plug-in: it has no export load_vesk_client_script$' run "$noexport" --script "$scenarios/empty.scenario"
check 2 'load_vesk_client_script returned no panel$'        run "$rogue" --layouts no-panel --script "$scenarios/empty.scenario"
check 2 "^panelhost: device configuration '.*broken.json': line 2, column 1: not JSON: " run "$plugin" --devices "$here/broken.json" --script "$scenarios/empty.scenario"
check 2 "^panelhost: cannot read device configuration '/no/devices.json': no such file$" run "$plugin" --devices /no/devices.json --script "$scenarios/empty.scenario"
# A scenario's first step names its studio, relative to the scenario; a
# table that is not there stops it before anything runs; anywhere else the
# step is too late.
printf '# a comment first\nstudio no/such.json\n' >"$here/missing_studio.scenario"
check 2 "^panelhost: cannot read device configuration '.*no/such.json': no such file$" run "$plugin" --script "$here/missing_studio.scenario"
printf 'wait 1\nstudio ../studio.json\n' >"$here/late_studio.scenario"
check 1 "late_studio.scenario:2: failed: studio is only a scenario's first step" run "$plugin" --script "$here/late_studio.scenario"
# With no table given and none beside the plug-in: an empty studio, said so.
cp "$plugin" "$here/"
"${panelhost[@]}" run "$here/$(basename "$plugin")" --script "$scenarios/empty.scenario" >"$here/out" 2>"$here/err"
status=$?
unix_lines "$here/err"
[ $status -eq 0 ] && grep -q "no studio table given and no studio.json beside the plug-in: an empty studio" "$here/err" ||
  failed "a plug-in alone ran with status $status and said: $(head -3 "$here/err")"
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
# A device the studio does not have is found before anything runs.
printf '%s\n' "expect-crosspoint 99 410 6" >"$here/no_device.scenario"
want_lines=2 check 2 'no_device.scenario:1: no device "99"$' run "$plugin" --script "$here/no_device.scenario"
expect_fails tally 'expected ZIR SDI Router destination 77 to show "CAM 6", it shows "CAM 5"' \
  "press SourceSel 5" "wait 20" 'expect-tally "ZIR SDI Router" 77 CAM 6'
want_lines=2 check 2 "bad_step.scenario:2: unknown step 'jump'"  run "$plugin" --script "$scenarios/bad_step.scenario"
check 2 "^panelhost: --layouts '/no/layouts' is not a folder: there is no such folder$" \
  run "$plugin" --layouts /no/layouts --script "$scenarios/empty.scenario"
check 1 '^panelhost: the panel broke the host.s rules: reply "7 0" was never handed back' run "$rogue" --layouts keep-reply --script "$scenarios/empty.scenario"
check 2 '^panelhost: cannot open plug-in'                    shell /no/such.so

# A scenario is checked whole before anything runs: every mistake is listed
# with its line, then one line says nothing was run (status 2, not a
# failed expectation's 1).
printf '%s\n' 'press SourceSel 5' 'expect-tally "ZIR SDI Routr" 77 CAM 5' 'wait soon' '# fine' 'jump 3' \
  >"$here/three.scenario"
want_lines=4 check 2 "^panelhost: 3 mistakes in scenario '.*three.scenario': nothing was run$" \
  run "$plugin" --script "$here/three.scenario"
for want in 'three.scenario:2: no device "ZIR SDI Routr"' \
            'three.scenario:3: "soon" is not a number of milliseconds (<ms>)' \
            "three.scenario:5: unknown step 'jump' (try 'help')"; do
  grep -qF "$want" "$here/err" || failed "the three mistakes' report lacks: $want"
done
[ -s "$here/out" ] && failed "a scenario with mistakes ran: $(head -3 "$here/out")"

# Scenarios as Windows tools save them: UTF-8 with a byte-order mark, and
# UTF-16 with one (Notepad's "Unicode", PowerShell 5's >); UTF-16 without
# a mark is refused in one line.
take="# CAM 5\r\npress SourceSel 5\r\nexpect RC 9 5 410 ',1' 0\r\n"
printf "\xef\xbb\xbf$take" >"$here/bom.scenario"
passes "bom.scenario:3: expect RC 9 5 410 ',1' 0" run "$plugin" --script "$here/bom.scenario"
{ printf '\xff\xfe'; printf "$take" | iconv -f UTF-8 -t UTF-16LE; } >"$here/utf16.scenario"
passes "utf16.scenario:3: expect RC 9 5 410 ',1' 0" run "$plugin" --script "$here/utf16.scenario"
printf "$take" | iconv -f UTF-8 -t UTF-16LE >"$here/unmarked.scenario"
check 2 "^panelhost: cannot read scenario '.*unmarked.scenario': it holds a NUL byte at byte 2 .*: save it as UTF-8$" \
  run "$plugin" --script "$here/unmarked.scenario"

# Which panelhost, and which plug-in: its path, version and SHA-256 on the banner.
"${panelhost[@]}" --version >"$here/out" 2>&1
grep -Eq '^panelhost [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+ \((32|64)-bit (Linux|Windows) program\)' "$here/out" ||
  failed "panelhost --version said: $(cat "$here/out")"
passes "ZUV_OZo.$([[ "${panelhost[-1]}" == *.exe ]] && echo dll || echo so), version " \
  run "$plugin" --script "$scenarios/empty.scenario"
grep -q "^panelhost: plug-in .*, SHA-256 $(sha256sum "$plugin" | cut -d' ' -f1)\$" "$here/out" ||
  failed "the banner does not give the plug-in's SHA-256: $(grep -a 'SHA-256' "$here/out")"
# A DLL's version is its version resource's; a shared object's, the build's.
version_follows=' \(this build.s; '
[[ "${panelhost[-1]}" == *.exe ]] && version_follows=', SHA-256'
grep -Eq "^panelhost: plug-in .*, version [0-9]+(\.[0-9]+){3}$version_follows" "$here/out" ||
  failed "the banner does not give the plug-in's version: $(grep -a 'SHA-256' "$here/out")"

# The zips unpacked by Explorer into two folders: the layout beside
# panelhost is found, and said so; found nowhere, a failed expectation
# repeats why.
mkdir -p "$here/program" "$here/plugin"
cp "${panelhost[-1]}" "$here/program/"
cp "$(dirname "$plugin")/scr_mons.vesk_ui" "$(dirname "$plugin")/studio.json" "$here/program/"
cp "$plugin" "$here/plugin/"
apart=("${panelhost[@]}")
apart[-1]="$here/program/$(basename "${panelhost[-1]}")"
# The studio comes with panelhost, named by the scenario as the shipped ones name it.
printf "studio program/studio.json\npress SourceSel 5\nexpect RC 9 5 410 ',1' 0\n" >"$here/take.scenario"
before=("${panelhost[@]}")
panelhost=("${apart[@]}")
passes 'note: layout "scr_mons.vesk_ui" found beside panelhost: ' \
  run "$here/plugin/$(basename "$plugin")" --script "$here/take.scenario"
panelhost=("${before[@]}")
want_lines=2 check 1 'warning: no layout "scr_mons.vesk_ui" beside the plug-in \(.*\), beside panelhost \(.*\) or in the current folder' \
  run "$here/plugin/$(basename "$plugin")" --script "$here/take.scenario"
grep -q "take.scenario:3: failed: expected" "$here/err" || failed "no failed expectation before the layout's warning"

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
printf 'press SourceSel 5\nwait 300\nbogus\n\n\npress SourceSel 12\npress SourceSel 99\nquit\r\n' | "${panelhost[@]}" shell "$plugin" >"$here/shell" 2>&1
status=$?
unix_lines "$here/shell"
if [ "$(grep -c '^error: ' "$here/shell")" -ne 1 ]; then
  echo "FAIL: the shell reported $(grep -c '^error: ' "$here/shell") errors for one mistake"
  failures=$((failures + 1))
fi
for want in "<- RC 9 5 410 ',1' 0" "<- TP 'text=CAM 5' '1' 'VID_1'" "<- TP 'index=0' '1' 'SourceSel'" \
            "lit: none" "error: unknown step 'bogus'" "<- AS" \
            "note: source 12 is not on the page list \"SourceSel\" shows (page 1, \"Cameras\")" \
            "note: \"ZIR VESK Packager\" has no source 99: sent all the same" "-> control SourceSel \"index=99\""; do
  if ! grep -qF -- "$want" "$here/shell"; then
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
# SIGINT deletes the panel before the first one ends, with the stop's status (even started in the
# background, where the shell hands it SIGINT ignored; under wine it is
# Windows' Ctrl+C).
# Ctrl+C ends a run with 128 + SIGINT; a Windows program ends with
# STATUS_CONTROL_C_EXIT, of which wine hands on the low byte (0x3A).
stop_status=130
[[ "${panelhost[*]}" == *wine* ]] && stop_status=58
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
    answer=$(curl -sSf --max-time 10 "$site/api/state")
    grep -qF "\"sha256\":\"$(sha256sum "$plugin" | cut -d' ' -f1)\"" <<<"$answer" ||
      failed "GET $site/api/state does not give the plug-in's SHA-256: ${answer:0:300}"
    for _ in $(seq 100); do grep -qF "<- RC 9 5 410 ',1' 0" "$here/web" && break; sleep 0.05; done
    grep -qF "<- RC 9 5 410 ',1' 0" "$here/web" || failed "the press on the page routed nothing"
    for _ in $(seq 200); do [ -s "$here/opened" ] && break; sleep 0.05; done
    [ "$(cat "$here/opened" 2>/dev/null)" = "$site/" ] || failed "--open did not hand $site/ to xdg-open"
  fi
  kill -INT "$web"
  wait "$web"
  status=$?
  unix_lines "$here/web"
  if [ "$status" -ne "$stop_status" ] || ! tail -2 "$here/web" | tr '\n' '|' | grep -Eq '<- RU 7\|.*<- AS\|$'; then
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

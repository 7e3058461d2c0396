#!/usr/bin/env bash
# The plug-in's trace, end to end: every shipped scenario run with --trace,
# its transcript replayed against the same build (it must match) and saved
# as a scenario (which must pass); the same trace replayed against a build
# with a planted change (it must name the first differing command); a log
# with two panels, and one with no trace.
# Usage: trace_replay.sh PANELHOST PLUGIN PLANTED_PLUGIN SCENARIO...
set -u
read -r -a panelhost <<<"$1"
plugin=$2 planted=$3
shift 3
here=$(mktemp -d)
trap 'rm -rf "$here"' EXIT
source "$(dirname "$0")/expect_lines.sh"

for scenario in "$@"; do
  name=$(basename "$scenario" .scenario)
  "${panelhost[@]}" run "$plugin" --trace --script "$scenario" >"$here/$name.log" 2>"$here/err"
  status=$?
  unix_lines "$here/$name.log"
  first='^  \[ *[0-9]* ms\] debug: VESK-TRACE ZUV_OZo 1 1 [0-9]* \. new '
  if [ "$status" -ne 0 ] || ! grep -q "$first" "$here/$name.log"; then
    failed "$name with --trace: status $status, or no trace in its transcript"
    continue
  fi
  # Nothing on the wire changes: the transcript without its debug lines is the run's without --trace.
  "${panelhost[@]}" run "$plugin" --script "$scenario" >"$here/$name.plain" 2>/dev/null
  unix_lines "$here/$name.plain"
  grep -v '\] debug: ' "$here/$name.log" | diff -q - "$here/$name.plain" >/dev/null ||
    failed "$name: --trace changed the transcript beyond its debug lines"
  passes "replay matched" replay "$plugin" --trace "$here/$name.log" --save "$here/$name.saved.scenario"
  events=$(grep -c '\. \(tally\|control\|property\|timer\|release\|event\|delete\)\( \|$\)' "$here/$name.log")
  commands=$(grep -c '\. command ' "$here/$name.log")
  grep -qx "panelhost: replay matched $events events and $commands commands" "$here/out" ||
    failed "$name: the replay did not match all $events events and $commands commands:" \
      "$(grep 'replay matched' "$here/out")"
  passes "panelhost: scenario passed" run "$plugin" --script "$here/$name.saved.scenario"
done

# A build with a planted change: the replay stops at the first command that
# differs, with the event that led to it and both lines.
"${panelhost[@]}" replay "$planted" --trace "$here/road_of_one_take.log" >"$here/out" 2>"$here/err"
status=$?
unix_lines "$here/err"
[ "$status" -eq 1 ] || failed "the replay against the planted change ended with status $status, not 1"
[ "$(wc -l <"$here/err")" -eq 4 ] || failed "the planted change's report is not 4 lines: $(cat "$here/err")"
for want in "panelhost: replay differs at command 14, after the event on line " \
            "  event:    VESK-TRACE ZUV_OZo 1 " ". timer 1" \
            "  recorded: VESK-TRACE ZUV_OZo 1 " ". command 'TP \\'index=0\\' \\'1\\' \\'SourceSel\\'' -" \
            "  replayed: command 'TP \\'index=0\\' \\'1\\' \\'GrpSelect\\''"; do
  grep -qF -- "$want" "$here/err" || failed "the planted change's report lacks: $want"
done
# The saved scenario catches it too, as an ordinary scenario (then says the
# planted build, in the tests' folder, found no layout: the second line).
expected="expected \"TP 'index=0' '1' 'SourceSel'\", but the next command was \"TP 'index=0' '1' 'GrpSelect'\""
want_lines=2 check 1 "road_of_one_take.saved.scenario:[0-9]+: failed: $expected" \
  run "$planted" --script "$here/road_of_one_take.saved.scenario"

# Two panels in one log: the replay asks which, and replays the one chosen.
sed 's/VESK-TRACE ZUV_OZo 1 /VESK-TRACE ZUV_OZo 2 /' "$here/road_of_one_take.log" >"$here/second"
cat "$here/monitor_selection.log" "$here/second" >"$here/two.log"
check 2 '^panelhost: the trace holds 2 panels: ZUV_OZo#1, ZUV_OZo#2; choose one with --panel$' \
  replay "$plugin" --trace "$here/two.log"
passes "replay matched" replay "$plugin" --trace "$here/two.log" --panel 'ZUV_OZo#2'
check 2 '^panelhost: the trace holds no panel Other; it holds ZUV_OZo#1, ZUV_OZo#2$' \
  replay "$plugin" --trace "$here/two.log" --panel Other

# No trace in the log: one clear line.
cp "$here/road_of_one_take.plain" "$here/plain.log"
check 2 'plain.log holds no trace: no line carries "VESK-TRACE" \(was the trace on\? VESK_TRACE=1' \
  replay "$plugin" --trace "$here/plain.log"

# A capture that began after the panel was created cannot be replayed.
grep -v ' 1 1 [0-9]* \. new ' "$here/road_of_one_take.log" >"$here/late.log"
check 2 'does not start where the panel was created' replay "$plugin" --trace "$here/late.log"

# The shell's --trace: the trace's lines in its transcript.
printf 'press SourceSel 5\nquit\n' | "${panelhost[@]}" shell "$plugin" --trace >"$here/shell" 2>&1
unix_lines "$here/shell"
grep -q "debug: VESK-TRACE ZUV_OZo 1 [0-9]* [0-9]* \. control '1' 'SourceSel' 'index=5'$" "$here/shell" ||
  failed "the shell with --trace shows no control record"

# The steps by hand: an answer at the top holds from the panel's creation
# (no router: the panel unregisters device 0); a reply or an event not
# written as the trace writes it is refused.
printf "answer SD 'ZIR SDI Router' -> none\nclose\nexpect RU 0\nexpect AS\n" >"$here/no_router.scenario"
"${panelhost[@]}" run "$plugin" --script "$here/no_router.scenario" >"$here/out" 2>&1 ||
  failed "a scenario answering the router's look-up with none: $(tail -3 "$here/out")"
grep -q 'device "ZIR SDI Router" not found' "$here/out" || failed "the answer none did not reach the panel's look-up"
printf "answer ET 1 250 -> soon\n" >"$here/bad_answer.scenario"
check 1 "bad_answer.scenario:1: failed: the reply must be none, -, a number or a 'text' written as in the trace" \
  run "$plugin" --script "$here/bad_answer.scenario"
printf "deliver tally 7 'CAM 5'\n" >"$here/bad_event.scenario"
check 1 "bad_event.scenario:1: failed: deliver takes control" run "$plugin" --script "$here/bad_event.scenario"

[ "$failures" -eq 0 ] && echo "trace_replay: all checks passed"
exit $((failures > 0))

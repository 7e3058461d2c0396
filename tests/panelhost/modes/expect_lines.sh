# Checks of one panelhost run each, for the command-line tests (sourced):
# they set `failures`, and need `panelhost` (an array: the program, maybe
# after an emulator) and `here` (a scratch folder). A Windows panelhost's
# lines end in CR LF: the checks read them without the CR.
failures=0

# failed MESSAGE...: counts a failure and says what it was.
failed() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Drops the CR of CR LF line endings from the files named.
unix_lines() { sed -i 's/\r$//' "$@"; }

# check STATUS PATTERN ARGS...: runs panelhost ARGS, expects STATUS and one
# stderr line matching PATTERN (an extended regular expression); with
# `want_lines=N check ...`, N lines, one of them matching.
check() {
  local want=$1 pattern=$2
  shift 2
  "${panelhost[@]}" "$@" >"$here/out" 2>"$here/err" </dev/null
  local status=$? lines
  unix_lines "$here/out" "$here/err"
  lines=$(wc -l <"$here/err")
  if [ "$status" -ne "$want" ] || [ "$lines" -ne "${want_lines:-1}" ] || ! grep -Eq "$pattern" "$here/err"; then
    echo "FAIL: panelhost $*"
    echo "  wanted status $want and ${want_lines:-1} line(s), one matching: $pattern"
    echo "  got status $status and $lines line(s), then the output's last lines:"
    sed 's/^/    /' "$here/err"
    tail -5 "$here/out" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

# passes PATTERN ARGS...: runs panelhost ARGS, expects status 0, nothing on
# stderr, and a line of standard output holding PATTERN (fixed text).
passes() {
  local pattern=$1
  shift
  "${panelhost[@]}" "$@" >"$here/out" 2>"$here/err" </dev/null
  local status=$?
  unix_lines "$here/out" "$here/err"
  if [ "$status" -ne 0 ] || [ -s "$here/err" ] || ! grep -qF -- "$pattern" "$here/out"; then
    echo "FAIL: panelhost $*"
    echo "  wanted status 0, no errors, and output holding: $pattern"
    echo "  got status $status; errors and the output's last lines:"
    sed 's/^/    /' "$here/err"
    tail -5 "$here/out" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

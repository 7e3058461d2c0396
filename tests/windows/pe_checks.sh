# What check_dll.sh and check_exe.sh share, sourced by both: reading a PE
# file with llvm-readobj, and the rules every Windows file we ship keeps.
# The caller sets `readobj` (llvm-readobj), `here` (this folder) and `file`
# (the file checked) before calling any of these.

failures=0
# Counts a fault of $file and reports it.
fail() {
  echo "FAIL: $file: $*" >&2
  failures=$((failures + 1))
}

# Names listed in the "Name:" lines of the given block kind (Export, Import)
# of `llvm-readobj --coff-exports --coff-imports` on standard input.
block_names() {
  awk -v kind="$1" '$1 == kind && $2 == "{" { inside = 1; next }
                    inside && $1 == "}" { inside = 0 }
                    inside && $1 == "Name:" { print $2 }'
}

# check_machine HEADERS MACHINE: the file headers (--file-headers) name
# MACHINE, e.g. IMAGE_FILE_MACHINE_I386.
check_machine() {
  grep -Eq "^ *Machine: $2 " <<<"$1" || fail "machine is not $2: $(grep -E '^ *Machine:' <<<"$1" || echo none)"
}

# check_imports IMPORTS ALLOWED...: every DLL in IMPORTS (one a line) must be
# one of ALLOWED, compared without regard to case.
check_imports() {
  local imports=$1 import allowed known
  shift
  [ -n "$imports" ] || fail "imports nothing: the import table was not read"
  for import in $imports; do
    known=0
    for allowed in "$@"; do
      [ "${import,,}" = "${allowed,,}" ] && known=1
    done
    [ $known -eq 1 ] || fail "imports $import, which a studio machine does not have"
  done
}

# check_version_resource EXPECTED: prints the file's version resource, one
# field a line (version_resource.awk), and compares it with EXPECTED.
check_version_resource() {
  local found
  found="$("$readobj" --coff-resources "$file" | awk -f "$here/version_resource.awk")"
  echo "$found"
  if [ "$found" != "$1" ]; then
    fail "version resource differs:"
    diff -u --label expected --label found <(echo "$1") <(echo "$found") >&2 || true
  fi
}

# finish WHAT: exits non-zero with the number of faults, or says that WHAT
# of the file is as expected.
finish() {
  if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$file: $1 as expected"
}

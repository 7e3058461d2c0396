# What check_package.sh and check_panelhost_package.sh share, sourced by
# both: unpacking a zip and checking its files and its readme. The caller
# sets `zip` (the zip checked) before calling any of these.

failures=0
# Counts a fault of $zip and reports it.
fail() {
  echo "FAIL: $zip: $*" >&2
  failures=$((failures + 1))
}

# unpack_zip EXPECTED_FILES: unpacks $zip into a new folder, $unpacked
# (removed on exit), prints what it holds and checks that these are
# exactly EXPECTED_FILES (sorted paths, one a line).
unpack_zip() {
  local files
  unpacked="$(mktemp -d)"
  trap 'rm -rf "$unpacked"' EXIT
  zip="$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")"
  (cd "$unpacked" && cmake -E tar xf "$zip")
  files="$(cd "$unpacked" && find . -type f -printf '%P\n' | sort)"
  echo "$(basename "$zip"):" $files
  [ "$files" = "$1" ] || fail "must hold exactly" $1 "; holds:" $files
}

# check_readme NAME WORDS...: the readme NAME in the zip, if there, ends
# every line with CR LF and says each of WORDS.
check_readme() {
  local readme="$unpacked/$1" words
  [ -f "$readme" ] || return 0
  shift
  ! grep -qv $'\r$' "$readme" || fail "$(basename "$readme") must end every line with CR LF"
  for words in "$@"; do
    grep -qF -- "$words" "$readme" || fail "$(basename "$readme") does not mention $words"
  done
}

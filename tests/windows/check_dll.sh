#!/usr/bin/env bash
# Checks a built ZUV_OZo DLL with llvm-readobj against what the host and a
# studio machine need: the machine type, the one export, imports from
# system DLLs only, the framework signature, and every field of the version
# resource. Prints the lines it read; exits non-zero naming each difference.
#
# Usage: check_dll.sh LLVM_READOBJ DLL MACHINE VERSION
#   MACHINE is the IMAGE_FILE_MACHINE_* name, e.g. IMAGE_FILE_MACHINE_I386;
#   VERSION is the project version the build gave the DLL, e.g. 1.0.0.1.
set -euo pipefail
readobj=$1 dll=$2 machine=$3 version=$4
here="$(dirname "$0")"

# Every DLL the plug-in may import, with why every Windows machine has it.
# Nothing of MinGW's runtime (libstdc++-6, libgcc_s_*, libwinpthread-1) may
# appear: it is linked into the DLL.
allowed_imports=(
  KERNEL32.dll # the Windows core: memory, threads, modules, debug output
  msvcrt.dll   # the C runtime MinGW's own runtime is built on, part of Windows
)

expected_version="Language=2057
Fixed/Signature=feef04bd
Fixed/FileVersion=$version
Fixed/ProductVersion=$version
Fixed/FileOS=00040004
Fixed/FileType=2
StringFileInfo/080904b0/Comments=VESK V4.5 Script Component
StringFileInfo/080904b0/FileDescription=Instant take router panel for SCR video Monitors
StringFileInfo/080904b0/FileVersion=${version//./, }
StringFileInfo/080904b0/InternalName=ZUV_OZo
StringFileInfo/080904b0/OriginalFilename=ZUV_OZo
StringFileInfo/080904b0/ProductName=VESK V4.5
StringFileInfo/080904b0/ProductVersion=${version//./, }
VarFileInfo/Translation=0809 04b0"

failures=0
fail() {
  echo "FAIL: $dll: $*" >&2
  failures=$((failures + 1))
}

# Names listed in the "Name:" lines of the given block kind (Export, Import).
block_names() {
  awk -v kind="$1" '$1 == kind && $2 == "{" { inside = 1; next }
                    inside && $1 == "}" { inside = 0 }
                    inside && $1 == "Name:" { print $2 }'
}

headers="$("$readobj" --file-headers "$dll")"
tables="$("$readobj" --coff-exports --coff-imports "$dll")"
version="$("$readobj" --coff-resources "$dll" | awk -f "$here/version_resource.awk")"

echo "$headers" | grep -E '^ *Machine:' || true
echo "$tables" | grep -E '^ *Name:' || true
echo "$version"

grep -Eq "^ *Machine: $machine " <<<"$headers" ||
  fail "machine is not $machine: $(grep -E '^ *Machine:' <<<"$headers" || echo none)"
grep -Eq '^ *IMAGE_FILE_DLL ' <<<"$headers" || fail "not marked as a DLL (IMAGE_FILE_DLL)"

exports="$(block_names Export <<<"$tables")"
[ "$exports" = "load_vesk_client_script" ] ||
  fail "must export exactly load_vesk_client_script, undecorated; exports:" ${exports:-nothing}

imports="$(block_names Import <<<"$tables")"
[ -n "$imports" ] || fail "imports nothing: the import table was not read"
for import in $imports; do
  known=0
  for allowed in "${allowed_imports[@]}"; do
    [ "${import,,}" = "${allowed,,}" ] && known=1
  done
  [ $known -eq 1 ] || fail "imports $import, which a studio machine does not have"
done

LC_ALL=C grep -aq 'VESK_SIG,name=vesk_script_helper,' "$dll" ||
  fail "the framework signature VESK_SIG is missing"

if [ "$version" != "$expected_version" ]; then
  fail "version resource differs:"
  diff -u --label expected --label found <(echo "$expected_version") <(echo "$version") >&2 || true
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "$dll: machine, export, imports, signature and version resource as expected"

#!/usr/bin/env bash
# Checks a built panel DLL with llvm-readobj against what the host and a
# studio machine need: the machine type, the one export, imports from
# system DLLs only, the framework signature, and every field of the version
# resource. Prints the lines it read; exits non-zero naming each difference.
#
# Usage: check_dll.sh LLVM_READOBJ DLL MACHINE VERSION PANEL DESCRIPTION
#   MACHINE is the IMAGE_FILE_MACHINE_* name, e.g. IMAGE_FILE_MACHINE_I386;
#   VERSION is the project version the build gave the DLL, e.g. 1.0.0.1;
#   PANEL and DESCRIPTION the panel's name and description, as its
#   vesk_add_panel call gives them.
set -euo pipefail
readobj=$1 dll=$2 machine=$3 version=$4 panel=$5 description=$6
here="$(dirname "$0")"
file=$dll
source "$here/pe_checks.sh"

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
StringFileInfo/080904b0/FileDescription=$description
StringFileInfo/080904b0/FileVersion=${version//./, }
StringFileInfo/080904b0/InternalName=$panel
StringFileInfo/080904b0/OriginalFilename=$panel
StringFileInfo/080904b0/ProductName=VESK V4.5
StringFileInfo/080904b0/ProductVersion=${version//./, }
VarFileInfo/Translation=0809 04b0"

headers="$("$readobj" --file-headers "$dll")"
tables="$("$readobj" --coff-exports --coff-imports "$dll")"

echo "$headers" | grep -E '^ *Machine:' || true
echo "$tables" | grep -E '^ *Name:' || true

check_machine "$headers" "$machine"
grep -Eq '^ *IMAGE_FILE_DLL ' <<<"$headers" || fail "not marked as a DLL (IMAGE_FILE_DLL)"

exports="$(block_names Export <<<"$tables")"
[ "$exports" = "load_vesk_client_script" ] ||
  fail "must export exactly load_vesk_client_script, undecorated; exports:" ${exports:-nothing}

check_imports "$(block_names Import <<<"$tables")" "${allowed_imports[@]}"

LC_ALL=C grep -aq 'VESK_SIG,name=vesk_script_helper,' "$dll" ||
  fail "the framework signature VESK_SIG is missing"

check_version_resource "$expected_version"
finish "machine, export, imports, signature and version resource"

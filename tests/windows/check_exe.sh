#!/usr/bin/env bash
# Checks panelhost.exe with llvm-readobj against what a studio engineer's PC
# needs: the machine type, a console program (not a DLL), imports from
# system DLLs only, and every field of the version resource. Prints the
# lines it read; exits non-zero naming each difference.
#
# Usage: check_exe.sh LLVM_READOBJ EXE MACHINE VERSION
#   MACHINE is the IMAGE_FILE_MACHINE_* name, e.g. IMAGE_FILE_MACHINE_I386;
#   VERSION is the project version the build gave the program, e.g. 1.0.0.1.
set -euo pipefail
readobj=$1 exe=$2 machine=$3 version=$4
here="$(dirname "$0")"
file=$exe
source "$here/pe_checks.sh"

# Every DLL panelhost.exe may import, with why every Windows machine has it.
# Nothing of MinGW's runtime (libstdc++-6, libgcc_s_*, libwinpthread-1) may
# appear: it is linked into the program.
allowed_imports=(
  KERNEL32.dll # the Windows core: files, modules, threads, the console
  msvcrt.dll   # the C runtime MinGW's own runtime is built on, part of Windows
  SHELL32.dll  # the command line as UTF-16 (CommandLineToArgvW), ShellExecuteW
  ole32.dll    # COM, which ShellExecuteW's handlers may need
  WS2_32.dll   # sockets, for the web mode
  MSWSOCK.dll  # the sockets' faster accept and connect, for the web mode
  VERSION.dll  # the loaded DLL's version resource, shown on every banner
)

expected_version="Language=2057
Fixed/Signature=feef04bd
Fixed/FileVersion=$version
Fixed/ProductVersion=$version
Fixed/FileOS=00040004
Fixed/FileType=1
StringFileInfo/080904b0/Comments=Runs a script panel DLL as the panel host does, against simulated devices
StringFileInfo/080904b0/FileDescription=panelhost: panel host emulator for script panels
StringFileInfo/080904b0/FileVersion=${version//./, }
StringFileInfo/080904b0/InternalName=panelhost
StringFileInfo/080904b0/OriginalFilename=panelhost.exe
StringFileInfo/080904b0/ProductName=VESK script panel tools
StringFileInfo/080904b0/ProductVersion=${version//./, }
VarFileInfo/Translation=0809 04b0"

headers="$("$readobj" --file-headers "$exe")"
imports="$("$readobj" --coff-imports "$exe" | block_names Import)"

echo "$headers" | grep -E '^ *(Machine|Subsystem):' || true
echo "imports:" $imports

check_machine "$headers" "$machine"
! grep -Eq '^ *IMAGE_FILE_DLL ' <<<"$headers" || fail "is a DLL, not a program"
grep -Eq '^ *Subsystem: IMAGE_SUBSYSTEM_WINDOWS_CUI ' <<<"$headers" || fail "is not a console program"
check_imports "$imports" "${allowed_imports[@]}"

check_version_resource "$expected_version"
finish "machine, console program, imports and version resource"

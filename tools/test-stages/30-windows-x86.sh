# 32-bit Windows, the deliverable: builds every panel's DLL, their unit-test
# programs and the host in Microsoft's C++ ABI (they run in stage
# 32-windows-x86-vm: 32-bit Windows programs cannot run here), checks each
# DLL's PE tables, version resource and thiscall thunks, packs each panel's
# zip and checks what it holds; then builds the panels again from a copy of
# the sources in another folder and requires the same DLLs and zips, byte
# for byte.
set -euo pipefail
build=build/windows-x86
rm -f "$build"/*-win32.zip
cmake --workflow --preset windows-x86
bash tests/windows/check_reproducible.sh "$build"

# 32-bit Windows, the deliverable: builds ZUV_OZo.dll, its unit-test programs
# and the host in Microsoft's C++ ABI (they run in stage 32-windows-x86-vm:
# 32-bit Windows programs cannot run here), checks the DLL's PE tables,
# version resource and thiscall thunks, packs the zip and checks what it holds.
set -euo pipefail
build=build/windows-x86
rm -f "$build"/ZUV_OZo-*.zip
cmake --workflow --preset windows-x86
bash tests/windows/check_package.sh llvm-readobj "$build"/ZUV_OZo-*-win32.zip \
  "$build/panels/Studio_A/ZUV_OZo/ZUV_OZo.dll" IMAGE_FILE_MACHINE_I386 "$(cat "$build/version.txt")"

# panelhost.exe, the emulator for a studio engineer's Windows PC: the 32-bit
# one packed with its readme, layout, device table and scenarios, and
# checked (panelhost-<version>-win32.zip); the 64-bit one runs every shipped
# scenario under wine64 with the Linux build's transcript (its unit tests,
# command line and web mode run under wine64 in stage 31-windows-x64).
set -euo pipefail
build=build/panelhost-win32
rm -f "$build"/panelhost-*.zip
cmake --workflow --preset panelhost-win32
bash tests/windows/check_panelhost_package.sh llvm-readobj "$build"/panelhost-*-win32.zip \
  "$build/panelhost/panelhost.exe" IMAGE_FILE_MACHINE_I386 "$(cat "$build/version.txt")"

for preset in dev windows-x64; do
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset --target ZUV_OZo panelhost
done
bash tests/windows/same_transcripts.sh build/dev/panelhost/panelhost build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so \
  "$PWD/build/windows-x64/wine" build/windows-x64/panelhost/panelhost.exe \
  build/windows-x64/panels/Studio_A/ZUV_OZo/ZUV_OZo.dll panels/Studio_A/ZUV_OZo/scenarios/*.scenario

# panelhost.exe, the emulator for a studio engineer's Windows PC: the 32-bit
# one packed with its readme, layout, device table and scenarios, and
# checked (panelhost-<version>-win32.zip); the 64-bit one runs every shipped
# scenario under wine64 with the Linux build's transcript, and names a
# 32-bit DLL given to it as such (its unit tests, command line and web mode
# run under wine64 in stage 31-windows-x64).
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
so=build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so
dll=build/windows-x64/panels/Studio_A/ZUV_OZo/ZUV_OZo.dll
out=build/windows-x64/transcripts
rm -rf "$out"
scenarios=(panels/Studio_A/ZUV_OZo/scenarios/*.scenario)
echo "Linux:"
bash tests/windows/run_scenarios.sh build/dev/panelhost/panelhost "$so" "$out/linux" "${scenarios[@]}"
echo "wine64:"
bash tests/windows/run_scenarios.sh "tools/wine64-run $PWD/build/windows-x64/wine build/windows-x64/panelhost/panelhost.exe" \
  "$dll" "$out/wine64" "${scenarios[@]}"
bash tests/windows/same_transcripts.sh "$out/linux" "$so" "$out/wine64" "$dll"

# The DLL of the other width: the 32-bit ZUV_OZo.dll given to the 64-bit
# panelhost.exe is named as such, from its PE header, and nothing runs.
echo "a 32-bit DLL given to the 64-bit panelhost.exe:"
cmake --build "$build" --target ZUV_OZo
dll32="$build/panels/Studio_A/ZUV_OZo/ZUV_OZo.dll"
status=0
said=$(tools/wine64-run "$PWD/build/windows-x64/wine" build/windows-x64/panelhost/panelhost.exe \
  run "$dll32" --script panels/Studio_A/ZUV_OZo/scenarios/road_of_one_take.scenario 2>&1) || status=$?
echo "  status $status: $said"
[ "$status" -eq 2 ] && grep -q 'ZUV_OZo.dll is a 32-bit DLL: use the 32-bit panelhost.exe' <<<"$said" || {
  echo "FAIL: the 64-bit panelhost.exe did not name the 32-bit DLL as such"
  exit 1
}

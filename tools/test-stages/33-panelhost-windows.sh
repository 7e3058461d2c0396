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

# At a terminal under wine64 (wine makes it the program's console): Ctrl+C in
# the shell and the soak deletes the panel, and a path outside ASCII reads
# the same there (WriteConsoleW) as through a pipe.
wine64="tools/wine64-run $PWD/build/windows-x64/wine build/windows-x64/panelhost/panelhost.exe"
python3 tests/panelhost/modes/ctrl_c.py "$wine64" "$dll"
python3 tests/windows/console_text.py "$wine64" "$dll" tests/panelhost/modes/scenarios/empty.scenario

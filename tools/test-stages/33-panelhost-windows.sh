# panelhost.exe, the emulator for a studio engineer's Windows PC: the 32-bit
# one packed with its readme and the example panel's layout, studio table
# and scenarios, and checked (panelhost-<version>-win32.zip); the 64-bit one
# runs every panel's scenarios under wine64 with the Linux build's
# transcripts (its unit tests, command line and web mode run under wine64
# in stage 31-windows-x64), and names a 32-bit DLL given to it as such;
# and a panel made by tools/new-panel passes its scenario natively and
# under wine64.
set -euo pipefail
build=build/panelhost-win32
rm -f "$build"/panelhost-*.zip
cmake --workflow --preset panelhost-win32
bash tests/windows/check_panelhost_package.sh llvm-readobj "$build"/panelhost-*-win32.zip \
  "$build/panelhost/panelhost.exe" IMAGE_FILE_MACHINE_I386 "$(cat "$build/version.txt")" "$build/panels.txt"

for preset in dev windows-x64; do
  cmake --preset $preset >/dev/null
  mapfile -t targets < <(cut -f1 "build/$preset/panels.txt")
  cmake --build --preset $preset --target "${targets[@]}" panelhost
done
out=build/windows-x64/transcripts
rm -rf "$out"
while IFS=$'\t' read -r panel folder plugin description; do
  so="build/dev/$plugin"
  dll="build/windows-x64/$(grep "^$panel"$'\t' build/windows-x64/panels.txt | cut -f3)"
  scenarios=("$folder"/scenarios/*.scenario)
  echo "$panel, Linux:"
  bash tests/windows/run_scenarios.sh build/dev/panelhost/panelhost "$so" "$out/$panel/linux" "${scenarios[@]}"
  echo "$panel, wine64:"
  wine_panelhost="tools/wine64-run $PWD/build/windows-x64/wine build/windows-x64/panelhost/panelhost.exe"
  bash tests/windows/run_scenarios.sh "$wine_panelhost" "$dll" "$out/$panel/wine64" "${scenarios[@]}"
  bash tests/windows/same_transcripts.sh "$out/$panel/linux" "$so" "$out/$panel/wine64" "$dll"
done <build/dev/panels.txt

# The DLL of the other width: the example panel's 32-bit DLL given to the
# 64-bit panelhost.exe is named as such, from its PE header, and nothing runs.
echo "a 32-bit DLL given to the 64-bit panelhost.exe:"
IFS=$'\t' read -r example folder plugin32 description < <(head -1 "$build/panels.txt")
cmake --build "$build" --target "$example"
scenario=$(ls "$folder"/scenarios/*.scenario | head -1)
status=0
said=$(tools/wine64-run "$PWD/build/windows-x64/wine" build/windows-x64/panelhost/panelhost.exe \
  run "$build/$plugin32" --script "$scenario" 2>&1) || status=$?
echo "  status $status: $said"
[ "$status" -eq 2 ] && grep -q "$example.dll is a 32-bit DLL: use the 32-bit panelhost.exe" <<<"$said" || {
  echo "FAIL: the 64-bit panelhost.exe did not name the 32-bit DLL as such"
  exit 1
}

# At a terminal under wine64 (wine makes it the program's console): Ctrl+C in
# the shell and the soak deletes the panel, and a path outside ASCII reads
# the same there (WriteConsoleW) as through a pipe.
wine64="tools/wine64-run $PWD/build/windows-x64/wine build/windows-x64/panelhost/panelhost.exe"
dll="build/windows-x64/$(grep "^$example"$'\t' build/windows-x64/panels.txt | cut -f3)"
python3 tests/panelhost/modes/ctrl_c.py "$wine64" "$dll"
python3 tests/windows/console_text.py "$wine64" "$dll" tests/panelhost/modes/scenarios/empty.scenario

bash tests/new_panel_test.sh

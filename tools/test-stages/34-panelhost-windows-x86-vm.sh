# panelhost.exe in 32-bit Windows for real: in the VM of tools/win32-vm,
# under 32-bit Wine, the 32-bit panelhost.exe from its zip runs each
# panel's scenarios against the DLL from that panel's shipped zip, the very
# bytes, with the Linux build's transcripts; and it shows the plug-in's own
# debug line. The example panel is tried from the two zips alone, as the
# readme says; every other panel from its zip, panelhost's, and its own
# layouts, studio table and scenarios. One boot.
set -euo pipefail
cmake --workflow --preset windows-x86 >/dev/null
cmake --workflow --preset panelhost-win32 >/dev/null
cmake --preset dev >/dev/null
mapfile -t targets < <(cut -f1 build/dev/panels.txt)
cmake --build --preset dev --target "${targets[@]}" panelhost

# Per panel, a folder where both zips are unpacked side by side.
trial=build/panelhost-win32/trial
rm -rf "$trial"
mkdir -p "$trial"
host_zip="$(ls build/panelhost-win32/panelhost-*-win32.zip)"
example=1
while IFS=$'\t' read -r panel folder plugin description; do
  mkdir "$trial/$panel"
  for zip in build/windows-x86/"$panel"-*-win32.zip "$host_zip"; do
    (cd "$trial/$panel" && cmake -E tar xf "$OLDPWD/$zip")
  done
  if [ $example -eq 0 ]; then
    # panelhost's zip holds the example's files; this panel brings its own.
    rm -rf "$trial/$panel"/*.vesk_ui "$trial/$panel/studio.json" "$trial/$panel/scenarios"
    cp "$folder"/*.vesk_ui "$folder/studio.json" "$trial/$panel/"
    cp -r "$folder/scenarios" "$trial/$panel/"
  fi
  example=0
done <build/dev/panels.txt
printf '{"devices": [{"name": "ZIR VESK Packager", "number": 9, "sources": [{"number": 5, "name": "CAM 5"}],
  "crosspoints": {"410": 5}}]}\n' >"$trial/no_router.json"

output="$(mktemp -d)"
trap 'rm -rf "$output"' EXIT
start=$(date +%s)
status=0
mapfile -t panels < <(cut -f1 build/dev/panels.txt)
tools/win32-vm run -C "$trial" bash "$PWD/tests/windows/panelhost_trial.sh" no_router.json "${panels[@]}" |
  tee "$output/vm" || status=$?
echo "one boot of the VM: $(($(date +%s) - start)) s"
[ $status -eq 0 ] || exit $status

# What the guest ran, as it read it, is what the zips hold.
while IFS=$'\t' read -r panel folder plugin description; do
  rm -rf "$output/zips"
  mkdir "$output/zips"
  for zip in build/windows-x86/"$panel"-*-win32.zip "$host_zip"; do
    (cd "$output/zips" && cmake -E tar xf "$OLDPWD/$zip")
  done
  for file in "$panel.dll" panelhost.exe; do
    ran="$(sed -n "s/^$panel: ran $file sha256 //p" "$output/vm")"
    packed="$(cmake -E sha256sum "$output/zips/$file" | cut -d' ' -f1)"
    if [ "$ran" != "$packed" ]; then
      echo "FAIL: the guest ran a $file of SHA-256 ${ran:-unknown}; the zip's is $packed" >&2
      exit 1
    fi
    echo "the $file run in the VM for $panel is the zip's (SHA-256 $packed)"
  done

  so="build/dev/$plugin"
  bash tests/windows/run_scenarios.sh build/dev/panelhost/panelhost "$so" "$output/linux/$panel" \
    "$folder"/scenarios/*.scenario >/dev/null
  bash tests/windows/same_transcripts.sh "$output/linux/$panel" "$so" "$trial/$panel/transcripts" "$panel.dll"
done <build/dev/panels.txt

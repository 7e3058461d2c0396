# panelhost.exe in 32-bit Windows for real: in the VM of tools/win32-vm,
# under 32-bit Wine, the 32-bit panelhost.exe from its zip runs every
# shipped scenario (the road of one take first) against the DLL from the
# shipped zip, the very bytes, with the Linux build's transcripts; and it
# shows the plug-in's own debug line. One boot.
set -euo pipefail
cmake --workflow --preset windows-x86 >/dev/null
cmake --workflow --preset panelhost-win32 >/dev/null
cmake --preset dev >/dev/null
cmake --build --preset dev --target ZUV_OZo panelhost

# Both zips unpacked into one folder, as the readme says.
trial=build/panelhost-win32/trial
rm -rf "$trial"
mkdir -p "$trial"
zips=(build/windows-x86/ZUV_OZo-*-win32.zip build/panelhost-win32/panelhost-*-win32.zip)
for zip in "${zips[@]}"; do (cd "$trial" && cmake -E tar xf "$OLDPWD/$zip"); done
printf '{"devices": [{"name": "ZIR VESK Packager", "number": 9, "sources": [{"number": 5, "name": "CAM 5"}],
  "crosspoints": {"410": 5}}]}\n' >"$trial/no_router.json"

output="$(mktemp -d)"
trap 'rm -rf "$output"' EXIT
start=$(date +%s)
status=0
tools/win32-vm run -C "$trial" bash "$PWD/tests/windows/panelhost_trial.sh" no_router.json | tee "$output/vm" ||
  status=$?
echo "one boot of the VM: $(($(date +%s) - start)) s"
[ $status -eq 0 ] || exit $status

# What the guest ran, as it read it, is what the zips hold.
mkdir "$output/zips"
for zip in "${zips[@]}"; do (cd "$output/zips" && cmake -E tar xf "$OLDPWD/$zip"); done
for file in ZUV_OZo.dll panelhost.exe; do
  ran="$(sed -n "s/^ran $file sha256 //p" "$output/vm")"
  packed="$(cmake -E sha256sum "$output/zips/$file" | cut -d' ' -f1)"
  if [ "$ran" != "$packed" ]; then
    echo "FAIL: the guest ran a $file of SHA-256 ${ran:-unknown}; the zip's is $packed" >&2
    exit 1
  fi
  echo "the $file run in the VM is the zip's (SHA-256 $packed)"
done

so=build/dev/panels/Studio_A/ZUV_OZo/ZUV_OZo.so
bash tests/windows/run_scenarios.sh build/dev/panelhost/panelhost "$so" "$output/linux" \
  panels/Studio_A/ZUV_OZo/scenarios/*.scenario >/dev/null
bash tests/windows/same_transcripts.sh "$output/linux" "$so" "$trial/transcripts" ZUV_OZo.dll

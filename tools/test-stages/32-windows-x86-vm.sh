# 32-bit Windows for real: in the VM of tools/win32-vm, under 32-bit Wine,
# the host built in Microsoft's C++ ABI drives each panel's DLL unpacked
# from its shipped zip (the example panel along its whole road, every other
# from start-up to deletion), and the i686 unit-test programs run, each
# once; all in one boot. The first run prepares the VM (cached under
# build/win32-vm/).
set -euo pipefail
build=build/windows-x86
cmake --workflow --preset windows-x86 >/dev/null

shipped="$build/shipped"
rm -rf "$shipped"
mkdir -p "$shipped"
# One line per panel for the guest: the host's road, the DLL, the panel's
# name and description, separated by tabs.
runs="$build/host_runs.txt"
: >"$runs"
road=road
while IFS=$'\t' read -r panel folder plugin description; do
  zip="$(ls "$build/$panel"-*-win32.zip)"
  (cd "$shipped" && cmake -E tar xf "$OLDPWD/$zip")
  [ -f "$shipped/$panel.dll" ] || { echo "FAIL: $zip holds no $panel.dll" >&2; exit 1; }
  printf '%s\t%s\t%s\t%s\n' "$road" "shipped/$panel.dll" "$panel" "$description" >>"$runs"
  road=--any
done <"$build/panels.txt"

output="$(mktemp)"
trap 'rm -f "$output"' EXIT
status=0
tools/win32-vm run -C "$build" bash "$PWD/tests/windows/win32_suite.sh" \
  tests/windows/msvc_abi_host/msvc_abi_host.exe host_runs.txt unit_test_programs.txt |
  tee "$output" || status=$?
[ $status -eq 0 ] || exit $status

# Each DLL the guest ran, as it read it, is its zip's.
while IFS=$'\t' read -r panel folder plugin description; do
  ran="$(sed -n "s/^ran $panel.dll sha256 //p" "$output")"
  packed="$(cd "$shipped" && cmake -E sha256sum "$panel.dll" | cut -d' ' -f1)"
  if [ "$ran" != "$packed" ]; then
    echo "FAIL: the guest ran a $panel.dll of SHA-256 ${ran:-unknown}; the zip's is $packed" >&2
    exit 1
  fi
  echo "the $panel.dll run in the VM is the one in its zip (SHA-256 $packed)"
done <"$build/panels.txt"

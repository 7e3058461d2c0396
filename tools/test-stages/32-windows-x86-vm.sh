# 32-bit Windows for real: in the VM of tools/win32-vm, under 32-bit Wine,
# the host built in Microsoft's C++ ABI drives the DLL unpacked from the
# shipped zip, and the i686 unit-test programs run, each once; all in one
# boot. The first run prepares the VM (cached under build/win32-vm/).
set -euo pipefail
build=build/windows-x86
cmake --workflow --preset windows-x86 >/dev/null

zip="$(ls "$build"/ZUV_OZo-*-win32.zip)"
shipped="$build/shipped"
rm -rf "$shipped"
mkdir -p "$shipped"
(cd "$shipped" && cmake -E tar xf "$OLDPWD/$zip")
[ -f "$shipped/ZUV_OZo.dll" ] || { echo "FAIL: $zip holds no ZUV_OZo.dll" >&2; exit 1; }

output="$(mktemp)"
trap 'rm -f "$output"' EXIT
status=0
tools/win32-vm run -C "$build" bash "$PWD/tests/windows/win32_suite.sh" \
  tests/windows/msvc_abi_host/msvc_abi_host.exe shipped/ZUV_OZo.dll unit_test_programs.txt |
  tee "$output" || status=$?
[ $status -eq 0 ] || exit $status

# The DLL the guest ran, as it read it, is the zip's.
ran="$(sed -n 's/^ran DLL sha256 //p' "$output")"
packed="$(cd "$shipped" && cmake -E sha256sum ZUV_OZo.dll | cut -d' ' -f1)"
if [ "$ran" != "$packed" ]; then
  echo "FAIL: the guest ran a DLL of SHA-256 ${ran:-unknown}; the zip's is $packed" >&2
  exit 1
fi
echo "the DLL run in the VM is the one in $(basename "$zip") (SHA-256 $packed)"

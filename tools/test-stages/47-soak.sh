# A soak of each panel: one million random events through the emulator on a
# virtual clock; prints events per second and memory, and fails if the heap
# grows.
set -euo pipefail
cmake --preset dev >/dev/null
mapfile -t targets < <(cut -f1 build/dev/panels.txt)
cmake --build --preset dev --target "${targets[@]}" panelhost
while IFS=$'\t' read -r panel folder plugin description; do
  echo "$panel:"
  build/dev/panelhost/panelhost soak "build/dev/$plugin" --events 1000000
done <build/dev/panels.txt

# A soak of each panel: random events through the emulator on a virtual
# clock, one million for the example panel (the first listed), 200,000 for
# every other, to keep the stage short; prints events per second and
# memory, and fails if the heap grows.
set -euo pipefail
cmake --preset dev >/dev/null
mapfile -t targets < <(cut -f1 build/dev/panels.txt)
cmake --build --preset dev --target "${targets[@]}" panelhost
events=1000000
while IFS=$'\t' read -r panel folder plugin description; do
  echo "$panel:"
  build/dev/panelhost/panelhost soak "build/dev/$plugin" --events $events
  events=200000
done <build/dev/panels.txt
